#pragma once
// The program's about text, shown by the splash and by the about box: three lines separated by
// CR LF, the first two indented by four blanks.
#include <QString>

QString TavelinAboutText();
