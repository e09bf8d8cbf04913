// The typed input dialog: every kind (what is shown, what OK writes), cancelling in all three ways,
// the two refusals, the backup-value menus, the length limit, password display and the number
// formats, driven through the real widgets.
#include "glo/GlobalObjects.h"
#include "glo/InputValueFormat.h"
#include "glo/UGloInputDlg.h"
#include "widgets/ApplicationMainForm.h"
#include "platform/FontSetup.h"
#include "platform/WinConstants.h"
#include "support/Screenshots.h"
#include "support/ModalBoxes.h"
#include "support/TestSupport.h"
#include "support/TypeText.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <functional>

using namespace TestSupport;

using Interaction = std::function<void(Tm_GloInputDlg *)>;
using RecordCheck = std::function<void(const TFunParam &)>;
Q_DECLARE_METATYPE(Interaction)
Q_DECLARE_METATYPE(RecordCheck)
using ShownText = std::function<QString(const Tm_GloInputDlg &)>;
Q_DECLARE_METATYPE(ShownText)

namespace {

// A record with a distinctive value in every slot the dialog could touch.
void FillDistinctively(TFunParam &p)
{
    p.Reset();
    p.m_nIntValue = 42;
    p.m_dFloatValue = 2.5;
    p.m_strText = QStringLiteral("原来的文字");
    p.m_dtDateTime = QDateTimeToDateTime(QDateTime(QDate(2011, 3, 4), QTime(5, 6, 7)));
    p.m_lstContent = QStringList{QStringLiteral("第一行"), QStringLiteral("第二行")};
    p.m_lstBackup = QStringList{QStringLiteral("备用")};
}

bool SameRecord(const TFunParam &a, const TFunParam &b)
{
    return a.m_nIntValue == b.m_nIntValue && a.m_nIntValue2 == b.m_nIntValue2 && a.m_dFloatValue == b.m_dFloatValue &&
           a.m_strText == b.m_strText && a.m_dtDateTime == b.m_dtDateTime && a.m_bPassword == b.m_bPassword &&
           a.m_lstContent == b.m_lstContent && a.m_lstBackup == b.m_lstBackup && a.m_lstList3 == b.m_lstList3 &&
           a.m_dwReserved1 == b.m_dwReserved1;
}

// Shows the window through the function set and runs the interaction once it is up.
int RunInputWindow(const QString &prompt, TFunParam &param, std::uint8_t kind, const Interaction &interaction)
{
    bool ran = false;
    WhenModal([&](QWidget *w) {
        auto *dlg = qobject_cast<Tm_GloInputDlg *>(w);
        if (!dlg) {
            qWarning("the modal widget is not the input window");
            return;
        }
        ran = true;
        interaction(dlg);
    });
    const int result = g_FunctionSet->ShowInputWindow(prompt, param, kind);
    if (!ran)
        qWarning("the input window never became modal");
    return result;
}

void ClickOK(Tm_GloInputDlg *d)
{
    QTest::mouseClick(d->m_Button_OK, Qt::LeftButton);
}

void Retype(QLineEdit *edit, const QString &text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    TypeText(edit, text);
}

QStringList ActionTexts(QMenu *menu)
{
    QStringList texts;
    for (QAction *a : menu->actions())
        texts << (a->isSeparator() ? QStringLiteral("<separator>") : a->text());
    return texts;
}

} // namespace

class TestInputDialog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void kindShowsItsControl_data();
    void kindShowsItsControl();
    void okWritesTheKindsSlot_data();
    void okWritesTheKindsSlot();
    void cancelLeavesRecordUntouched_data();
    void cancelLeavesRecordUntouched();
    void refusedNumbersKeepWindowOpen_data();
    void refusedNumbersKeepWindowOpen();
    void enterConfirmsExceptInTheMemo();

    void textBackupValuesMenu();
    void textWithoutBackupValuesHasNoMenu();
    void textLengthLimit_data();
    void textLengthLimit();
    void passwordShowsStars();
    void memoWindowGrowsAndBackupLinesAppend();
    void memoClipboardMenu();

    void floatFormat_data();
    void floatFormat();
    void numbersFollowTheDecimalSeparator();
    void parseRules_data();
    void parseRules();
    void memoLines_data();
    void memoLines();
    void centredOverTheMainWindow();
    void coloursAndTabOrder();
    void screenshots();
};

void TestInputDialog::initTestCase()
{
    InstallFontSubstitutions();
    CreateGlobalObjects();
}

void TestInputDialog::cleanupTestCase()
{
    FreeGlobalObjects();
}

// ---- what each kind shows ----

