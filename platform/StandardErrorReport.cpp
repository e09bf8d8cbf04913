#include "platform/StandardErrorReport.h"

#include "platform/TavelinError.h"

#include <QApplication>
#include <QMessageBox>

namespace {
StandardErrorSink &sink()
{
    static StandardErrorSink s;
    return s;
}
} // namespace

void SetStandardErrorSink(StandardErrorSink s)
{
    sink() = std::move(s);
}

void ShowStandardErrorReport(const QString &message)
{
    if (sink()) {
        sink()(message);
        return;
    }
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        qWarning("%s", qPrintable(message));
        return;
    }
    QString title = QApplication::applicationName();
    if (title.isEmpty())
        title = QStringLiteral("Tavelin");
    QMessageBox box(QMessageBox::Critical, title, message, QMessageBox::Ok, QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void ShowStandardErrorReport(const std::exception &error)
{
    if (const auto *t = dynamic_cast<const TavelinError *>(&error))
        ShowStandardErrorReport(t->message());
    else
        ShowStandardErrorReport(QString::fromLocal8Bit(error.what()));
}
