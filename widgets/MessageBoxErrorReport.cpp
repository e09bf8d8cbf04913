#include "widgets/MessageBoxErrorReport.h"

#include "platform/ErrorReport.h"
#include "widgets/TCentredMessageBox.h"

#include <QApplication>

void ShowErrorBox(const QString &message)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        qWarning("%s", qPrintable(message));
        return;
    }
    QString title = QApplication::applicationName();
    if (title.isEmpty())
        title = QStringLiteral("Tavelin");
    TCentredMessageBox box(QMessageBox::Critical, title, message, QApplication::activeWindow());
    box.setStandardButtons(QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void InstallMessageBoxErrorReport()
{
    SetErrorReportPresenter(&ShowErrorBox);
}