void TestInputDialog::kindShowsItsControl_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("visible"); // names of the visible input controls, in a fixed order
    QTest::addColumn<QString>("focus");
    QTest::addColumn<ShownText>("read"); // what the kind's controls show
    QTest::addColumn<QString>("shown");  // text of the edit / memo, or the picker values
    QTest::addColumn<int>("height");
    QTest::addColumn<QVariantMap>("placed"); // x of controls moved from their designed place

    const ShownText edit = [](const Tm_GloInputDlg &d) { return d.m_strContent->text(); };
    const ShownText memo = [](const Tm_GloInputDlg &d) { return d.m_Memo->toPlainText(); };
    const ShownText date = [](const Tm_GloInputDlg &d) {
        return d.m_DateTimePicker_Date->date().toString(Qt::ISODate);
    };
    const ShownText time = [](const Tm_GloInputDlg &d) {
        return d.m_DateTimePicker_Time->time().toString(QStringLiteral("HH:mm:ss"));
    };
    const ShownText dateTime = [=](const Tm_GloInputDlg &d) { return date(d) + QLatin1Char(' ') + time(d); };
    const ShownText nothing = [](const Tm_GloInputDlg &) { return QString(); };
    const QVariantMap designed;

    QTest::newRow("text") << int(ikText) << "m_strContent" << "m_strContent" << edit << "原来的文字" << 147 << designed;
    QTest::newRow("memo") << int(ikMemo) << "m_Memo" << "m_Memo" << memo << "第一行\n第二行\n" << 347 << designed;
    QTest::newRow("date") << int(ikDate) << "m_DateTimePicker_Date" << "m_DateTimePicker_Date" << date << "2011-03-04"
                          << 147 << designed;
    QTest::newRow("time") << int(ikTime) << "m_DateTimePicker_Time" << "m_DateTimePicker_Time" << time << "05:06:07"
                          << 147 << QVariantMap{{"m_DateTimePicker_Time", 48}}; // in the date picker's place
    QTest::newRow("date-time") << int(ikDateTime) << "m_DateTimePicker_Date m_DateTimePicker_Time"
                               << "m_DateTimePicker_Date" << dateTime << "2011-03-04 05:06:07" << 147
                               << QVariantMap{{"m_DateTimePicker_Date", 48}, {"m_DateTimePicker_Time", 170}};
    QTest::newRow("integer") << int(ikInteger) << "m_strContent" << "m_strContent" << edit << "42" << 147 << designed;
    QTest::newRow("float") << int(ikFloat) << "m_strContent" << "m_strContent" << edit << "2.5" << 147 << designed;
    QTest::newRow("kind 7") << 7 << "" << "" << nothing << "" << 147 << designed;
    QTest::newRow("kind 200") << 200 << "" << "" << nothing << "" << 147 << designed;
}

void TestInputDialog::kindShowsItsControl()
{
    QFETCH(int, kind);
    QFETCH(QString, visible);
    QFETCH(QString, focus);
    QFETCH(ShownText, read);
    QFETCH(QString, shown);
    QFETCH(int, height);
    QFETCH(QVariantMap, placed);

    TFunParam param;
    FillDistinctively(param);
    Tm_GloInputDlg dlg(nullptr, QStringLiteral("请输入类别名称:"), param, std::uint8_t(kind));
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));

    QStringList seen;
    for (QWidget *w : {static_cast<QWidget *>(dlg.m_strContent), static_cast<QWidget *>(dlg.m_Memo),
                       static_cast<QWidget *>(dlg.m_DateTimePicker_Date),
                       static_cast<QWidget *>(dlg.m_DateTimePicker_Time)})
        if (w->isVisible())
            seen << w->objectName();
    QCOMPARE(seen.join(QLatin1Char(' ')), visible);
    // Whichever edit is shown, a screen reader names it by the prompt.
    for (const QString &name : std::as_const(seen))
        QCOMPARE(QAccessible::queryAccessibleInterface(dlg.findChild<QWidget *>(name))->text(QAccessible::Name),
                 QStringLiteral("请输入类别名称:"));
    QCOMPARE(dlg.m_PromptLable->text(), QStringLiteral("请输入类别名称:"));
    QCOMPARE(dlg.windowTitle(), QStringLiteral("录入窗口"));
    QCOMPARE(dlg.height(), height);
    QCOMPARE(dlg.width(), 343);
    QVERIFY(dlg.m_Button_OK->isVisible() && dlg.m_Button_Cancel->isVisible());
    if (!focus.isEmpty())
        QCOMPARE(dlg.focusWidget() ? dlg.focusWidget()->objectName() : QString(), focus);

    QCOMPARE(read(dlg), shown);
    for (auto it = placed.cbegin(); it != placed.cend(); ++it)
        QCOMPARE(dlg.findChild<QWidget *>(it.key())->x(), it.value().toInt());
}

// ---- what OK writes ----

