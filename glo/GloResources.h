#pragma once
// The artwork of the common dialogs and the program icon live in resources/glo.qrc, which is linked
// from a static library: it has to be registered explicitly before the first use.
#include <QIcon>
#include <QPixmap>

void EnsureGloResources();

// The program icon (an open atlas), at every size it is drawn in.
QIcon TavelinProgramIcon();
