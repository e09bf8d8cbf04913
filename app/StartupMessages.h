#pragma once
// Start-up's own messages: plain boxes without an owner window. For tests that run the program as a
// process, TAVELIN_TEST_LOG=path makes every box (these and the standard error report) append its
// caption and text to that file and return at once instead of waiting for a click, and start-up
// records its main steps there too. Without the variable nothing is written anywhere.
#include <QString>

// Shows a box with an error icon and an OK button, or logs it (see above). A reason, when given, is
// shown under the text (in the log as a third field).
void ShowStartupMessage(const QString &text, const QString &caption, const QString &reason = QString());
// Appends "event<TAB>name" to the test log when there is one.
void LogStartupEvent(const QString &name);
// When the test log is set: routes the standard error report into it. Returns whether it is set.
bool InstallStartupTestLog();

// The pause with the splash after a successful start: 2000 ms unless TAVELIN_SPLASH_MS gives another
// number of milliseconds (tests and benchmarks set it small).
int SplashPauseMs();
// The pause for a given value of TAVELIN_SPLASH_MS (empty: not set).
int SplashPauseFor(const QByteArray &value);