void TestInputDialog::okWritesTheKindsSlot_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<Interaction>("interaction");
    QTest::addColumn<RecordCheck>("check");

    QTest::newRow("text, untrimmed")
        << int(ikText) << Interaction([](Tm_GloInputDlg *d) {
               Retype(d->m_strContent, QStringLiteral("  当归 "));
               ClickOK(d);
           })
        << RecordCheck([](const TFunParam &p) {
               QCOMPARE(p.m_strText, QStringLiteral("  当归 "));
               QCOMPARE(p.m_nIntValue, 42);
           });
    QTest::newRow("text, empty") << int(ikText) << Interaction([](Tm_GloInputDlg *d) {
        Retype(d->m_strContent, QString());
        ClickOK(d);
    }) << RecordCheck([](const TFunParam &p) { QCOMPARE(p.m_strText, QString()); });
    QTest::newRow("memo, three lines") << int(ikMemo) << Interaction([](Tm_GloInputDlg *d) {
        d->m_Memo->selectAll();
        QTest::keyClick(d->m_Memo, Qt::Key_Delete);
        TypeText(d->m_Memo, QStringLiteral("甲"));
        QTest::keyClick(d->m_Memo, Qt::Key_Return);
        TypeText(d->m_Memo, QStringLiteral("乙"));
        QTest::keyClick(d->m_Memo, Qt::Key_Return);
        TypeText(d->m_Memo, QStringLiteral("丙"));
        ClickOK(d);
    }) << RecordCheck([](const TFunParam &p) {
        QCOMPARE(p.m_lstContent, (QStringList{QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")}));
        QCOMPARE(p.m_strText, QStringLiteral("原来的文字"));
    });
    QTest::newRow("memo, untouched keeps two lines")
        << int(ikMemo) << Interaction(ClickOK) << RecordCheck([](const TFunParam &p) {
               QCOMPARE(p.m_lstContent, (QStringList{QStringLiteral("第一行"), QStringLiteral("第二行")}));
           });
    QTest::newRow("integer") << int(ikInteger) << Interaction([](Tm_GloInputDlg *d) {
        Retype(d->m_strContent, QStringLiteral("12"));
        ClickOK(d);
    }) << RecordCheck([](const TFunParam &p) { QCOMPARE(p.m_nIntValue, 12); });
    QTest::newRow("integer, lowest") << int(ikInteger) << Interaction([](Tm_GloInputDlg *d) {
        Retype(d->m_strContent, QStringLiteral("-2147483648"));
        ClickOK(d);
    }) << RecordCheck([](const TFunParam &p) { QCOMPARE(p.m_nIntValue, std::int32_t(-2147483647 - 1)); });
    QTest::newRow("float") << int(ikFloat) << Interaction([](Tm_GloInputDlg *d) {
        Retype(d->m_strContent, QStringLiteral("-0.125"));
        ClickOK(d);
    }) << RecordCheck([](const TFunParam &p) {
        QCOMPARE(p.m_dFloatValue, -0.125);
        QCOMPARE(p.m_nIntValue, 42);
    });
    QTest::newRow("float, unchanged display rounds the value") << int(ikFloat) << Interaction(ClickOK)
                                                               << RecordCheck([](const TFunParam &p) {
                                                                      QCOMPARE(p.m_dFloatValue, 2.5);
                                                                  });
    QTest::newRow("date keeps the time of day") << int(ikDate) << Interaction([](Tm_GloInputDlg *d) {
        d->m_DateTimePicker_Date->setDate(QDate(2020, 2, 29));
        ClickOK(d);
    }) << RecordCheck([](const TFunParam &p) {
        QCOMPARE(DateTimeToQDateTime(p.m_dtDateTime), QDateTime(QDate(2020, 2, 29), QTime(5, 6, 7)));
    });
    QTest::newRow("time keeps the date") << int(ikTime) << Interaction([](Tm_GloInputDlg *d) {
        d->m_DateTimePicker_Time->setTime(QTime(23, 59, 58));
        ClickOK(d);
    }) << RecordCheck([](const TFunParam &p) {
        QCOMPARE(DateTimeToQDateTime(p.m_dtDateTime), QDateTime(QDate(2011, 3, 4), QTime(23, 59, 58)));
    });
    QTest::newRow("date-time combines both pickers") << int(ikDateTime) << Interaction([](Tm_GloInputDlg *d) {
        d->m_DateTimePicker_Date->setDate(QDate(1999, 12, 31));
        d->m_DateTimePicker_Time->setTime(QTime(8, 30, 15));
        ClickOK(d);
    }) << RecordCheck([](const TFunParam &p) {
        QCOMPARE(DateTimeToQDateTime(p.m_dtDateTime), QDateTime(QDate(1999, 12, 31), QTime(8, 30, 15)));
    });
    QTest::newRow("kind 7 writes nothing") << 7 << Interaction(ClickOK) << RecordCheck([](const TFunParam &p) {
        TFunParam expected;
        FillDistinctively(expected);
        QVERIFY(SameRecord(p, expected));
    });
}

void TestInputDialog::okWritesTheKindsSlot()
{
    QFETCH(int, kind);
    QFETCH(Interaction, interaction);
    QFETCH(RecordCheck, check);
    FillDistinctively(*g_FunParam);
    QCOMPARE(RunInputWindow(QStringLiteral("请输入:"), *g_FunParam, std::uint8_t(kind), interaction), IDOK);
    check(*g_FunParam);
}

// ---- cancelling ----

void TestInputDialog::cancelLeavesRecordUntouched_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<Interaction>("cancel");
    const QList<QPair<const char *, Interaction>> ways = {
        {"button", [](Tm_GloInputDlg *d) { QTest::mouseClick(d->m_Button_Cancel, Qt::LeftButton); }},
        {"escape", [](Tm_GloInputDlg *d) { QTest::keyClick(d, Qt::Key_Escape); }},
        {"close box", [](Tm_GloInputDlg *d) { d->close(); }},
    };
    for (int kind : {int(ikText), int(ikMemo), int(ikDate), int(ikTime), int(ikDateTime), int(ikInteger),
                     int(ikFloat), 9}) {
        for (const auto &[how, cancel] : ways)
            QTest::addRow("kind %d, %s", kind, how) << kind << cancel;
    }
}

void TestInputDialog::cancelLeavesRecordUntouched()
{
    QFETCH(int, kind);
    QFETCH(Interaction, cancel);
    TFunParam param;
    FillDistinctively(param);
    const int result = RunInputWindow(QStringLiteral("请输入:"), param, std::uint8_t(kind), [&](Tm_GloInputDlg *d) {
        // Change whatever is shown first: cancelling must not carry it over.
        d->m_strContent->setText(QStringLiteral("77"));
        d->m_Memo->setPlainText(QStringLiteral("别的"));
        d->m_DateTimePicker_Date->setDate(QDate(2001, 1, 1));
        d->m_DateTimePicker_Time->setTime(QTime(1, 1, 1));
        cancel(d);
    });
    QCOMPARE(result, IDCANCEL);
    TFunParam expected;
    FillDistinctively(expected);
    QVERIFY(SameRecord(param, expected));
}

// ---- refusals ----

void TestInputDialog::refusedNumbersKeepWindowOpen_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    const QString intMsg = QStringLiteral("你必须输入一个有效整数!");
    const QString floatMsg = QStringLiteral("你必须输入一个有效浮点数!");
    QTest::newRow("integer 12a") << int(ikInteger) << "12a" << intMsg;
    QTest::newRow("integer empty") << int(ikInteger) << "" << intMsg;
    QTest::newRow("integer out of range") << int(ikInteger) << "2147483648" << intMsg;
    QTest::newRow("integer with a decimal point") << int(ikInteger) << "3.0" << intMsg;
    QTest::newRow("float empty") << int(ikFloat) << "" << floatMsg;
    QTest::newRow("float letters") << int(ikFloat) << "abc" << floatMsg;
    QTest::newRow("float with the wrong separator") << int(ikFloat) << "1,5" << floatMsg;
    QTest::newRow("float infinity") << int(ikFloat) << "inf" << floatMsg;
}

