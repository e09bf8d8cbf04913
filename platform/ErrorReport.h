#pragma once
// Where an error goes that the code meeting it cannot handle: the text the user is to read, once.
// Code at any layer reports; the program decides how a report is shown. Until it installs a
// presenter, reports are written to standard error (the command-line tools, the benchmarks).
#include <QString>
#include <exception>
#include <functional>

using ErrorReportSink = std::function<void(const QString &)>;

// Reports the message (or the error's own text) through the capture sink if one is set, else the
// installed presenter, else standard error.
void ReportError(const QString &message);
void ReportError(const std::exception &error);

// The program-wide way of showing a report (the desktop program: a message box). nullptr goes back
// to standard error.
void SetErrorReportPresenter(ErrorReportSink presenter);

// Tests (and the start-up test log) capture reports instead of showing them; nullptr restores the
// presenter.
void SetStandardErrorSink(ErrorReportSink sink);
