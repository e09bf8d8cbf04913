// The main window: the atlas buttons and pages, keyboard page switching, the quit question (also when
// the session asks), the rotating status text, the painted separators and the layout on resize.
#include "app/EndSessionRequest.h"
#include "app/UMainForm.h"
#include "data/CatalogSchema.h"
#include "data/TCatalogConnection.h"
#include "data/UDataLibModule.h"
#include "frames/TAtlasFrame.h"
#include "glo/GlobalObjects.h"
#include "glo/UGloAboutAuthor.h"
#include "platform/FontSetup.h"
#include "platform/ErrorReport.h"
#include "widgets/TStatusBar.h"
#include "support/ModalBoxes.h"
#include "support/TestSupport.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {

struct FakeEndSession : TEndSessionRequest {
    bool allows = true;
    int cancels = 0;
    bool AllowsInteraction() override { return allows; }
    void Cancel() override { ++cancels; }
};

// One channel of a line of FillGradient: start + (d * i) / n, truncated toward zero.
int Channel(int start, int end, int i, int n)
{
    return start + ((end - start) * i) / n;
}

// The colour of row y of a mirrored vertical gradient over rows 0..h (the lower half painted last).
QColor MirroredRow(QColor start, QColor end, int y, int h)
{
    const int mid = h / 2;
    if (y >= mid) {
        const int n = h - mid, i = y - mid;
        return QColor(Channel(end.red(), start.red(), i, n), Channel(end.green(), start.green(), i, n),
                      Channel(end.blue(), start.blue(), i, n));
    }
    return QColor(Channel(start.red(), end.red(), y, mid), Channel(start.green(), end.green(), y, mid),
                  Channel(start.blue(), end.blue(), y, mid));
}