void TestInputDialog::refusedNumbersKeepWindowOpen()
{
    QFETCH(int, kind);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    TFunParam param;
    FillDistinctively(param);
    TestSupport::TSeenMessageBox seen;
    bool openAfterRefusal = false;
    bool recordUnchanged = false;
    bool focusBackInEdit = false;
    const int result = RunInputWindow(QStringLiteral("请输入:"), param, std::uint8_t(kind), [&](Tm_GloInputDlg *d) {
        Retype(d->m_strContent, typed);
        TestSupport::AnswerMessageBox(QMessageBox::Ok, &seen);
        ClickOK(d);
        openAfterRefusal = d->isVisible();
        focusBackInEdit = d->focusWidget() == d->m_strContent;
        TFunParam expected;
        FillDistinctively(expected);
        recordUnchanged = SameRecord(param, expected);
        // Then the user gives up.
        QTest::mouseClick(d->m_Button_Cancel, Qt::LeftButton);
    });
    QCOMPARE(seen.text, message);
    QCOMPARE(seen.title, QStringLiteral("提示"));
    QCOMPARE(seen.icon, QMessageBox::Critical);
    QVERIFY(openAfterRefusal);
    QVERIFY(focusBackInEdit);
    QVERIFY(recordUnchanged);
    QCOMPARE(result, IDCANCEL);
}

