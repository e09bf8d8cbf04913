// The about window and splash: the collapsed and expanded states, the version line, Enter and
// Escape, the splash without buttons, placement, and the about text's shape.
#include "app/TavelinAboutText.h"
#include "glo/UGloAboutAuthor.h"
#include "widgets/ApplicationMainForm.h"
#include "platform/FontSetup.h"
#include "platform/WinConstants.h"
#include "widgets/WindowPlacement.h"
#include "support/Screenshots.h"
#include "support/ModalBoxes.h"
#include "support/TestSupport.h"

#include <QAccessible>
#include <QScreen>
#include <QtTest>

using namespace TestSupport;

namespace {
std::unique_ptr<Tm_GloAboutAuthor> MakeAbout(bool splash)
{
    return std::make_unique<Tm_GloAboutAuthor>(nullptr, 1, 1, QStringLiteral("Tavelin"), TavelinAboutText(), splash);
}
} // namespace

class TestAboutWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallFontSubstitutions(); }
    void cleanup() { SetApplicationMainForm(nullptr); }

    void startsCollapsed();
    void aboutButtonExpandsAndCollapses();
    void versionLine_data();
    void versionLine();
    void splashHasNoButtonsAndCannotBeClosed();
    void escapeAndEnterClose_data();
    void escapeAndEnterClose();
    void enterOnTheAboutButtonPressesIt();
    void centredOnTheMainWindowOrTheScreen();
    void neverBeyondTheDesktopsTopLeft();
    void placementIgnoresTheWorkArea_data();
    void placementIgnoresTheWorkArea();
    void aboutTextShape();
    void whatAScreenReaderFinds_data();
    void whatAScreenReaderFinds();
    void screenshots();
};