void RenameTable(const QString &catalogue, const QString &from, const QString &to)
{
    TCatalogConnection c;
    c.SetConnectionString(TCatalogConnection::ConnectionStringForFile(catalogue));
    c.SetConnected(true);
    c.Store().Execute(QStringLiteral("alter table %1 rename to %2").arg(from, to));
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_catalogue;
    std::unique_ptr<Tm_DataLibModule> m_data;
    std::unique_ptr<Tm_FormMain> m_form;
    QStringList m_errors;

    QToolButton *Button(const char *name) const { return m_form->findChild<QToolButton *>(QLatin1String(name)); }
    QString PageName() const { return m_form->m_PageControl->currentWidget()->objectName(); }
    TAtlasFrame *Frame(const QString &name) const { return m_form->findChild<TAtlasFrame *>(name); }
    QStringList Checked() const
    {
        QStringList names;
        for (QAbstractButton *b : m_form->m_ButtonGroup_Atlas->buttons())
            if (b->isChecked())
                names << b->objectName();
        return names;
    }
    QStringList OpenedFrames() const
    {
        QStringList names;
        for (TAtlasFrame *f : m_form->findChildren<TAtlasFrame *>())
            if (f->ListOpened())
                names << f->objectName();
        names.sort();
        return names;
    }
    void SetActivePageForTest(QWidget *page)
    {
        const QSignalBlocker quiet(m_form->m_PageControl);
        m_form->m_PageControl->setCurrentWidget(page);
    }
    void ShowActive()
    {
        m_form->show();
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }

private slots:
    void initTestCase()
    {
        InstallFontSubstitutions();
        CreateGlobalObjects();
        QVERIFY(m_dir.isValid());
        m_catalogue = m_dir.filePath(QStringLiteral("KVRJetLib.mdb"));
        TestSupport::MakeCatalogue(m_catalogue);
        for (const TAtlasDef &atlas : CatalogSchema::Atlases()) {
            TestSupport::AddEntry(m_catalogue, atlas.code, QStringLiteral("甲"), QStringLiteral("一"));
            TestSupport::AddEntry(m_catalogue, atlas.code, QStringLiteral("乙"), QStringLiteral("二"));
        }
        QDir::setCurrent(m_dir.path());
        SetStandardErrorSink([this](const QString &message) { m_errors << message; });
        m_data = std::make_unique<Tm_DataLibModule>();
        m_DataLibModule = m_data.get();
        QVERIFY(m_data->m_ADOConnection_KVR->Connected());
    }

    void cleanupTestCase()
    {
        m_data.reset();
        SetStandardErrorSink(nullptr);
        FreeGlobalObjects();
    }

    void init()
    {
        m_errors.clear();
        m_form = std::make_unique<Tm_FormMain>();
    }

    void cleanup()
    {
        m_form.reset();
        QVERIFY2(m_errors.isEmpty(), qPrintable(m_errors.join(QLatin1Char('\n'))));
    }

    void startsOnTheStartPageWithNothingPressed()
    {
        QCOMPARE(PageName(), QStringLiteral("m_TabSheet_Main"));
        QVERIFY(Checked().isEmpty());
        QVERIFY(OpenedFrames().isEmpty());
        QStringList pages;
        for (int i = 0; i < m_form->m_PageControl->count(); ++i)
            pages << m_form->m_PageControl->widget(i)->objectName();
        QCOMPARE(pages, QStringList({QStringLiteral("m_TabSheet_Main"), QStringLiteral("m_TabSheet_ZY"),
                                     QStringLiteral("m_TabSheet_ZYWZ"), QStringLiteral("m_TabSheet_XYLC"),
                                     QStringLiteral("m_TabSheet_ZXTP"), QStringLiteral("m_TabSheet_XYJP"),
                                     QStringLiteral("m_TabSheet_ZYZJ")}));
        // The tabs are there but practically invisible.
        ShowActive();
        for (int i = 0; i < m_form->m_PageControl->count(); ++i) {
            QVERIFY(m_form->m_PageControl->tabText(i).isEmpty());
            QVERIFY(m_form->m_PageControl->tabBar()->tabRect(i).width() <= 2);
        }
        QCOMPARE(m_form->m_StatusBar_Main->Panel(0).Text, QStringLiteral("Tavelin(正式版)"));
        QCOMPARE(m_form->m_StatusBar_Main->Panel(1).Text, QStringLiteral("感谢你对Corvale医学软件的支持!"));
        QCOMPARE(m_form->m_StatusBar_Main->height(), 19);
        QCOMPARE(m_form->m_StatusBar_Main->PanelArea(0).width(), 200);
        QCOMPARE(m_form->m_Panel_Left->width(), 121);
    }

    // A frame is built with its page's first showing, fills that page and is shown; one asked
    // for before that is built on its hidden page and stays hidden.
    void framesAreBuiltWhenFirstShownOrAskedFor()
    {
        ShowActive();
        QVERIFY(m_form->findChildren<TAtlasFrame *>().isEmpty());
        QTest::mouseClick(Button("SpeedButton4"), Qt::LeftButton);
        QCOMPARE(m_form->findChildren<TAtlasFrame *>().size(), 1);
        TAtlasFrame *shown = Frame(QStringLiteral("m_Frame_XYJP"));
        QVERIFY(shown);
        QCOMPARE(shown->parentWidget(), m_form->m_TabSheet_XYJP);
        QVERIFY(shown->isVisible());
        QCOMPARE(shown->geometry(), m_form->m_TabSheet_XYJP->rect());
        QVERIFY(shown->ListOpened());

        Tm_Frame_ZXTP *asked = m_form->m_Frame_ZXTP;
        QCOMPARE(Frame(QStringLiteral("m_Frame_ZXTP")), asked);
        QVERIFY(!asked->isVisible());
        QVERIFY(!asked->ListOpened());
        QCOMPARE(m_form->m_Frame_ZXTP.Get(), asked); // once only
        QTest::mouseClick(Button("SpeedButton7"), Qt::LeftButton);
        QVERIFY(asked->isVisible());
        QVERIFY(asked->ListOpened());
        QCOMPARE(m_form->findChildren<TAtlasFrame *>().size(), 2);
    }

    void atlasButtonShowsItsPageAndActivatesItsFrame_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("frame");
        QTest::newRow("herbs") << "SpeedButton8" << "m_TabSheet_ZY" << "m_Frame_ZY";
        QTest::newRow("acupuncture") << "SpeedButton1" << "m_TabSheet_ZYZJ" << "m_Frame_ZYZJ";
        QTest::newRow("inspection") << "SpeedButton3" << "m_TabSheet_ZYWZ" << "m_Frame_ZYWZ";
        QTest::newRow("anatomy") << "SpeedButton4" << "m_TabSheet_XYJP" << "m_Frame_XYJP";
        QTest::newRow("clinical") << "SpeedButton6" << "m_TabSheet_XYLC" << "m_Frame_XYLC";
        QTest::newRow("miscellaneous") << "SpeedButton7" << "m_TabSheet_ZXTP" << "m_Frame_ZXTP";
    }

    void atlasButtonShowsItsPageAndActivatesItsFrame()
    {
        QFETCH(QString, button);
        QFETCH(QString, page);
        QFETCH(QString, frame);
        ShowActive();
        QTest::mouseClick(Button(button.toLatin1()), Qt::LeftButton);
        QCOMPARE(PageName(), page);
        QCOMPARE(Checked(), QStringList{button});
        QCOMPARE(OpenedFrames(), QStringList{frame});
        QCOMPARE(m_form->m_PageControl->currentWidget(), Frame(frame)->parentWidget());
        QVERIFY(Frame(frame)->findChild<QLabel *>(QStringLiteral("m_Label"))->text().endsWith(QStringLiteral("共2条")));
    }

    void buttonsBehaveAsOneRadioGroup()
    {
        ShowActive();
        QTest::mouseClick(Button("SpeedButton8"), Qt::LeftButton);
        QTest::mouseClick(Button("SpeedButton8"), Qt::LeftButton);
        QCOMPARE(Checked(), QStringList{QStringLiteral("SpeedButton8")});
        QTest::mouseClick(Button("SpeedButton4"), Qt::LeftButton);
        QCOMPARE(Checked(), QStringList{QStringLiteral("SpeedButton4")});
        QCOMPARE(PageName(), QStringLiteral("m_TabSheet_XYJP"));
        QVERIFY(!Button("SpeedButton2")->isCheckable());
    }

    // A failed activation is reported and leaves page and button; the next click tries again.
    void repeatedClickRetriesAFailedActivation()
    {
        ShowActive();
        const QString table = CatalogSchema::FindAtlas(QStringLiteral("ZY"))->table;
        RenameTable(m_catalogue, table, table + QStringLiteral("_away"));
        QTest::mouseClick(Button("SpeedButton8"), Qt::LeftButton);
        RenameTable(m_catalogue, table + QStringLiteral("_away"), table);
        QCOMPARE(m_errors.size(), 1);
        m_errors.clear();
        QCOMPARE(PageName(), QStringLiteral("m_TabSheet_ZY"));
        QCOMPARE(Checked(), QStringList{QStringLiteral("SpeedButton8")});
        QVERIFY(OpenedFrames().isEmpty());

        QTest::mouseClick(Button("SpeedButton8"), Qt::LeftButton);
        QCOMPARE(OpenedFrames(), QStringList{QStringLiteral("m_Frame_ZY")});
        QCOMPARE(Checked(), QStringList{QStringLiteral("SpeedButton8")});
    }

    void ctrlTabStepsThroughThePagesAndWraps()
    {
        ShowActive();
        // Shortcuts only reach the active window, as they do for the user.
        const auto step = [this](bool back) {
            QTRY_VERIFY(m_form->isActiveWindow());
            QWidget *focus = QApplication::focusWidget();
            QVERIFY(focus && m_form->m_PageControl->isAncestorOf(focus));
            if (back)
                QTest::keyClick(focus, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
            else
                QTest::keyClick(focus, Qt::Key_Tab, Qt::ControlModifier);
        };
        QTest::mouseClick(Button("SpeedButton1"), Qt::LeftButton); // the last page
        Frame(QStringLiteral("m_Frame_ZYZJ"))->findChild<QLineEdit *>(QStringLiteral("m_Edit_ZYPinYin"))->setFocus();
        step(false);
        QCOMPARE(PageName(), QStringLiteral("m_TabSheet_Main"));
        QVERIFY(m_form->m_PageControl->isAncestorOf(QApplication::focusWidget()));
        step(false);
        QCOMPARE(PageName(), QStringLiteral("m_TabSheet_ZY"));
        // The grid uses Tab itself; Ctrl+Tab still changes the page.
        QWidget *grid = Frame(QStringLiteral("m_Frame_ZY"))->findChild<QWidget *>(QStringLiteral("m_DBGrid_ZY"));
        grid->setFocus();
        QTRY_VERIFY(grid->hasFocus());
        step(false);
        QCOMPARE(PageName(), QStringLiteral("m_TabSheet_ZYWZ"));
        QCOMPARE(OpenedFrames(), QStringList({QStringLiteral("m_Frame_ZY"), QStringLiteral("m_Frame_ZYWZ"),
                                              QStringLiteral("m_Frame_ZYZJ")}));
        // Backwards: around the start page to the last page.
        step(true);
        step(true);
        QCOMPARE(PageName(), QStringLiteral("m_TabSheet_Main"));
        step(true);
        QCOMPARE(PageName(), QStringLiteral("m_TabSheet_ZYZJ"));
        // The buttons keep their state when the keyboard changes pages.
        QCOMPARE(Checked(), QStringList{QStringLiteral("SpeedButton1")});
    }

    void quitButtonAsksAndClosesOnlyOnYes()
    {
        ShowActive();
        QSignalSpy closed(m_form.get(), &Tm_FormMain::FormClosed);
        QTest::mouseClick(Button("SpeedButton8"), Qt::LeftButton);
        QString text, title;
        TestSupport::AnswerMessageBox(QMessageBox::No, &text, &title);
        QTest::mouseClick(Button("SpeedButton2"), Qt::LeftButton);
        QCOMPARE(text, QStringLiteral("确认退出Tavelin吗?"));
        QCOMPARE(title, QStringLiteral("退出Corvale..."));
        QVERIFY(m_form->isVisible());
        QCOMPARE(closed.count(), 0);
        QCOMPARE(PageName(), QStringLiteral("m_TabSheet_Main"));
        QCOMPARE(Checked(), QStringList{QStringLiteral("SpeedButton8")});
        QVERIFY(!Button("SpeedButton2")->isDown());

        TestSupport::AnswerMessageBox(QMessageBox::Yes);
        QTest::mouseClick(Button("SpeedButton2"), Qt::LeftButton);
        QVERIFY(!m_form->isVisible());
        QCOMPARE(closed.count(), 1);
    }

    void everyCloseRequestAsks()
    {
        ShowActive();
        QString text;
        TestSupport::AnswerMessageBox(QMessageBox::No, &text);
        QVERIFY(!m_form->close());
        QCOMPARE(text, QStringLiteral("确认退出Tavelin吗?"));
        QVERIFY(m_form->isVisible());
        TestSupport::AnswerMessageBox(QMessageBox::Yes);
        QVERIFY(m_form->close());
    }

    void sessionEndIsRefusedOnlyWhenTheUserDeclines_data()
    {
        QTest::addColumn<bool>("allowsInteraction");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("cancels");
        QTest::newRow("declined") << true << int(QMessageBox::No) << 1;
        QTest::newRow("confirmed") << true << int(QMessageBox::Yes) << 0;
        QTest::newRow("no interaction allowed") << false << int(QMessageBox::No) << 0;
    }

    void sessionEndIsRefusedOnlyWhenTheUserDeclines()
    {
        QFETCH(bool, allowsInteraction);
        QFETCH(int, answer);
        QFETCH(int, cancels);
        ShowActive();
        FakeEndSession request;
        request.allows = allowsInteraction;
        bool asked = false;
        TestSupport::WhenModal(
            [&](QWidget *w) {
                asked = true;
                if (auto *box = qobject_cast<QMessageBox *>(w))
                    box->button(QMessageBox::StandardButton(answer))->click();
            },
            allowsInteraction ? 5000 : 300);
        m_form->QueryEndSession(request);
        if (!allowsInteraction)
            QTest::qWait(400); // let the watcher give up before the next test
        QCOMPARE(asked, allowsInteraction);
        QCOMPARE(request.cancels, cancels);
        QVERIFY(m_form->isVisible());
    }

    void bannerOpensTheAboutBoxModally()
    {
        ShowActive();
        bool checked = false;
        TestSupport::WhenModal([&](QWidget *w) {
            auto *about = qobject_cast<Tm_GloAboutAuthor *>(w);
            if (!about) {
                w->close();
                return;
            }
            // The about box, not the splash: both buttons, the caption and the version line.
            checked = about->m_Button_OK->isVisible() && about->m_Button_About->isVisible()
                      && about->m_Label_Caption->text() == QStringLiteral("Tavelin")
                      && about->m_Label_Version->text() == QStringLiteral("版本:1.1") && about->isModal();
            about->m_Button_OK->click();
        });
        QTest::mouseClick(m_form->Image1, Qt::LeftButton);
        QVERIFY(checked);
        // Destroyed when it closes.
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<Tm_GloAboutAuthor *>(w));
        QCOMPARE(PageName(), QStringLiteral("m_TabSheet_Main"));
    }

    void atlasButtonsWorkThroughAccessibility_data() { atlasButtonShowsItsPageAndActivatesItsFrame_data(); }

    void atlasButtonsWorkThroughAccessibility()
    {
        QFETCH(QString, button);
        QFETCH(QString, page);
        QFETCH(QString, frame);
        ShowActive();
        QToolButton *b = Button(button.toLatin1());
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(b);
        QVERIFY(a);
        QCOMPARE(a->role(), QAccessible::RadioButton);
        QCOMPARE(a->text(QAccessible::Name), b->text());
        QVERIFY(a->state().checkable && !a->state().checked);
        QAccessibleActionInterface *actions = a->actionInterface();
        QVERIFY(actions);
        // Whichever action a screen reader offers, it is a click: the page changes and the frame
        // is activated, not merely the button ticked.
        QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()));
        actions->doAction(QAccessibleActionInterface::toggleAction());
        QTRY_COMPARE(PageName(), page);
        QCOMPARE(Checked(), QStringList{button});
        QCOMPARE(OpenedFrames(), QStringList{frame});
        QVERIFY(a->state().checked);
        // Pressing it again keeps it pressed and on its page.
        SetActivePageForTest(m_form->m_TabSheet_Main);
        actions->doAction(QAccessibleActionInterface::pressAction());
        QTRY_COMPARE(PageName(), page);
        QCOMPARE(Checked(), QStringList{button});
    }

    void quitButtonAsksThroughAccessibility()
    {
        ShowActive();
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(Button("SpeedButton2"));
        QCOMPARE(a->role(), QAccessible::PushButton);
        QCOMPARE(a->text(QAccessible::Name), QStringLiteral("退出软件"));
        QVERIFY(!a->state().checkable);
        QString text, title;
        TestSupport::AnswerMessageBox(QMessageBox::No, &text, &title);
        a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_COMPARE(title, QStringLiteral("退出Corvale..."));
        QCOMPARE(text, QStringLiteral("确认退出Tavelin吗?"));
        QVERIFY(m_form->isVisible());
    }

    void windowBannerAndStatusPanelsForAssistiveTechnology()
    {
        ShowActive();
        QAccessibleInterface *window = QAccessible::queryAccessibleInterface(m_form.get());
        QCOMPARE(window->role(), QAccessible::Window);
        QCOMPARE(window->text(QAccessible::Name), QStringLiteral("Tavelin"));

        QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(m_form->m_StatusBar_Main);
        QCOMPARE(bar->role(), QAccessible::StatusBar);
        QCOMPARE(bar->childCount(), 2);
        QStringList texts;
        for (int i = 0; i < bar->childCount(); ++i) {
            QAccessibleInterface *panel = bar->child(i);
            QVERIFY(panel && panel->isValid());
            QCOMPARE(panel->parent(), bar);
            QCOMPARE(bar->indexOfChild(panel), i);
            QCOMPARE(panel->role(), QAccessible::StaticText);
            const QRect area = m_form->m_StatusBar_Main->PanelArea(i);
            QCOMPARE(panel->rect(), QRect(m_form->m_StatusBar_Main->mapToGlobal(area.topLeft()), area.size()));
            QCOMPARE(bar->childAt(panel->rect().center().x(), panel->rect().center().y()), panel);
            texts << panel->text(QAccessible::Name);
        }
        QCOMPARE(texts, (QStringList{QStringLiteral("Tavelin(正式版)"), QStringLiteral("感谢你对Corvale医学软件的支持!")}));
        // The rotating text reads as it is shown, tick after tick.
        for (int tick = 0; tick < 5; ++tick) {
            m_form->m_Timer_DisplayAdTimer();
            QCOMPARE(bar->child(1)->text(QAccessible::Name), m_form->m_StatusBar_Main->Panel(1).Text);
        }

        // The banner: an image that says what it is and opens the about box when pressed.
        QAccessibleInterface *banner = QAccessible::queryAccessibleInterface(m_form->Image1);
        QCOMPARE(banner->role(), QAccessible::Graphic);
        QVERIFY(!banner->text(QAccessible::Name).isEmpty());
        QVERIFY(banner->imageInterface());
        QVERIFY(!banner->imageInterface()->imageSize().isEmpty());
        QVERIFY(banner->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
        bool opened = false;
        TestSupport::WhenModal([&](QWidget *w) {
            auto *about = qobject_cast<Tm_GloAboutAuthor *>(w);
            opened = about != nullptr;
            w->close();
        });
        banner->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_VERIFY(opened);
    }

    void hiddenTabsAndPagesAreNamed_data()
    {
        atlasButtonShowsItsPageAndActivatesItsFrame_data();
        QTest::newRow("start page") << QString() << "m_TabSheet_Main" << QString();
    }

    // The tabs are a pixel wide and show no caption, yet a screen reader lands on them (and on the
    // pages): each is named as the button that shows it, the start page as such.
    void hiddenTabsAndPagesAreNamed()
    {
        QFETCH(QString, button);
        QFETCH(QString, page);
        ShowActive();
        QWidget *sheet = m_form->findChild<QWidget *>(page);
        QVERIFY(sheet);
        const QString expected = button.isEmpty() ? QStringLiteral("起始页") : Button(button.toLatin1())->text();
        QCOMPARE(QAccessible::queryAccessibleInterface(sheet)->text(QAccessible::Name), expected);

        QAccessibleInterface *tabs = QAccessible::queryAccessibleInterface(m_form->m_PageControl->tabBar());
        QCOMPARE(tabs->role(), QAccessible::PageTabList);
        QAccessibleInterface *tab = tabs->child(m_form->m_PageControl->indexOf(sheet));
        QVERIFY(tab);
        QCOMPARE(tab->role(), QAccessible::PageTab);
        QCOMPARE(tab->text(QAccessible::Name), expected);
        // Still no caption drawn.
        QCOMPARE(m_form->m_PageControl->tabText(m_form->m_PageControl->indexOf(sheet)), QString());
    }

    void keyboardReachesTheButtonsAndTheBanner()
    {
        ShowActive();
        // The atlas bar is one stop of the tab chain, as a radio group is: Space presses the button
        // that has the focus, the arrow keys move to the next one and press it.
        QToolButton *herbs = Button("SpeedButton8");
        herbs->setFocus(Qt::TabFocusReason);
        QVERIFY(herbs->hasFocus());
        QTest::keyClick(herbs, Qt::Key_Space);
        QCOMPARE(PageName(), QStringLiteral("m_TabSheet_ZY"));
        QTest::keyClick(herbs, Qt::Key_Down);
        QVERIFY(Button("SpeedButton1")->hasFocus());
        QCOMPARE(PageName(), QStringLiteral("m_TabSheet_ZYZJ"));
        QCOMPARE(Checked(), QStringList{QStringLiteral("SpeedButton1")});
        QCOMPARE(OpenedFrames(), (QStringList{QStringLiteral("m_Frame_ZY"), QStringLiteral("m_Frame_ZYZJ")}));
        // The quit button and the banner are stops of their own.
        QVERIFY(Button("SpeedButton2")->focusPolicy() & Qt::TabFocus);
        QVERIFY(m_form->Image1->focusPolicy() & Qt::TabFocus);
        bool opened = false;
        TestSupport::WhenModal([&](QWidget *w) {
            opened = qobject_cast<Tm_GloAboutAuthor *>(w) != nullptr;
            w->close();
        });
        m_form->Image1->setFocus(Qt::TabFocusReason);
        QTest::keyClick(m_form->Image1, Qt::Key_Return);
        QVERIFY(opened);
    }

    void statusTextRotatesThroughAllTexts()
    {
        QCOMPARE(m_form->m_Timer_DisplayAd->interval(), 8000);
        QVERIFY(m_form->m_Timer_DisplayAd->isActive());
        const QStringList texts = m_form->AdTexts();
        QCOMPARE(texts.size(), 19);
        QCOMPARE(QSet<QString>(texts.begin(), texts.end()).size(), 19);
        QSet<QString> seen;
        for (int tick = 0; tick < 2000; ++tick) {
            m_form->m_Timer_DisplayAdTimer();
            const QString shown = m_form->m_StatusBar_Main->Panel(1).Text;
            QVERIFY(texts.contains(shown));
            seen.insert(shown);
        }
        QCOMPARE(seen.size(), 19);
        QCOMPARE(m_form->m_StatusBar_Main->Panel(0).Text, QStringLiteral("Tavelin(正式版)"));
    }

    void separatorsArePaintedAsMirroredGradients_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("height");
        QTest::newRow("PaintBox1") << "PaintBox1" << 6;
        QTest::newRow("PaintBox2") << "PaintBox2" << 6;
        QTest::newRow("PaintBox4") << "PaintBox4" << 5;
    }

    void separatorsArePaintedAsMirroredGradients()
    {
        QFETCH(QString, box);
        QFETCH(int, height);
        QWidget *w = m_form->findChild<QWidget *>(box);
        QCOMPARE(w->size(), QSize(121, height));
        const QImage img = w->grab().toImage();
        const QColor start(211, 211, 235), end(153, 153, 208);
        for (int y = 0; y < height; ++y) {
            const QColor want = MirroredRow(start, end, y, height);
            for (int x : {0, 60, 120})
                QCOMPARE(img.pixelColor(x, y).name(), want.name());
        }
        // Light at the top, darkest across the middle.
        QCOMPARE(img.pixelColor(10, 0), start);
        QCOMPARE(img.pixelColor(10, height / 2), end);
    }

    void barAndStatusPanelsArePaintedWithTheirGradients()
    {
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        const QImage bar = m_form->PaintBox5->grab().toImage();
        QCOMPARE(bar.pixelColor(0, 300), QColor(211, 211, 235));
        QVERIFY(bar.pixelColor(bar.width() - 1, 300).red() > 240); // towards (255, 251, 240)

        const QImage status = m_form->m_StatusBar_Main->grab().toImage();
        const int right = m_form->m_StatusBar_Main->PanelArea(0).right();
        QCOMPARE(status.pixelColor(right, 0), QColor(238, 238, 255));
        // Panel 0 spans rows 0..18 of a 19-pixel bar: vertical, darker blue at the bottom.
        const QColor bottom = status.pixelColor(right, 18);
        QCOMPARE(bottom, QColor(Channel(238, 140, 18, 19), Channel(238, 140, 18, 19), 255));
    }

    void resizeKeepsTheBottomOfTheButtonBar_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("minimum") << QSize(800, 580);
        QTest::newRow("larger") << QSize(1000, 720);
        QTest::newRow("tall") << QSize(900, 1000);
    }

    void resizeKeepsTheBottomOfTheButtonBar()
    {
        QFETCH(QSize, size);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        m_form->resize(size);
        QTRY_COMPARE(m_form->size(), size);
        const int panelHeight = m_form->m_Panel_Left->height();
        QCOMPARE(panelHeight, size.height() - 19);
        QCOMPARE(panelHeight - (m_form->SpeedButton2->geometry().bottom() + 1), 10);
        QCOMPARE(panelHeight - (m_form->PaintBox4->geometry().bottom() + 1), 87);
        QCOMPARE(m_form->SpeedButton8->geometry(), QRect(4, 10, 111, 35));
        QCOMPARE(m_form->PaintBox5->size(), QSize(119, panelHeight - 2));
        // The page control and the frames take the rest (a frame is there once its page is shown).
        m_form->SpeedButton8Click();
        QWidget *frame = Frame(QStringLiteral("m_Frame_ZY"));
        QVERIFY(frame);
        QTRY_VERIFY(frame->width() >= size.width() - 121 - 16);
        QVERIFY(frame->height() >= size.height() - 19 - 16);
    }

    void cannotBeMadeSmallerThanTheMinimum()
    {
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        const QSize frameExtra = m_form->frameGeometry().size() - m_form->size();
        QCOMPARE(m_form->minimumSize() + frameExtra, QSize(800, 580));
        m_form->resize(300, 200);
        QTRY_COMPARE(m_form->size(), m_form->minimumSize());
        QCOMPARE(Tm_FormMain::MinimumClientSize(QSize(800, 580), QSize(8, 34)), QSize(792, 546));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