void TestInputDialog::enterConfirmsExceptInTheMemo()
{
    FillDistinctively(*g_FunParam);
    int result = RunInputWindow(QStringLiteral("请输入:"), *g_FunParam, ikText, [](Tm_GloInputDlg *d) {
        Retype(d->m_strContent, QStringLiteral("回车"));
        QTest::keyClick(d->m_strContent, Qt::Key_Return);
    });
    QCOMPARE(result, IDOK);
    QCOMPARE(g_FunParam->m_strText, QStringLiteral("回车"));

    bool stillOpen = false;
    result = RunInputWindow(QStringLiteral("请输入:"), *g_FunParam, ikMemo, [&](Tm_GloInputDlg *d) {
        d->m_Memo->moveCursor(QTextCursor::End);
        TypeText(d->m_Memo, QStringLiteral("尾"));
        QTest::keyClick(d->m_Memo, Qt::Key_Return);
        stillOpen = d->isVisible();
        ClickOK(d);
    });
    QVERIFY(stillOpen);
    QCOMPARE(result, IDOK);
    QCOMPARE(g_FunParam->m_lstContent, (QStringList{QStringLiteral("第一行"), QStringLiteral("第二行"),
                                                    QStringLiteral("尾")}));
}

// ---- text kind details ----

void TestInputDialog::textBackupValuesMenu()
{
    TFunParam param;
    param.m_strText = QStringLiteral("旧");
    param.m_lstContent = QStringList{QStringLiteral("黄芪"), QStringLiteral("甘草 & 大枣"), QStringLiteral("-")};
    Tm_GloInputDlg dlg(nullptr, QStringLiteral("请输入:"), param, ikText);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QMenu *menu = dlg.m_PopupMenu_StrInputShortcut;
    QCOMPARE(menu->objectName(), QStringLiteral("m_PopupMenu_StrInputShortcut"));
    const QList<QAction *> items = menu->actions();
    QCOMPARE(items.size(), 5);
    // Captions appear exactly as given: the "&" shows as itself (doubled for the menu) and "-" is an item.
    QCOMPARE(ActionTexts(menu), (QStringList{QStringLiteral("黄芪"), QStringLiteral("甘草 && 大枣"),
                                             QStringLiteral("-"), QStringLiteral("<separator>"),
                                             QStringLiteral("请选择备用的录入内容")}));
    QVERIFY(items[0]->isEnabled() && items[2]->isEnabled());
    QVERIFY(!items[4]->isEnabled());
    QCOMPARE(dlg.m_strContent->toolTip(), QStringLiteral("按向下键,可以直接选择备用录入内容!"));

    dlg.m_strContent->setFocus();
    QTest::keyClick(dlg.m_strContent, Qt::Key_Down);
    QTRY_VERIFY(menu->isVisible());
    const QRect g = dlg.m_strContent->geometry();
    QCOMPARE(menu->pos(), dlg.mapToGlobal(QPoint(g.left(), g.top() + g.height())));

    items[1]->trigger();
    menu->hide();
    QCOMPARE(dlg.m_strContent->text(), QStringLiteral("甘草 & 大枣"));
    QCOMPARE(dlg.focusWidget(), dlg.m_strContent);
    // Other keys do not open it.
    QTest::keyClick(dlg.m_strContent, Qt::Key_Up);
    QTest::keyClick(dlg.m_strContent, Qt::Key_A);
    QVERIFY(!menu->isVisible());
}

void TestInputDialog::textWithoutBackupValuesHasNoMenu()
{
    TFunParam param;
    Tm_GloInputDlg dlg(nullptr, QStringLiteral("请输入:"), param, ikText);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QVERIFY(dlg.m_PopupMenu_StrInputShortcut->actions().isEmpty());
    QVERIFY(dlg.m_strContent->toolTip().isEmpty());
    QTest::keyClick(dlg.m_strContent, Qt::Key_Down);
    QTest::qWait(20);
    QVERIFY(!dlg.m_PopupMenu_StrInputShortcut->isVisible());
    QVERIFY(!QApplication::activePopupWidget());
}

void TestInputDialog::textLengthLimit_data()
{
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("after");
    QTest::newRow("-1: no limit") << -1 << "" << "abcdefghij" << "abcdefghij";
    QTest::newRow("0: no limit") << 0 << "" << "abcdefghij" << "abcdefghij";
    QTest::newRow("5: a sixth character cannot be typed") << 5 << "" << "abcdefg" << "abcde";
    QTest::newRow("5: counts characters, not bytes") << 5 << "" << "一二三四五六" << "一二三四五";
    QTest::newRow("5: a longer given text is not cut") << 5 << "abcdefgh" << "xy" << "abcdefgh";
}

