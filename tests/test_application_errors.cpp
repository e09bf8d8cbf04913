// The application object: an exception escaping an event handler reaches the standard error report
// (caption "Tavelin", error icon, OK) and the program goes on; "宋体" is served by a serif CJK face.
#include "app/TTavelinApplication.h"
#include "platform/FontSetup.h"
#include "platform/ErrorReport.h"
#include "platform/TavelinError.h"
#include "support/ModalBoxes.h"
#include "support/TestSupport.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <qpa/qplatformwindow.h>
#include <stdexcept>

using namespace TestSupport;

namespace {
// How the window system's platform windows form the title a window manager shows.
struct PlatformTitle : QPlatformWindow {
    using QPlatformWindow::formatWindowTitle;
};
} // namespace

class TestApplicationErrors : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { SetStandardErrorSink(nullptr); }
    void titleIsTavelin();
    void captionsReachTheWindowSystemExactly_data();
    void captionsReachTheWindowSystemExactly();
    void qtsOwnPartsReadChinese_data();
    void qtsOwnPartsReadChinese();
    void errorFromClickedSlotIsReportedAndProgramGoesOn();
    void errorFromTimerAndUnknownExceptionsAreReported();
    void reportIsModalErrorBoxCaptionedTavelin();
    void songFaceIsSerifCjk();
};

void TestApplicationErrors::titleIsTavelin()
{
    QVERIFY(qobject_cast<TTavelinApplication *>(qApp));
    QCOMPARE(QApplication::applicationDisplayName(), QStringLiteral("Tavelin"));
}

void TestApplicationErrors::captionsReachTheWindowSystemExactly_data()
{
    QTest::addColumn<QString>("caption");
    QTest::newRow("viewer") << QStringLiteral("医学软件图片浏览器");
    QTest::newRow("notice") << QStringLiteral("提示");
    QTest::newRow("quit question") << QStringLiteral("退出Corvale...");
    QTest::newRow("start-up error") << QStringLiteral("软件数据库出错提示");
    QTest::newRow("input window") << QStringLiteral("录入窗口");
    QTest::newRow("main window") << QStringLiteral("Tavelin");
}

void TestApplicationErrors::captionsReachTheWindowSystemExactly()
{
    QFETCH(QString, caption);
    // The title a window manager shows is the caption as it is, with nothing appended; the
    // program is known to the desktop by its desktop entry instead.
    QCOMPARE(PlatformTitle::formatWindowTitle(caption, QStringLiteral(" \u2014 ")), caption);
    QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("org.tavelin.Tavelin"));
}

void TestApplicationErrors::qtsOwnPartsReadChinese_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("chinese");
    // Message box buttons, and the file and print dialogs.
    QTest::newRow("OK") << "QPlatformTheme" << "OK" << "确定";
    QTest::newRow("Yes") << "QPlatformTheme" << "&Yes" << "是(&Y)";
    QTest::newRow("No") << "QPlatformTheme" << "&No" << "否(&N)";
    QTest::newRow("Cancel") << "QPlatformTheme" << "Cancel" << "取消";
    QTest::newRow("file dialog") << "QFileDialog" << "&Open" << "打开(&O)";
    QTest::newRow("print dialog") << "QPrintDialog" << "Print" << "打印";
}

void TestApplicationErrors::qtsOwnPartsReadChinese()
{
    QFETCH(QString, context);
    QFETCH(QString, english);
    QFETCH(QString, chinese);
    auto *app = qobject_cast<TTavelinApplication *>(qApp);
    QVERIFY(app);
    if (!app->QtChineseInstalled())
        QFAIL("Qt's Chinese translations are not installed (scripts/install-deps installs them)");
    QCOMPARE(QCoreApplication::translate(context.toLatin1().constData(), english.toLatin1().constData()), chinese);
}

void TestApplicationErrors::errorFromClickedSlotIsReportedAndProgramGoesOn()
{
    QStringList reported;
    SetStandardErrorSink([&](const QString &m) { reported << m; });

    QPushButton button(QStringLiteral("打开"));
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] {
        ++clicks;
        if (clicks == 1)
            throw TavelinError(QStringLiteral("数据库文件不存在: KVRJetLib.mdb"));
    });
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));

    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(reported, QStringList{QStringLiteral("数据库文件不存在: KVRJetLib.mdb")});
    // The program goes on: the same button works again, and the button is not left pressed.
    QVERIFY(!button.isDown());
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(clicks, 2);
    QCOMPARE(reported.size(), 1);
}

void TestApplicationErrors::errorFromTimerAndUnknownExceptionsAreReported()
{
    QStringList reported;
    SetStandardErrorSink([&](const QString &m) { reported << m; });
    QTimer::singleShot(0, qApp, [] { throw std::runtime_error("disk full"); });
    QTimer::singleShot(0, qApp, [] { throw 42; });
    bool later = false;
    QTimer::singleShot(5, qApp, [&] { later = true; });
    QTRY_VERIFY(later);
    QCOMPARE(reported.size(), 2);
    QCOMPARE(reported.at(0), QStringLiteral("disk full"));
    QVERIFY(!reported.at(1).isEmpty());
}

void TestApplicationErrors::reportIsModalErrorBoxCaptionedTavelin()
{
    TestSupport::TSeenMessageBox seen;
    TestSupport::AnswerMessageBox(QMessageBox::Ok, &seen);
    bool after = false;
    QTimer::singleShot(0, qApp, [] { throw TavelinError(QStringLiteral("无法打开数据库")); });
    QTimer::singleShot(20, qApp, [&] { after = true; });
    QTRY_VERIFY(after);
    QCOMPARE(seen.text, QStringLiteral("无法打开数据库"));
    QCOMPARE(seen.title, QStringLiteral("Tavelin"));
    QCOMPARE(seen.icon, QMessageBox::Critical);
    QCOMPARE(seen.buttons, QStringList{QStringLiteral("确定")});
}

void TestApplicationErrors::songFaceIsSerifCjk()
{
    const QFont f = SongFont(12);
    QCOMPARE(f.pixelSize(), 12);
    QCOMPARE(QFontInfo(f).family(), QStringLiteral("Noto Serif CJK SC"));
}

int main(int argc, char **argv)
{
    TTavelinApplication app(argc, argv);
    TestApplicationErrors tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "test_application_errors.moc"
