#pragma once
// The standard error report: the error's own text in a modal box captioned with the application
// title, an error icon and an OK button. The program then goes on.
#include <QString>
#include <exception>
#include <functional>

void ShowStandardErrorReport(const QString &message);
void ShowStandardErrorReport(const std::exception &error);

// Tests replace the box to see what would have been shown; pass nullptr to restore it.
using StandardErrorSink = std::function<void(const QString &)>;
void SetStandardErrorSink(StandardErrorSink sink);