void TestInputDialog::textLengthLimit()
{
    QFETCH(int, limit);
    QFETCH(QString, before);
    QFETCH(QString, typed);
    QFETCH(QString, after);
    FillDistinctively(*g_FunParam);
    g_FunParam->m_nIntValue = limit;
    g_FunParam->m_strText = before;
    const int result = RunInputWindow(QStringLiteral("请输入:"), *g_FunParam, ikText, [&](Tm_GloInputDlg *d) {
        d->m_strContent->end(false);
        TypeText(d->m_strContent, typed);
        ClickOK(d);
    });
    QCOMPARE(result, IDOK);
    QCOMPARE(g_FunParam->m_strText, after);
    QCOMPARE(g_FunParam->m_nIntValue, limit);
}

void TestInputDialog::passwordShowsStars()
{
    TFunParam param;
    param.m_bPassword = true;
    param.m_strText = QStringLiteral("密码ab");
    Tm_GloInputDlg dlg(nullptr, QStringLiteral("请输入口令:"), param, ikText);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QCOMPARE(dlg.m_strContent->displayText(), QStringLiteral("****"));
    QCOMPARE(dlg.m_strContent->text(), QStringLiteral("密码ab"));

    TFunParam plain;
    plain.m_strText = QStringLiteral("ab");
    Tm_GloInputDlg dlg2(nullptr, QStringLiteral("请输入:"), plain, ikText);
    QCOMPARE(dlg2.m_strContent->displayText(), QStringLiteral("ab"));
}

void TestInputDialog::memoWindowGrowsAndBackupLinesAppend()
{
    TFunParam param;
    param.m_lstContent = QStringList{QStringLiteral("一"), QStringLiteral("二")};
    param.m_lstBackup = QStringList{QStringLiteral("备用甲"), QStringLiteral("备用乙")};
    const int result = RunInputWindow(QStringLiteral("请输入备注:"), param, ikMemo, [](Tm_GloInputDlg *d) {
        QCOMPARE(d->height(), 147 + 200);
        QCOMPARE(d->m_Memo->geometry(), QRect(49, 51, 268, 200));
        QCOMPARE(d->m_Button_OK->geometry(), QRect(80, 311, 75, 25));
        QCOMPARE(d->m_Button_Cancel->geometry(), QRect(192, 311, 75, 25));
        QCOMPARE(d->Bevel1->geometry(), QRect(21, 289, 304, 2));
        QCOMPARE(d->Image1->geometry(), QRect(0, 0, 343, 347));
        QCOMPARE(d->m_Memo->toPlainText(), QStringLiteral("一\n二\n"));
        QMenu *menu = d->m_PopupMenu_MemoInputMenu;
        QCOMPARE(ActionTexts(menu), (QStringList{QStringLiteral("复制"), QStringLiteral("粘贴"), QStringLiteral("剪切"),
                                                 QStringLiteral("<separator>"), QStringLiteral("备用甲"),
                                                 QStringLiteral("备用乙")}));
        menu->actions().at(5)->trigger(); // starts the third line, no line break after it
        QCOMPARE(d->m_Memo->toPlainText(), QStringLiteral("一\n二\n备用乙"));
        menu->actions().at(4)->trigger();
        QCOMPARE(d->m_Memo->toPlainText(), QStringLiteral("一\n二\n备用乙备用甲"));
        ClickOK(d);
    });
    QCOMPARE(result, IDOK);
    QCOMPARE(param.m_lstContent, (QStringList{QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("备用乙备用甲")}));
    QCOMPARE(param.m_lstBackup, (QStringList{QStringLiteral("备用甲"), QStringLiteral("备用乙")}));
}

void TestInputDialog::memoClipboardMenu()
{
    TFunParam param;
    param.m_lstContent = QStringList{QStringLiteral("当归黄芪")};
    Tm_GloInputDlg dlg(nullptr, QStringLiteral("请输入:"), param, ikMemo);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QCOMPARE(dlg.m_Memo->contextMenuPolicy(), Qt::CustomContextMenu);
    QTextCursor c = dlg.m_Memo->textCursor();
    c.setPosition(0);
    c.setPosition(2, QTextCursor::KeepAnchor);
    dlg.m_Memo->setTextCursor(c);

    QApplication::clipboard()->clear();
    dlg.m_Menu_Memo_Copy->trigger();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("当归"));
    QCOMPARE(dlg.m_Memo->toPlainText(), QStringLiteral("当归黄芪\n"));

    dlg.N2->trigger(); // cut
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("当归"));
    QCOMPARE(dlg.m_Memo->toPlainText(), QStringLiteral("黄芪\n"));

    c = dlg.m_Memo->textCursor();
    c.setPosition(2);
    dlg.m_Memo->setTextCursor(c);
    dlg.m_Menu_MemoPast->trigger(); // at the caret
    QCOMPARE(dlg.m_Memo->toPlainText(), QStringLiteral("黄芪当归\n"));

    QCOMPARE(dlg.m_Menu_Memo_Copy->objectName(), QStringLiteral("m_Menu_Memo_Copy"));
    QCOMPARE(dlg.m_Menu_MemoPast->objectName(), QStringLiteral("m_Menu_MemoPast"));
    QCOMPARE(dlg.N3->objectName(), QStringLiteral("N3"));
    QVERIFY(dlg.N3->isSeparator());
}

