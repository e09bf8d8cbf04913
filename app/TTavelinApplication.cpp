#include "app/TTavelinApplication.h"

#include "platform/ApplicationMainForm.h"
#include "platform/FontSetup.h"
#include "platform/StandardErrorReport.h"

#include <exception>

TTavelinApplication::TTavelinApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Tavelin"));
    setApplicationDisplayName(QStringLiteral("Tavelin"));
    // Ties the windows to the installed desktop entry, so the desktop shows its name and icon.
    setDesktopFileName(QStringLiteral("org.tavelin.Tavelin"));
    InstallFontSubstitutions();
}

bool TTavelinApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        ShowStandardErrorReport(error);
    } catch (...) {
        // Not one of ours and not a standard error: still no reason to end the program.
        ShowStandardErrorReport(QStringLiteral("发生了一个未知错误。"));
    }
    return false;
}

void TTavelinApplication::SetMainForm(QWidget *form)
{
    SetApplicationMainForm(form);
}

QWidget *TTavelinApplication::MainForm() const
{
    return ApplicationMainForm();
}
