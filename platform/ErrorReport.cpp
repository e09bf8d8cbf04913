#include "platform/ErrorReport.h"

#include "platform/TavelinError.h"

#include <QtGlobal>

namespace {
ErrorReportSink &captured()
{
    static ErrorReportSink s;
    return s;
}

ErrorReportSink &presenter()
{
    static ErrorReportSink p;
    return p;
}
} // namespace

void SetErrorReportPresenter(ErrorReportSink p)
{
    presenter() = std::move(p);
}

void SetStandardErrorSink(ErrorReportSink sink)
{
    captured() = std::move(sink);
}

void ReportError(const QString &message)
{
    if (captured()) {
        captured()(message);
        return;
    }
    if (presenter()) {
        presenter()(message);
        return;
    }
    qWarning("%s", qPrintable(message));
}

void ReportError(const std::exception &error)
{
    if (const auto *t = dynamic_cast<const TavelinError *>(&error))
        ReportError(t->message());
    else
        ReportError(QString::fromLocal8Bit(error.what()));
}
