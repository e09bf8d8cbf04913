#include "data/CatalogSchema.h"
#include "data/PictureTransform.h"
#include "data/TCatalogConnection.h"
#include "data/TCatalogQuery.h"
#include "data/UDataLibModule.h"
#include "frames/UFrame_XYJP.h"
#include "frames/UFrame_XYLC.h"
#include "frames/UFrame_ZXTP.h"
#include "frames/UFrame_ZY.h"
#include "frames/UFrame_ZYWZ.h"
#include "frames/UFrame_ZYZJ.h"
#include "widgets/TImage.h"
#include "platform/ErrorReport.h"
#include "platform/TavelinError.h"
#include "support/TestProgram.h"
#include "support/ModalBoxes.h"
#include "support/TestSupport.h"
#include "viewer/UGLOPictureViewDlg.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>
#include <sqlite3.h>

using TestSupport::AddEntry;
using FrameFactory = std::function<TAtlasFrame *()>;
Q_DECLARE_METATYPE(FrameFactory)

namespace {

// A catalogue beside a temporary "program directory", opened by the data module as the program does,
// with the shared objects start-up creates: the view menu's notice goes through g_FunctionSet.
struct Program : TestSupport::TestProgram {
    Program() : TestProgram(true) {}
};

QStringList gridColumn(TAtlasFrame *frame, int column)
{
    auto *grid = frame->findChild<QTableView *>("m_DBGrid_ZY");
    QStringList values;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        values << grid->model()->index(r, column).data().toString();
    return values;
}

QList<bool> filledCells(TAtlasFrame *frame)
{
    QList<bool> filled;
    for (int k = 1; frame->Cell(k); ++k)
        filled << !frame->Cell(k)->Picture().IsEmpty();
    return filled;
}

void selectRow(TAtlasFrame *frame, int row)
{
    auto *grid = frame->findChild<QTableView *>("m_DBGrid_ZY");
    grid->setCurrentIndex(grid->model()->index(row, 0));
}

void clickDisplay(TAtlasFrame *frame)
{
    if (auto *b = frame->findChild<QPushButton *>("m_Button_DisplayPic"); b && b->isVisibleTo(frame))
        b->click();
    else
        static_cast<Tm_Frame_ZXTP *>(frame)->m_MenuItem_DisplayDescriblePictureClick();
}

} // namespace

class TestAtlasFrames : public QObject {
    Q_OBJECT
private slots:
    void countLabelOfEveryFrame_data()
    {
        QTest::addColumn<FrameFactory>("make");
        QTest::addColumn<QString>("atlas");
        QTest::addColumn<QString>("design");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("herbs") << FrameFactory([] { return new Tm_Frame_ZY; }) << "ZY" << "中药图谱列表:" << "中药列表:  共";
        QTest::newRow("acupuncture") << FrameFactory([] { return new Tm_Frame_ZYZJ; }) << "ZYZJ" << "针灸图谱列表:" << "针灸图谱列表:  共";
        QTest::newRow("inspection") << FrameFactory([] { return new Tm_Frame_ZYWZ; }) << "ZYWZ" << "中医望诊图谱列表:" << "列表:  共";
        QTest::newRow("anatomy") << FrameFactory([] { return new Tm_Frame_XYJP; }) << "XYJP" << "西医解剖图谱列表:" << "解剖图谱列表:  共";
        QTest::newRow("clinical") << FrameFactory([] { return new Tm_Frame_XYLC; }) << "XYLC" << "西医临床图谱列表:" << "临床图谱列表:  共";
        QTest::newRow("miscellaneous") << FrameFactory([] { return new Tm_Frame_ZXTP; }) << "ZXTP" << "其他图谱列表:" << "其他图谱列表:  共";
    }
    void countLabelOfEveryFrame()
    {
        QFETCH(FrameFactory, make);
        QFETCH(QString, atlas);
        QFETCH(QString, design);
        QFETCH(QString, prefix);
        Program p;
        for (int i = 0; i < 12; ++i)
            AddEntry(p.path, atlas, QString("n%1").arg(i), "t");
        p.start();
        std::unique_ptr<TAtlasFrame> frame(make());
        auto *label = frame->findChild<QLabel *>("m_Label");
        QCOMPARE(label->text(), design);
        QVERIFY(!frame->ListQuery()->Active());
        frame->ActivateFrame();
        QCOMPARE(label->text(), prefix + "12条");

        // Later activations neither reopen nor recount, and keep the search's result.
        AddEntry(p.path, atlas, "late", "t");
        frame->findChild<QLineEdit *>("m_Edit_ZYPinYin")->setText("N1");
        const int searched = frame->ListQuery()->RecordCount();
        frame->ActivateFrame();
        QCOMPARE(label->text(), prefix + "12条");
        QCOMPARE(frame->ListQuery()->RecordCount(), searched);
        QVERIFY(p.errors.isEmpty());
    }

