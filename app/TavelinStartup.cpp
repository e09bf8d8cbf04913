#include "app/TavelinStartup.h"

#include "app/CatalogueNotFoundText.h"
#include "app/StartupMessages.h"
#include "app/TTavelinApplication.h"
#include "app/TavelinAboutText.h"
#include "app/UMainForm.h"
#include "data/CatalogueLocations.h"
#include "data/TCatalogConnection.h"
#include "data/TCatalogueOpenAhead.h"
#include "data/UDataLibModule.h"
#include "glo/GloResources.h"
#include "glo/GlobalObjects.h"
#include "glo/UGloAboutAuthor.h"
#include "platform/SingleInstanceGuard.h"
#include "platform/TavelinError.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QScopeGuard>
#include <QScreen>
#include <QThread>
#include <QWindow>

#include <memory>

namespace {

const char *const kAlreadyRunning =
    "Tavelin系统程序已经运行,不能同时重复运行,请从任务栏上将已运行的程序之放到前台!";
const char *const kStartupFailed =
    "系统启动出错,可能你的软件因异常退出导致数据文件被破坏,请联系作者免费获取新的版本!";

void CentreOnScreen(QWidget *window)
{
    if (const QScreen *screen = window->screen()) {
        const QRect area = screen->availableGeometry();
        QRect r = window->frameGeometry();
        r.moveCenter(area.center());
        window->move(qMax(r.left(), area.left()), qMax(r.top(), area.top()));
    }
}

// A window manager maps a new window a moment after it is shown; painted before that, the splash
// would stay blank through the pause, when nothing is processed. Bounded, so a window system that
// never reports the window exposed does not hold up the start.
void WaitUntilExposed(QWidget *window)
{
    QElapsedTimer waited;
    waited.start();
    while (window->windowHandle() && !window->windowHandle()->isExposed() && waited.elapsed() < 1000) {
        // The exposure usually waits among the events already there: looked at before sleeping.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (!window->windowHandle() || window->windowHandle()->isExposed())
            break;
        QThread::msleep(1);
    }
}

// Viewer windows live on their own; when the main window has gone they go too.
void CloseOtherWindows(const QWidget *mainForm)
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w != mainForm && w->isVisible())
            w->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

int RunTavelin(int argc, char **argv)
{
    // 1. The application object with the title "Tavelin". The main window's closing, not the last
    //    window's, ends the message loop.
    TTavelinApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    app.setWindowIcon(TavelinProgramIcon());
    InstallStartupTestLog();

    // 2-3. One running copy only; the mark lives as long as this process.
    SingleInstanceGuard instance(QStringLiteral("Tavelin系统"));
    if (!instance.TryAcquire()) {
        ShowStartupMessage(QString::fromUtf8(kAlreadyRunning), QStringLiteral("提示"));
        return 0;
    }

    // 4.
    CreateGlobalObjects();

    // The application object's windows and data module, torn down after the shared objects are freed
    // (the window first: its frames' queries use the module's connection).
    std::unique_ptr<Tm_DataLibModule> dataModule;
    std::unique_ptr<Tm_FormMain> mainForm;

    // 6. The catalogue: the first place that holds one (ChooseCatalogue: beside the executable, then
    //    the configured one, then the data folders). A file's folder becomes the current directory.
    //    With none anywhere it stays the program's own, so the error names the file beside it, as a
    //    copy in a folder of its own expects. A setting that cannot be used is the start-up error.
    //    Looked up before the splash so that a catalogue file is opened, on a thread of its own, while
    //    the splash is built and shown; the data module's connection takes it over (with the error its
    //    opening met, reported then as before).
    TCatalogueLocationInputs locations;
    QString settingError;
    try {
        locations = CurrentCatalogueLocationInputs();
    } catch (const TavelinError &e) {
        settingError = e.message();
    }
    const QStringList places = CatalogueSearchPlaces(locations);
    const QString catalogue = settingError.isEmpty() ? ChooseCatalogue(locations) : QString();
    const QFileInfo file(catalogue);
    QDir::setCurrent(file.isFile() ? file.absolutePath() : QCoreApplication::applicationDirPath());
    Tm_DataLibModule::SetCatalogueLocation(file.isFile() ? file.absoluteFilePath() : catalogue);
    if (settingError.isEmpty())
        TCatalogueOpenAhead::Start(Tm_DataLibModule::CatalogueSource());
    const auto discardOpening = qScopeGuard([] { TCatalogueOpenAhead::Discard(); });

    // 5. The splash: shown and painted at once; no message loop runs until the main window's.
    auto splash = std::make_unique<Tm_GloAboutAuthor>(nullptr, 1, 1, QStringLiteral("Tavelin"), TavelinAboutText(), true);
    splash->show();
    WaitUntilExposed(splash.get());
    splash->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    LogStartupEvent(QStringLiteral("splash-shown"));

    // 7. The data module first: the frames bind their queries to its connection as the window is built.
    bool started = false;
    if (settingError.isEmpty()) {
        try {
            dataModule = std::make_unique<Tm_DataLibModule>();
            TCatalogueOpenAhead::Discard(); // a store the connection did not take is closed now
            m_DataLibModule = dataModule.get();
            mainForm = std::make_unique<Tm_FormMain>();
            app.SetMainForm(mainForm.get());
            m_DataLibModule->m_ADOConnection_KVR->SetConnected(true);
            started = true;
        } catch (...) {
            // Reported below as the start-up error; the engine's own message was shown by the data module.
            mainForm.reset();
            dataModule.reset();
        }
    }

    if (started) {
        // 8.
        splash->repaint();
        // No pause asked for: not even a yield of the processor to others.
        if (const int pause = SplashPauseMs(); pause > 0)
            QThread::msleep(pause);
        splash.reset();
        LogStartupEvent(QStringLiteral("splash-closed"));
        QObject::connect(mainForm.get(), &Tm_FormMain::FormClosed, &app, &QCoreApplication::quit);
        CentreOnScreen(mainForm.get());
        mainForm->show();
        LogStartupEvent(QStringLiteral("main-window-shown"));
        app.exec();
        LogStartupEvent(QStringLiteral("main-window-closed"));
        CloseOtherWindows(mainForm.get());
    } else {
        // 9.
        splash.reset();
        LogStartupEvent(QStringLiteral("splash-closed"));
        const QString reason = !settingError.isEmpty() ? settingError
                               : catalogue.isEmpty()
                                   ? CatalogueNotFoundText(places, UserCataloguePlace(locations), SharedCataloguePlace(),
                                                           QCoreApplication::applicationDirPath()
                                                               + QStringLiteral("/tavelin-catalog"))
                                   : QString();
        ShowStartupMessage(QString::fromUtf8(kStartupFailed), QStringLiteral("软件数据库出错提示"), reason);
    }

    // 10.
    FreeGlobalObjects();
    // 11. The application object's teardown: the window, then the data module and its connection.
    mainForm.reset();
    dataModule.reset();
    return 0;
}
