// The application object: an exception escaping an event handler reaches the standard error report
// (caption "Tavelin", error icon, OK) and the program goes on; "宋体" is served by a serif CJK face.
#include "app/TTavelinApplication.h"
#include "platform/FontSetup.h"
#include "platform/StandardErrorReport.h"
#include "platform/TavelinError.h"
#include "support/TestSupport.h"

#include <QFontInfo>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <stdexcept>

using namespace TestSupport;

class TestApplicationErrors : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { SetStandardErrorSink(nullptr); }
    void titleIsTavelin();
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
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QAbstractButton *> buttons;
    WhenModal([&](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        QVERIFY(box);
        text = box->text();
        title = box->windowTitle();
        icon = box->icon();
        buttons = box->buttons();
        box->button(QMessageBox::Ok)->click();
    });
    bool after = false;
    QTimer::singleShot(0, qApp, [] { throw TavelinError(QStringLiteral("无法打开数据库")); });
    QTimer::singleShot(20, qApp, [&] { after = true; });
    QTRY_VERIFY(after);
    QCOMPARE(text, QStringLiteral("无法打开数据库"));
    QCOMPARE(title, QStringLiteral("Tavelin"));
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(buttons.size(), 1);
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
