#pragma once
// The environment for the program or the catalogue tool started as a process by a test: the
// test's own, with the settings folders pointed into a scratch folder of the test process, so a
// catalogue setting in the developer's ~/.config/tavelin or this machine's /etc/xdg/tavelin cannot
// change what the test sees.
#include <QProcessEnvironment>

namespace TestSupport {

QProcessEnvironment ProgramEnvironment(const QProcessEnvironment &base = QProcessEnvironment::systemEnvironment());

// The scratch folder ProgramEnvironment points XDG_CONFIG_HOME at (empty, unless a test writes a setting there).
QString ScratchConfigHome();

} // namespace TestSupport