void TestAboutWindow::startsCollapsed()
{
    auto w = MakeAbout(false);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QCOMPARE(w->objectName(), QStringLiteral("m_GloAboutAuthor"));
    QCOMPARE(w->size(), QSize(347, 238));
    QVERIFY(!w->m_bExpanded);
    QVERIFY(w->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(w->m_Button_OK->text(), QStringLiteral("确定"));
    QCOMPARE(w->m_Button_About->text(), QStringLiteral("关于>>"));
    QVERIFY(w->m_Button_OK->isVisible() && w->m_Button_About->isVisible());
    QVERIFY(w->m_Button_OK->isDefault());
    QCOMPARE(w->m_Label_Caption->text(), QStringLiteral("Tavelin"));
    QCOMPARE(w->m_Label_Version->text(), QStringLiteral("版本:1.1"));
    QCOMPARE(w->m_Label_Memo->text(), QString(TavelinAboutText()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    // The etched line and the about text lie below the window's bottom edge.
    QVERIFY(w->Bevel1->y() >= w->height());
    QVERIFY(w->m_Label_Memo->y() >= w->height());
    // The background reaches the bottom edge, one blank pixel inside.
    QCOMPARE(w->Image3->geometry(), QRect(1, 108, 345, 238 - 1 - 108));
}

void TestAboutWindow::aboutButtonExpandsAndCollapses()
{
    auto w = MakeAbout(false);
    w->move(100, 50);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    const int top = w->y();

    QTest::mouseClick(w->m_Button_About, Qt::LeftButton);
    QCOMPARE(w->size(), QSize(347, 349));
    QVERIFY(w->m_bExpanded);
    QCOMPARE(w->m_Button_About->text(), QStringLiteral("关于<<"));
    QVERIFY(w->m_Label_Memo->geometry().bottom() < w->height());
    QVERIFY(w->Bevel1->geometry().bottom() < w->height());
    QCOMPARE(w->Image3->geometry(), QRect(1, 108, 345, 349 - 1 - 108));
    QCOMPARE(w->y(), top); // grows at the bottom

    QTest::mouseClick(w->m_Button_About, Qt::LeftButton);
    QCOMPARE(w->size(), QSize(347, 238));
    QVERIFY(!w->m_bExpanded);
    QCOMPARE(w->m_Button_About->text(), QStringLiteral("关于>>"));
    QCOMPARE(w->y(), top);
    QVERIFY(w->isVisible());
}

void TestAboutWindow::whatAScreenReaderFinds_data()
{
    QTest::addColumn<bool>("splash");
    QTest::addColumn<int>("aboutClicks");
    QTest::addColumn<bool>("textReachable");
    QTest::newRow("splash") << true << 0 << false;
    QTest::newRow("about box, collapsed") << false << 0 << false;
    QTest::newRow("about box, expanded") << false << 1 << true;
    QTest::newRow("about box, collapsed again") << false << 2 << false;
}

void TestAboutWindow::whatAScreenReaderFinds()
{
    QFETCH(bool, splash);
    QFETCH(int, aboutClicks);
    QFETCH(bool, textReachable);
    auto w = MakeAbout(splash);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    for (int i = 0; i < aboutClicks; ++i)
        QTest::mouseClick(w->m_Button_About, Qt::LeftButton);

    // The about text and its etched line are offered to a screen reader only while the window shows
    // them; cut off below the bottom edge, they are not there for anybody.
    const auto shown = [](QWidget *widget) {
        return !QAccessible::queryAccessibleInterface(widget)->state().invisible;
    };
    QCOMPARE(shown(w->m_Label_Memo), textReachable);
    QCOMPARE(shown(w->Bevel1), textReachable);
    QCOMPARE(w->m_Label_Memo->text().isEmpty(), false);

    // The pictures that say something carry a name; the panel is a panel and the etched line a
    // separator, not windows of their own.
    QAccessibleInterface *icon = QAccessible::queryAccessibleInterface(w->m_ImageIcon);
    QCOMPARE(icon->text(QAccessible::Name), QStringLiteral("Tavelin 图标"));
    QVERIFY(!QAccessible::queryAccessibleInterface(w->Image1)->text(QAccessible::Name).isEmpty());
    QCOMPARE(QAccessible::queryAccessibleInterface(w->Panel1)->role(), QAccessible::Pane);
    QCOMPARE(QAccessible::queryAccessibleInterface(w->Bevel1)->role(), QAccessible::Separator);
    QCOMPARE(QAccessible::queryAccessibleInterface(w.get())->text(QAccessible::Name), QStringLiteral("关于本软件"));
}

void TestAboutWindow::versionLine_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<QString>("line");
    QTest::newRow("1.1") << 1 << 1 << QStringLiteral("版本:1.1");
    QTest::newRow("2.10") << 2 << 10 << QStringLiteral("版本:2.10");
    QTest::newRow("0.0") << 0 << 0 << QStringLiteral("版本:0.0");
}

void TestAboutWindow::versionLine()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(QString, line);
    Tm_GloAboutAuthor w(nullptr, major, minor, QStringLiteral("Tavelin"), QString(), false);
    QCOMPARE(w.m_Label_Version->text(), line);
}

void TestAboutWindow::splashHasNoButtonsAndCannotBeClosed()
{
    auto w = MakeAbout(true);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QVERIFY(!w->m_Button_OK->isVisible() && !w->m_Button_About->isVisible());
    QVERIFY(!w->m_Button_OK->isEnabled() && !w->m_Button_About->isEnabled());
    QCOMPARE(w->size(), QSize(347, 238));
    QTest::keyClick(w.get(), Qt::Key_Escape);
    QTest::keyClick(w.get(), Qt::Key_Return);
    QTest::keyClick(w.get(), Qt::Key_Enter);
    w->close();
    QVERIFY(w->isVisible());
    QCOMPARE(w->size(), QSize(347, 238));
    QVERIFY(w->m_Label_Memo->y() >= w->height());
}

void TestAboutWindow::escapeAndEnterClose_data()
{
    QTest::addColumn<bool>("expanded");
    QTest::addColumn<int>("key");
    QTest::newRow("collapsed, Escape") << false << int(Qt::Key_Escape);
    QTest::newRow("expanded, Escape") << true << int(Qt::Key_Escape);
    QTest::newRow("collapsed, Enter") << false << int(Qt::Key_Return);
    QTest::newRow("expanded, Enter") << true << int(Qt::Key_Return);
}

void TestAboutWindow::escapeAndEnterClose()
{
    QFETCH(bool, expanded);
    QFETCH(int, key);
    auto w = MakeAbout(false);
    bool sawModal = false;
    WhenModal([&](QWidget *modal) {
        sawModal = modal == w.get();
        if (expanded)
            QTest::mouseClick(w->m_Button_About, Qt::LeftButton);
        w->m_Button_OK->setFocus();
        QTest::keyClick(modal, Qt::Key(key));
    });
    const int result = w->exec();
    QVERIFY(sawModal);
    QCOMPARE(result, IDOK);
    QVERIFY(!w->isVisible());
    QCOMPARE(w->m_bExpanded, expanded);
}

void TestAboutWindow::enterOnTheAboutButtonPressesIt()
{
    auto w = MakeAbout(false);
    bool stillOpen = false;
    bool expanded = false;
    WhenModal([&](QWidget *modal) {
        // On a slow run the window may be modal before it is active; the key must find the focus
        // on the about button.
        QVERIFY(QTest::qWaitForWindowActive(modal));
        w->m_Button_About->setFocus();
        QTRY_VERIFY(w->m_Button_About->hasFocus());
        QTest::keyClick(modal, Qt::Key_Return);
        stillOpen = w->isVisible();
        expanded = w->m_bExpanded;
        // Escape closes even while the focus is on the about button.
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    QCOMPARE(w->exec(), IDOK);
    QVERIFY(stillOpen);
    QVERIFY(expanded);
}

void TestAboutWindow::centredOnTheMainWindowOrTheScreen()
{
    // No main window: centred on the screen.
    {
        auto w = MakeAbout(true);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const QRect screen = w->screen()->geometry();
        QVERIFY((w->frameGeometry().center() - screen.center()).manhattanLength() <= 2);
    }
    // A moved main window: centred over it, not over the screen.
    QWidget main;
    main.setGeometry(20, 30, 500, 420);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    SetApplicationMainForm(&main);
    auto w = MakeAbout(false);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QVERIFY2((w->frameGeometry().center() - main.frameGeometry().center()).manhattanLength() <= 2,
             qPrintable(QStringLiteral("%1,%2").arg(w->x()).arg(w->y())));
}

void TestAboutWindow::neverBeyondTheDesktopsTopLeft()
{
    const QRect desktop(0, 0, 1280, 1024);
    QCOMPARE(CentredTopLeft(QSize(347, 238), QRect(-300, -200, 300, 200), desktop), QPoint(0, 0));
    QCOMPARE(CentredTopLeft(QSize(347, 238), QRect(100, 100, 547, 438), desktop), QPoint(200, 200));
    QCOMPARE(CentredTopLeft(QSize(100, 100), QRect(1200, 900, 200, 200), desktop), QPoint(1250, 950));
}

void TestAboutWindow::placementIgnoresTheWorkArea_data()
{
    QTest::addColumn<QRect>("mainFrame");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QPoint>("topLeft");
    // The screen is 1280 x 1024; a panel on the left or at the top makes the work area smaller,
    // which must not move a splash that is centred on the screen.
    const QRect screen(0, 0, 1280, 1024);
    QTest::newRow("splash, no main window") << QRect() << screen << QPoint(466, 393);
    QTest::newRow("splash on a second screen") << QRect() << QRect(1280, 0, 1920, 1080) << QPoint(2066, 421);
    QTest::newRow("over the main window") << QRect(100, 40, 800, 580) << screen << QPoint(326, 211);
    QTest::newRow("main window partly above the screen") << QRect(-600, -500, 800, 580) << screen << QPoint(0, 0);
}

void TestAboutWindow::placementIgnoresTheWorkArea()
{
    QFETCH(QRect, mainFrame);
    QFETCH(QRect, screen);
    QFETCH(QPoint, topLeft);
    QCOMPARE(CentredOverMainOrScreen(QSize(347, 238), mainFrame, screen), topLeft);
}

void TestAboutWindow::aboutTextShape()
{
    const QString text = TavelinAboutText();
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 3);
    QVERIFY(!text.contains(QRegularExpression(QStringLiteral("[^\r]\n"))));
    QVERIFY(lines[0].startsWith(QStringLiteral("    ")) && !lines[0].startsWith(QStringLiteral("     ")));
    QVERIFY(lines[1].startsWith(QStringLiteral("    ")) && !lines[1].startsWith(QStringLiteral("     ")));
    QVERIFY(!lines[2].startsWith(QLatin1Char(' ')));
    QVERIFY(lines[0].contains(QStringLiteral("Corvale")));
    QVERIFY(lines[2].contains(QStringLiteral("感谢")));

    // It fits the label of the expanded window: nothing is cut off.
    auto w = MakeAbout(false);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    const int needed = w->m_Label_Memo->heightForWidth(w->m_Label_Memo->width());
    QVERIFY2(needed <= w->m_Label_Memo->height(), qPrintable(QString::number(needed)));
}

void TestAboutWindow::screenshots()
{
    if (qEnvironmentVariableIsEmpty("TAVELIN_SCREENSHOT_DIR"))
        QSKIP("set TAVELIN_SCREENSHOT_DIR to save pictures of the window");
    auto w = MakeAbout(false);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    MaybeSaveScreenshot(w.get(), QStringLiteral("about_collapsed"));
    QTest::mouseClick(w->m_Button_About, Qt::LeftButton);
    MaybeSaveScreenshot(w.get(), QStringLiteral("about_expanded"));
    auto s = MakeAbout(true);
    s->show();
    QVERIFY(QTest::qWaitForWindowExposed(s.get()));
    MaybeSaveScreenshot(s.get(), QStringLiteral("about_splash"));
}

QTEST_MAIN(TestAboutWindow)
#include "test_about_window.moc"
