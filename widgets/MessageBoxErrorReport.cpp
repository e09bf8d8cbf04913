#include "widgets/MessageBoxErrorReport.h"

#include "platform/ErrorReport.h"

#include <QApplication>
#include <QMessageBox>

void ShowErrorBox(const QString &message)
{
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

void InstallMessageBoxErrorReport()
{
    SetErrorReportPresenter(&ShowErrorBox);
}