// ---- number formats ----

void TestInputDialog::floatFormat_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("3.14159") << 3.14159 << "3.14";
    QTest::newRow("7") << 7.0 << "7";
    QTest::newRow("0 after Reset") << 0.0 << "0";
    QTest::newRow("half up") << 0.125 << "0.13";
    QTest::newRow("half away from zero") << -0.125 << "-0.13";
    QTest::newRow("0.005") << 0.005 << "0.01";
    QTest::newRow("no group separators") << 1234567.891 << "1234567.89";
    QTest::newRow("trailing zero dropped") << 2.50001 << "2.5";
    // Dividing by 0.01 would overflow: the value has no cents to round and is shown as it is.
    QTest::newRow("too large to scale") << 1.25e307 << "1.25e+307";
    // 15 digits would round past the largest double; the text must still read back.
    QTest::newRow("largest double") << -1.7976931348623157e308 << "-1.7976931348623157e+308";
}

void TestInputDialog::floatFormat()
{
    QFETCH(double, value);
    QFETCH(QString, shown);
    QCOMPARE(FormatFloatForInput(value, QLocale::c()), shown);
    TFunParam param;
    param.m_dFloatValue = value;
    Tm_GloInputDlg dlg(nullptr, QStringLiteral("请输入:"), param, ikFloat);
    QCOMPARE(dlg.m_strContent->text(), shown);
}

void TestInputDialog::numbersFollowTheDecimalSeparator()
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    FillDistinctively(*g_FunParam);
    g_FunParam->m_dFloatValue = 3.14159;
    QString shown;
    const int result = RunInputWindow(QStringLiteral("请输入:"), *g_FunParam, ikFloat, [&](Tm_GloInputDlg *d) {
        shown = d->m_strContent->text();
        Retype(d->m_strContent, QStringLiteral("1234,5"));
        ClickOK(d);
    });
    QLocale::setDefault(before);
    QCOMPARE(shown, QStringLiteral("3,14"));
    QCOMPARE(result, IDOK);
    QCOMPARE(g_FunParam->m_dFloatValue, 1234.5);
}

void TestInputDialog::parseRules_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("intOk");
    QTest::addColumn<int>("intValue");
    QTest::addColumn<bool>("floatOk");
    QTest::addColumn<double>("floatValue");
    QTest::newRow("12") << "12" << true << 12 << true << 12.0;
    QTest::newRow("blanks around") << " -7 " << true << -7 << true << -7.0;
    QTest::newRow("plus sign") << "+3" << true << 3 << true << 3.0;
    QTest::newRow("largest") << "2147483647" << true << 2147483647 << true << 2147483647.0;
    QTest::newRow("too large") << "2147483648" << false << 0 << true << 2147483648.0;
    QTest::newRow("decimal") << "2.5" << false << 0 << true << 2.5;
    QTest::newRow("exponent") << "1e3" << false << 0 << true << 1000.0;
    QTest::newRow("group separator") << "1,000" << false << 0 << false << 0.0;
    QTest::newRow("letters") << "12a" << false << 0 << false << 0.0;
    QTest::newRow("sign alone") << "-" << false << 0 << false << 0.0;
    QTest::newRow("nan") << "nan" << false << 0 << false << 0.0;
}

void TestInputDialog::parseRules()
{
    QFETCH(QString, text);
    QFETCH(bool, intOk);
    QFETCH(int, intValue);
    QFETCH(bool, floatOk);
    QFETCH(double, floatValue);
    const auto i = ParseInt32(text);
    QCOMPARE(i.has_value(), intOk);
    if (intOk)
        QCOMPARE(*i, intValue);
    const auto f = ParseFloat(text, QLocale::c());
    QCOMPARE(f.has_value(), floatOk);
    if (floatOk)
        QCOMPARE(*f, floatValue);
}

void TestInputDialog::memoLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("one line, no break") << "a" << QStringList{"a"};
    QTest::newRow("final break is no line") << "a\nb\n" << QStringList{"a", "b"};
    QTest::newRow("empty line before the final break") << "a\n\n" << QStringList{"a", ""};
    QTest::newRow("CR LF") << "a\r\nb" << QStringList{"a", "b"};
    QTest::newRow("just a break") << "\n" << QStringList{""};
}