    void failedFirstActivationKeepsCaptionAndRetries()
    {
        Program p;
        {
            TCatalogConnection c;
            c.SetConnectionString(TCatalogConnection::ConnectionStringForFile(p.path));
            c.SetConnected(true);
            c.Store().Execute("ALTER TABLE KVR_ZYZJPicture RENAME TO hidden");
        }
        p.start();
        Tm_Frame_ZYZJ frame;
        QVERIFY_THROWS_EXCEPTION(TavelinError, frame.ActivateFrame());
        QCOMPARE(frame.findChild<QLabel *>("m_Label")->text(), QStringLiteral("针灸图谱列表:"));
        QVERIFY(!frame.ListOpened());
        m_DataLibModule->m_ADOConnection_KVR->Store().Execute("ALTER TABLE hidden RENAME TO KVR_ZYZJPicture");
        frame.ActivateFrame();
        QVERIFY(frame.ListOpened());
        QCOMPARE(frame.findChild<QLabel *>("m_Label")->text(), QStringLiteral("针灸图谱列表:  共0条"));
    }

    void searchBuildsTheStatementAndFilters_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QStringList>("extraLines");
        QTest::addColumn<QStringList>("names");
        const QStringList all{"甘草", "黄芪", "O'Brien", "X A", "XA"};
        QTest::newRow("initials typed lower-case") << "gc" << "GC"
                                                   << QStringList{" Where DrugName Like '%GC%'", " Or OtherName Like '%GC%'"}
                                                   << QStringList{"甘草"};
        QTest::newRow("quote doubled") << "o'b" << "O'B"
                                       << QStringList{" Where DrugName Like '%O''B%'", " Or OtherName Like '%O''B%'"}
                                       << QStringList{"O'Brien"};
        QTest::newRow("blanks only list everything") << "   " << "   " << QStringList{} << all;
        QTest::newRow("leading blank counts") << " a" << " A"
                                              << QStringList{" Where DrugName Like '% A%'", " Or OtherName Like '% A%'"}
                                              << QStringList{"X A"};
        QTest::newRow("trailing blank dropped") << "xa " << "XA "
                                                << QStringList{" Where DrugName Like '%XA%'", " Or OtherName Like '%XA%'"}
                                                << QStringList{"XA"};
        QTest::newRow("no match") << "qqq" << "QQQ"
                                  << QStringList{" Where DrugName Like '%QQQ%'", " Or OtherName Like '%QQQ%'"}
                                  << QStringList{};
    }
    void searchBuildsTheStatementAndFilters()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QStringList, extraLines);
        QFETCH(QStringList, names);
        Program p;
        AddEntry(p.path, "ZY", QStringLiteral("甘草"), QStringLiteral("国老 GC"));
        AddEntry(p.path, "ZY", QStringLiteral("黄芪"), QStringLiteral("HQ"));
        AddEntry(p.path, "ZY", QStringLiteral("O'Brien"), QString());
        AddEntry(p.path, "ZY", QStringLiteral("X A"), QString());
        AddEntry(p.path, "ZY", QStringLiteral("XA"), QString());
        p.start();
        Tm_Frame_ZY frame;
        frame.ActivateFrame();
        auto *edit = frame.findChild<QLineEdit *>("m_Edit_ZYPinYin");
        QTest::keyClicks(edit, typed);
        QCOMPARE(edit->text(), shown);
        QCOMPARE(frame.ListQuery()->SQL(), QStringList{"select DrugName, OtherName, RecordSN from KVR_ZYPicture"} + extraLines);
        QStringList got = gridColumn(&frame, 0);
        got.sort();
        names.sort();
        QCOMPARE(got, names);
        QCOMPARE(frame.findChild<QLabel *>("m_Label")->text(), QStringLiteral("中药列表:  共5条"));
        QVERIFY(p.errors.isEmpty());
    }

    void searchBoxTakesTenCharacters()
    {
        Program p;
        p.start();
        Tm_Frame_ZYZJ frame;
        frame.ActivateFrame();
        auto *edit = frame.findChild<QLineEdit *>("m_Edit_ZYPinYin");
        QTest::keyClicks(edit, "abcdefghijklm");
        QCOMPARE(edit->text(), QStringLiteral("ABCDEFGHIJ"));
        QCOMPARE(frame.ListQuery()->SQL().last(), QStringLiteral(" Or ItemName Like '%ABCDEFGHIJ%'"));
    }

    void failedReopenIsReportedAndLeavesTheGridEmpty()
    {
        Program p;
        AddEntry(p.path, "ZYWZ", "tongue", "t");
        p.start();
        Tm_Frame_ZYWZ frame;
        frame.ActivateFrame();
        m_DataLibModule->m_ADOConnection_KVR->Store().Execute("ALTER TABLE KVR_ZYWZPicture RENAME TO gone");
        frame.findChild<QLineEdit *>("m_Edit_ZYPinYin")->setText("T");
        QCOMPARE(p.errors.size(), 1);
        QVERIFY(p.errors[0].contains("KVR_ZYWZPicture"));
        QCOMPARE(frame.findChild<QTableView *>("m_DBGrid_ZY")->model()->rowCount(), 0);
        QVERIFY(!frame.ListQuery()->Active());
    }

    void herbGridShowsTheOtherNamesInFull()
    {
        Program p;
        const QString other = QStringLiteral("国老 甜草 蜜草 粉草 GC");
        AddEntry(p.path, "ZY", QStringLiteral("甘草"), other);
        p.start();
        Tm_Frame_ZY frame;
        frame.ActivateFrame();
        QCOMPARE(gridColumn(&frame, 1), QStringList{other});
        auto *grid = frame.findChild<QTableView *>("m_DBGrid_ZY");
        QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("中药名称"));
        QCOMPARE(grid->columnWidth(1), 140);
    }

    void thumbnailSlotPatterns_data()
    {
        QTest::addColumn<FrameFactory>("make");
        QTest::addColumn<QString>("atlas");
        QTest::addColumn<QList<bool>>("slotFilled");
        QTest::addColumn<bool>("pictureQuery"); // reads the slots with a picture query of its own
        QTest::newRow("all empty") << FrameFactory([] { return new Tm_Frame_ZYZJ; }) << "ZYZJ" << QList<bool>{false, false, false, false} << true;
        QTest::newRow("slots 1 and 3") << FrameFactory([] { return new Tm_Frame_XYJP; }) << "XYJP" << QList<bool>{true, false, true, false} << true;
        QTest::newRow("slot 2 only") << FrameFactory([] { return new Tm_Frame_XYLC; }) << "XYLC" << QList<bool>{false, true, false, false} << true;
        QTest::newRow("all seven herbs") << FrameFactory([] { return new Tm_Frame_ZY; }) << "ZY" << QList<bool>(7, true) << true;
        QTest::newRow("miscellaneous 1 and 3") << FrameFactory([] { return new Tm_Frame_ZXTP; }) << "ZXTP" << QList<bool>{true, false, true, false} << false;
    }
    void thumbnailSlotPatterns()
    {
        QFETCH(FrameFactory, make);
        QFETCH(QString, atlas);
        QFETCH(QList<bool>, slotFilled);
        QFETCH(bool, pictureQuery);
        Program p;
        QList<std::optional<QByteArray>> slotBytes;
        for (int k = 0; k < slotFilled.size(); ++k)
            slotBytes << (slotFilled[k] ? std::optional<QByteArray>(TestSupport::MakeJpeg(60 + 10 * k, 40)) : std::nullopt);
        AddEntry(p.path, atlas, "first", "t");
        AddEntry(p.path, atlas, QStringLiteral("  第二 "), "t", slotBytes);
        p.start();
        std::unique_ptr<TAtlasFrame> frame(make());
        frame->ActivateFrame();
        selectRow(frame.get(), 1);
        clickDisplay(frame.get());
        QCOMPARE(filledCells(frame.get()), slotFilled);
        for (int k = 1; k <= slotFilled.size(); ++k)
            if (slotFilled[k - 1])
                QCOMPARE(frame->Cell(k)->Picture().Width(), 60 + 10 * (k - 1)); // slot k in cell k
        QCOMPARE(frame->NameLabel()->text(), QStringLiteral("第二"));
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
        QVERIFY(p.errors.isEmpty());
        // The built-in atlases keep the picture query open; the miscellaneous atlas closes it.
        QCOMPARE(frame->PictureQuery()->Active(), pictureQuery);
    }

    void unreadableSlotsLeaveOnlyTheirCellEmpty_data()
    {
        QTest::addColumn<FrameFactory>("make");
        QTest::addColumn<QString>("atlas");
        QTest::addColumn<bool>("storeTransformed");
        // Plain JPEG bytes in a built-in atlas do not decode after the reverse transform, and
        // transformed bytes in the miscellaneous atlas do not decode either.
        QTest::newRow("plain bytes in a built-in atlas") << FrameFactory([] { return new Tm_Frame_ZYWZ; }) << "ZYWZ" << false;
        QTest::newRow("transformed bytes in the miscellaneous atlas") << FrameFactory([] { return new Tm_Frame_ZXTP; }) << "ZXTP" << true;
    }
    void unreadableSlotsLeaveOnlyTheirCellEmpty()
    {
        QFETCH(FrameFactory, make);
        QFETCH(QString, atlas);
        QFETCH(bool, storeTransformed);
        Program p;
        const QByteArray jpeg = TestSupport::MakeJpeg(50, 50);
        const int sn = AddEntry(p.path, atlas, "e", "t", {jpeg, jpeg, jpeg, QByteArray("not a picture")});
        QByteArray odd = jpeg;
        if (storeTransformed)
            for (auto &c : odd)
                c = char(PictureTransform::StoredFromPlain(std::uint8_t(c)));
        TestSupport::SetRawSlot(p.path, atlas, sn, 2, odd);
        p.start();
        std::unique_ptr<TAtlasFrame> frame(make());
        frame->ActivateFrame();
        clickDisplay(frame.get());
        QCOMPARE(filledCells(frame.get()), (QList<bool>{true, false, true, false}));
        QVERIFY(p.errors.isEmpty());
    }

    void previewKeepsItsPictureAcrossEntries()
    {
        Program p;
        AddEntry(p.path, "ZYZJ", "a", "t", {TestSupport::MakeJpeg(80, 60)});
        AddEntry(p.path, "ZYZJ", "b", "t", {std::nullopt, TestSupport::MakeJpeg(30, 20)});
        p.start();
        Tm_Frame_ZYZJ frame;
        frame.ActivateFrame();
        clickDisplay(&frame);
        QTest::mouseClick(frame.Cell(1), Qt::LeftButton);
        QCOMPARE(frame.Preview()->Picture().Width(), 80);
        // The preview holds its own copy: loading another entry changes neither it nor its options.
        selectRow(&frame, 1);
        clickDisplay(&frame);
        QVERIFY(frame.Cell(1)->Picture().IsEmpty());
        QCOMPARE(frame.Preview()->Picture().Width(), 80);
        QCOMPARE(frame.NameLabel()->text(), QStringLiteral("b"));
        // A search that matches nothing: the button empties the cells only.
        frame.findChild<QLineEdit *>("m_Edit_ZYPinYin")->setText("NOTHING");
        clickDisplay(&frame);
        QCOMPARE(filledCells(&frame), (QList<bool>{false, false, false, false}));
        QCOMPARE(frame.NameLabel()->text(), QStringLiteral("b"));
        QCOMPARE(frame.Preview()->Picture().Width(), 80);
        // An empty cell empties the preview.
        QTest::mouseClick(frame.Cell(3), Qt::LeftButton);
        QVERIFY(frame.Preview()->Picture().IsEmpty());
    }

    void doubleClickLoadsAfterTheClickIsHandled()
    {
        Program p;
        AddEntry(p.path, "XYLC", "a", "t", {TestSupport::MakeJpeg(40, 40)});
        p.start();
        Tm_Frame_XYLC frame;
        frame.ActivateFrame();
        auto *grid = frame.findChild<QTableView *>("m_DBGrid_ZY");
        frame.resize(650, 490);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        const QRect cell = grid->visualRect(grid->model()->index(0, 0));
        QSignalSpy dbl(grid, &QAbstractItemView::doubleClicked);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(dbl.count(), 1);
        QVERIFY(frame.Cell(1)->Picture().IsEmpty()); // posted, not yet run
        QTRY_VERIFY(!frame.Cell(1)->Picture().IsEmpty());
    }

    void doubleClickBelowTheRowsLoadsTheCurrentEntry()
    {
        Program p;
        AddEntry(p.path, "XYLC", "a", "t", {TestSupport::MakeJpeg(40, 40)});
        AddEntry(p.path, "XYLC", "b", "t", {std::nullopt, TestSupport::MakeJpeg(40, 40)});
        p.start();
        Tm_Frame_XYLC frame;
        QVERIFY(TestSupport::TestProgram::showFrame(frame));
        selectRow(&frame, 1);
        auto *grid = frame.findChild<QTableView *>("m_DBGrid_ZY");
        const QPoint below(30, grid->viewport()->height() - 4);
        QVERIFY(!grid->indexAt(below).isValid());
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, below);
        QTRY_COMPARE(frame.NameLabel()->text(), QStringLiteral("b"));
        QCOMPARE(filledCells(&frame), (QList<bool>{false, true, false, false}));
        QCOMPARE(grid->currentIndex().row(), 1);
    }

    void controlsSayWhatTheyAreToAssistiveTechnology()
    {
        Program p;
        AddEntry(p.path, "ZXTP", QStringLiteral("图甲"), "t", {TestSupport::MakeJpeg(64, 48), std::nullopt});
        p.start();
        Tm_Frame_ZXTP frame;
        QVERIFY(TestSupport::TestProgram::showFrame(frame));

        // The search box is named by its label; the list by its atlas, with the count as description.
        QAccessibleInterface *search = QAccessible::queryAccessibleInterface(frame.findChild<QLineEdit *>("m_Edit_ZYPinYin"));
        QCOMPARE(search->role(), QAccessible::EditableText);
        QCOMPARE(search->text(QAccessible::Name), QStringLiteral("智能检索:"));
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(frame.findChild<QTableView *>("m_DBGrid_ZY"));
        QCOMPARE(list->text(QAccessible::Name), QStringLiteral("其他图谱列表"));
        QCOMPARE(list->text(QAccessible::Description), QStringLiteral("其他图谱列表:  共1条"));
        // The browser and its panels are panes inside the window, not windows of their own, and
        // the thumbnail boxes likewise.
        QCOMPARE(QAccessible::queryAccessibleInterface(&frame)->role(), QAccessible::Pane);
        for (const char *panel : {"m_Panel_Left", "Panel1", "Panel4", "Panel7"}) {
            QWidget *w = frame.findChild<QWidget *>(QLatin1String(panel));
            QVERIFY2(w, panel);
            QCOMPARE(QAccessible::queryAccessibleInterface(w)->role(), QAccessible::Pane);
        }

        // Cells and preview: images with names, saying whether they show a picture.
        frame.m_MenuItem_DisplayDescriblePictureClick();
        QAccessibleInterface *cell1 = QAccessible::queryAccessibleInterface(frame.Cell(1));
        QAccessibleInterface *cell2 = QAccessible::queryAccessibleInterface(frame.Cell(2));
        QAccessibleInterface *preview = QAccessible::queryAccessibleInterface(frame.Preview());
        QCOMPARE(cell1->role(), QAccessible::Graphic);
        QCOMPARE(cell1->text(QAccessible::Name), QStringLiteral("缩略图 1"));
        QCOMPARE(cell2->text(QAccessible::Name), QStringLiteral("缩略图 2"));
        QCOMPARE(cell1->text(QAccessible::Description), QStringLiteral("图片 64×48"));
        QCOMPARE(cell2->text(QAccessible::Description), QStringLiteral("无图片"));
        QCOMPARE(cell1->imageInterface()->imageSize(), QSize(64, 48));
        QCOMPARE(preview->role(), QAccessible::Graphic);
        QCOMPARE(preview->text(QAccessible::Name), QStringLiteral("预览图片"));
        QCOMPARE(preview->text(QAccessible::Description), QStringLiteral("无图片"));
        // A cell's press action shows it in the preview, as a click does; the preview has no
        // click of its own, so no press action.
        QVERIFY(!preview->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
        cell1->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_COMPARE(preview->text(QAccessible::Description), QStringLiteral("图片 64×48"));
        cell2->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_VERIFY(frame.Preview()->Picture().IsEmpty());

        // From the keyboard: Space on a focused cell, then the menus with Shift+F10 and the Menu key.
        frame.Cell(1)->setFocus();
        QVERIFY(frame.Cell(1)->hasFocus());
        QTest::keyClick(frame.Cell(1), Qt::Key_Space);
        QVERIFY(!frame.Preview()->Picture().IsEmpty());

        frame.Preview()->setFocus();
        QVERIFY(frame.Preview()->hasFocus());
        QTest::keyClick(frame.Preview(), Qt::Key_F10, Qt::ShiftModifier);
        QTRY_VERIFY(frame.ViewMenu()->isVisible());
        frame.ViewMenu()->close();
        QTest::keyClick(frame.Preview(), Qt::Key_Menu);
        QTRY_VERIFY(frame.ViewMenu()->isVisible());
        frame.ViewMenu()->close();

        auto *grid = frame.findChild<QTableView *>("m_DBGrid_ZY");
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_F10, Qt::ShiftModifier);
        QTRY_VERIFY(frame.m_PopupMenu_ManagePicture->isVisible());
        // At the current row, not wherever the mouse happens to be.
        const QRect row = grid->visualRect(grid->currentIndex());
        QVERIFY(QRect(grid->viewport()->mapToGlobal(row.topLeft()), row.size())
                    .contains(frame.m_PopupMenu_ManagePicture->pos()));
        frame.m_PopupMenu_ManagePicture->close();
        QVERIFY(p.errors.isEmpty());
    }

    void viewMenuOpensOneViewerPerChoiceOrSaysThereIsNothing()
    {
        Program p;
        AddEntry(p.path, "ZY", QStringLiteral("甘草"), "GC", {TestSupport::MakeJpeg(120, 90)});
        p.start();
        Tm_Frame_ZY frame;
        frame.ActivateFrame();
        auto viewers = [] {
            int n = 0;
            for (QWidget *w : QApplication::topLevelWidgets())
                if (qobject_cast<Tm_GLOPictureViewDlg *>(w) && !w->isHidden())
                    ++n;
            return n;
        };
        QString text, title;
        TestSupport::AnswerMessageBox(QMessageBox::Ok, &text, &title);
        frame.N2Click();
        QCOMPARE(text, QStringLiteral("当前没有可单独察看的图片,请从缩略图点击一张图片!"));
        QCOMPARE(title, QStringLiteral("提示"));
        QCOMPARE(viewers(), 0);

        clickDisplay(&frame);
        QTest::mouseClick(frame.Cell(1), Qt::LeftButton);
        QVERIFY(frame.ViewMenu()->actions().first()->text() == QStringLiteral("单独窗口查阅图片"));
        frame.ViewMenu()->actions().first()->trigger();
        frame.ViewMenu()->actions().first()->trigger();
        QCOMPARE(viewers(), 2);
        for (QWidget *w : QApplication::topLevelWidgets())
            if (qobject_cast<Tm_GLOPictureViewDlg *>(w))
                w->close();
    }

    void miscellaneousViewMenuHasTheDisabledExternalItem()
    {
        Program p;
        p.start();
        Tm_Frame_ZXTP frame;
        QStringList captions;
        for (QAction *a : frame.ViewMenu()->actions())
            captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(captions, (QStringList{"单独窗口查阅图片", "-", "外部图片浏览器察看"}));
        QVERIFY(!frame.ViewMenu()->actions().last()->isEnabled());
        QVERIFY(!frame.findChild<QPushButton *>("m_Button_DisplayPic")->isVisibleTo(&frame));
        QCOMPARE(frame.findChild<QPushButton *>("m_Button_ManagePicture")->text(), QStringLiteral("图片处理↓"));
    }
};

QTEST_MAIN(TestAtlasFrames)
#include "test_atlas_frames.moc"
