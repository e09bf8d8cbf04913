#pragma once
// The desktop program's error report: the error's own text in a modal box captioned with the
// application title, an error icon and an OK button; the program then goes on.
#include <QString>

// Makes it the presenter of every ReportError (platform/ErrorReport.h). The application object
// installs it at start-up; tests that look at the box install it themselves.
void InstallMessageBoxErrorReport();

// Shows the box now (without a QApplication, writes the text to standard error instead).
void ShowErrorBox(const QString &message);
