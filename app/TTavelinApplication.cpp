#include "app/TTavelinApplication.h"

#include "platform/ErrorReport.h"
#include "platform/FontSetup.h"
#include "platform/PictureMemory.h"
#include "widgets/AccessibleFactory.h"
#include "widgets/ApplicationMainForm.h"
#include "widgets/MessageBoxErrorReport.h"

#include <QLibraryInfo>

#include <exception>

TTavelinApplication::TTavelinApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    PictureMemory::KeepForReuse();
    setApplicationName(QStringLiteral("Tavelin"));
    InstallAccessibleFactory();
    // No display name: the window system would append it to every caption, and the captions are
    // exact ("医学软件图片浏览器", "提示", ...). The desktop entry identifies the program instead.
    setDesktopFileName(DesktopFileName());
    InstallFontSubstitutions();
    // Errors met anywhere below the windows reach the user as the standard error box.
    InstallMessageBoxErrorReport();
    // The interface is Chinese whatever the user's locale, Qt's own parts included.
    m_bQtChinese = m_QtTranslator.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (m_bQtChinese)
        installTranslator(&m_QtTranslator);
}

bool TTavelinApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        ReportError(error);
    } catch (...) {
        // Not one of ours and not a standard error: still no reason to end the program.
        ReportError(QStringLiteral("发生了一个未知错误。"));
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