void TestInputDialog::memoLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(MemoLinesFromText(text), lines);
    // And back: lines written out and read again are the same lines.
    QCOMPARE(MemoLinesFromText(MemoTextFromLines(lines)), lines);
}

void TestInputDialog::centredOverTheMainWindow()
{
    QWidget main;
    main.setWindowTitle(QStringLiteral("main"));
    main.setGeometry(40, 60, 700, 500);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    SetApplicationMainForm(&main);
    QPoint centre;
    RunInputWindow(QStringLiteral("请输入:"), *g_FunParam, ikText, [&](Tm_GloInputDlg *d) {
        centre = d->frameGeometry().center();
        QTest::mouseClick(d->m_Button_Cancel, Qt::LeftButton);
    });
    SetApplicationMainForm(nullptr);
    const QPoint expected = main.frameGeometry().center();
    QVERIFY2((centre - expected).manhattanLength() <= 40,
             qPrintable(QStringLiteral("%1,%2 vs %3,%4").arg(centre.x()).arg(centre.y()).arg(expected.x()).arg(expected.y())));
}

void TestInputDialog::coloursAndTabOrder()
{
    TFunParam param;
    Tm_GloInputDlg dlg(nullptr, QStringLiteral("请输入:"), param, ikDateTime);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    // 16511203 and 14808304 as COLORREF values.
    QCOMPARE(dlg.palette().color(QPalette::Window), QColor(227, 240, 251));
    QCOMPARE(dlg.m_Panel_Wizard->palette().color(QPalette::Window), QColor(240, 244, 225));
    QCOMPARE(dlg.m_Panel_Wizard->geometry(), QRect(0, 0, 343, 37));
    QCOMPARE(dlg.Image2->geometry(), QRect(0, 37, 343, 3));
    QCOMPARE(dlg.m_PromptLable->palette().color(QPalette::WindowText), QColor(Qt::white));
    QCOMPARE(dlg.m_PromptLable->font().pixelSize(), 14);
    QCOMPARE(dlg.font().pixelSize(), 12);
    const QColor tip = QApplication::palette().color(QPalette::ToolTipBase);
    QCOMPARE(dlg.m_strContent->palette().color(QPalette::Base), tip);
    QCOMPARE(dlg.m_DateTimePicker_Date->palette().color(QPalette::Base), tip);
    QCOMPARE(dlg.m_DateTimePicker_Date->minimumDate(), QDate(1900, 1, 1));
    QCOMPARE(dlg.m_DateTimePicker_Date->maximumDate(), QDate(2049, 12, 31));
    QVERIFY(dlg.m_DateTimePicker_Date->calendarPopup());
    QCOMPARE(dlg.m_Button_OK->text(), QStringLiteral("确认(&O)"));
    QCOMPARE(dlg.m_Button_Cancel->text(), QStringLiteral("取消(&C)"));
    // Tab walks date picker, time picker, OK, Cancel.
    QStringList order;
    QWidget *w = dlg.m_DateTimePicker_Date;
    for (int i = 0; i < 4; ++i) {
        order << w->objectName();
        do
            w = w->nextInFocusChain();
        while (!(w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) && w->objectName().startsWith(QStringLiteral("m_"))));
    }
    QCOMPARE(order, (QStringList{QStringLiteral("m_DateTimePicker_Date"), QStringLiteral("m_DateTimePicker_Time"),
                                 QStringLiteral("m_Button_OK"), QStringLiteral("m_Button_Cancel")}));
}

void TestInputDialog::screenshots()
{
    if (qEnvironmentVariableIsEmpty("TAVELIN_SCREENSHOT_DIR"))
        QSKIP("set TAVELIN_SCREENSHOT_DIR to save pictures of the window");
    const struct {
        std::uint8_t kind;
        const char *name;
    } shots[] = {{ikText, "input_text"}, {ikMemo, "input_memo"}, {ikDateTime, "input_datetime"},
                 {ikFloat, "input_float"}, {ikTime, "input_time"}};
    for (const auto &s : shots) {
        TFunParam param;
        param.m_strText = QStringLiteral("人参");
        param.m_dFloatValue = 3.14159;
        param.m_lstContent = QStringList{QStringLiteral("第一行备注"), QStringLiteral("第二行备注")};
        param.m_dtDateTime = QDateTimeToDateTime(QDateTime(QDate(2024, 5, 17), QTime(14, 30, 5)));
        Tm_GloInputDlg dlg(nullptr, QStringLiteral("请输入新的类别名称:"), param, s.kind);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        MaybeSaveScreenshot(&dlg, QString::fromLatin1(s.name));
    }
}

QTEST_MAIN(TestInputDialog)
#include "test_input_dialog.moc"
