#include "data/CatalogSchema.h"
#include "data/TCatalogConnection.h"
#include "data/TCatalogQuery.h"
#include "data/UDataLibModule.h"
#include "frames/UFrame_ZXTP.h"
#include "glo/GlobalObjects.h"
#include "picture/ContentHash.h"
#include "widgets/TImage.h"
#include "platform/ErrorReport.h"
#include "platform/TMemoryStream.h"
#include "support/TestProgram.h"
#include "support/ModalBoxes.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using TestSupport::AddEntry;

namespace {

struct Program : TestSupport::TestProgram {
    Program() : TestProgram(true) {}
};

using Answer = std::function<void(QWidget *)>;

// Chooses the given files in the import's file dialog.
Answer chooseFiles(const QStringList &paths)
{
    return [paths](QWidget *w) {
        auto *dlg = qobject_cast<QFileDialog *>(w);
        QVERIFY(dlg);
        QCOMPARE(dlg->windowTitle(), QStringLiteral("选择JPG图片(可选择当前文件夹里面全部JPG图片"));
        dlg->setDirectory(QFileInfo(paths.first()).absolutePath());
        QStringList quoted;
        for (const QString &p : paths)
            quoted << '"' + QFileInfo(p).fileName() + '"';
        dlg->findChild<QLineEdit *>("fileNameEdit")->setText(quoted.join(' '));
        static_cast<QDialog *>(dlg)->accept();
    };
}

// Types text into the input window and confirms (or cancels) it; records what it showed.
Answer answerInput(const QString &text, QString *prompt = nullptr, QString *shownText = nullptr, bool confirm = true)
{
    return [=](QWidget *w) {
        if (prompt)
            *prompt = w->findChild<QLabel *>("m_PromptLable")->text();
        auto *edit = w->findChild<QLineEdit *>("m_strContent");
        QVERIFY(edit);
        if (shownText)
            *shownText = edit->text();
        edit->setText(text);
        w->findChild<QPushButton *>(confirm ? "m_Button_OK" : "m_Button_Cancel")->click();
    };
}

// Presses a button of a message box; records its text and caption.
Answer answerBox(QMessageBox::StandardButton button, QString *text = nullptr, QString *title = nullptr)
{
    return [=](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        QVERIFY(box);
        if (text)
            *text = box->text();
        if (title)
            *title = box->windowTitle();
        box->button(button)->click();
    };
}

// Answers the modal windows that come up, in order; each answer arms the next.
void answerChain(QList<Answer> steps)
{
    if (steps.isEmpty())
        return;
    const Answer first = steps.takeFirst();
    TestSupport::WhenModal([first, steps](QWidget *w) {
        first(w);
        answerChain(steps);
    });
}

// Each entry of the miscellaneous list of the catalogue file at path, in the list's order.
void forEachEntry(const QString &path, const std::function<void(TCatalogConnection &, TCatalogQuery &)> &each)
{
    TCatalogConnection c;
    c.SetConnectionString(TCatalogConnection::ConnectionStringForFile(path));
    c.SetConnected(true);
    TCatalogQuery q;
    q.SetConnection(&c);
    q.SQL() << CatalogSchema::FindAtlas("ZXTP")->listSql;
    q.Open();
    for (int i = 0; i < q.RecordCount(); ++i) {
        q.SetRecNo(i);
        each(c, q);
    }
}

QList<QStringList> rows(const QString &path)
{
    QList<QStringList> out;
    forEachEntry(path, [&](TCatalogConnection &, TCatalogQuery &q) {
        TMemoryStream s;
        q.BlobToStream("pic1", s);
        out << QStringList{q.FieldAsString("TypeName"), q.FieldAsString("ItemName"), q.FieldIsNull("pic1") ? "NULL" : QString::fromLatin1(s.Bytes().toHex())};
    });
    return out;
}

// The entries whose picture's kept digest is not that of its stored bytes (an import hashes each
// file on its reading thread; the store must keep the hash of what it wrote).
QStringList entriesWithAWrongDigest(const QString &path)
{
    QStringList wrong;
    forEachEntry(path, [&](TCatalogConnection &c, TCatalogQuery &q) {
        const std::optional<qint64> reference = q.PictureReference("pic1");
        if (!reference)
            return;
        TMemoryStream s;
        q.BlobToStream("pic1", s);
        const QHash<qint64, TPictureDigest> digests = c.Store().PictureDigests({*reference});
        if (!(digests.value(*reference) == TPictureDigest{s.Size(), ContentHash::Of(s.Bytes())}))
            wrong << q.FieldAsString("ItemName");
    });
    return wrong;
}

} // namespace

class TestMiscAtlas : public QObject {
    Q_OBJECT
private slots:
    void managementMenuHasItsItemsInOrder()
    {
        Program p;
        p.start();
        Tm_Frame_ZXTP frame;
        QStringList captions;
        for (QAction *a : frame.m_PopupMenu_ManagePicture->actions())
            captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(captions, (QStringList{"显示当前条目缩略图", "-", "导入一个/多个JPG图片", "-", "修改当前条目的类别名",
                                        "修改当前条目的图片名称", "-", "删除当前的图片条目"}));
    }

    void folderOfTheChosenFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("folder");
        QTest::newRow("nested") << "/home/doc/pics/a.jpg" << "/home/doc/pics";
        QTest::newRow("root keeps its separator") << "/a.jpg" << "/";
    }
    void folderOfTheChosenFiles()
    {
        QFETCH(QString, file);
        QFETCH(QString, folder);
        QCOMPARE(Tm_Frame_ZXTP::ImportFolderOf(file), folder);
    }

    void importStoresEachReadableFileByteForByte()
    {
        Program p;
        AddEntry(p.path, "ZXTP", "old", "cat");
        const QByteArray a = TestSupport::MakeJpeg(40, 30), b = TestSupport::MakeJpeg(20, 60);
        const QString longName = QString(56, 'n') + ".jpg"; // 60 characters
        const QStringList files{p.writeFile("a.jpg", a), p.writeFile("notes.jpg", "just some text\n"),
                                p.writeFile(longName, b), p.writeFile("empty.jpg", QByteArray())};
        p.start();
        Tm_Frame_ZXTP frame;
        frame.ActivateFrame();
        auto *count = frame.findChild<QLabel *>("m_Label");
        QCOMPARE(count->text(), QStringLiteral("其他图谱列表:  共1条"));

        QString prompt, confirm, confirmTitle, report;
        answerChain({chooseFiles(files), answerInput(QStringLiteral("  眼科 \t"), &prompt),
                     answerBox(QMessageBox::Yes, &confirm, &confirmTitle), answerBox(QMessageBox::Ok, &report)});
        frame.JPG1->trigger();

        QCOMPARE(prompt, QStringLiteral("输入本图片类别名称"));
        QCOMPARE(confirmTitle, QStringLiteral("提示"));
        QCOMPARE(confirm, Tm_Frame_ZXTP::ImportConfirmationText(QDir::toNativeSeparators(p.dir.filePath("pics")), 4,
                                                                 QStringLiteral("眼科")));
        QVERIFY(confirm.startsWith(QStringLiteral("将要从文件夹导入图片到数据库\r\n\r\n目标文件夹: ")));
        QVERIFY(confirm.endsWith(QStringLiteral(" 张\r\n\r\n\r\n所有选择的图片都将导入类别为< 眼科 >,图片项目名称自动为文件的名称!\r\n\r\n确认以上操作吗?")));
        QCOMPARE(report, QStringLiteral("导入图片结束!\r\n\r\n本次共选择图片 4 张\r\n成功导入 3 张,失败 1 张"));
        QVERIFY(p.errors.isEmpty());
        // The count label keeps the count it had; the grid shows the appended rows.
        QCOMPARE(count->text(), QStringLiteral("其他图谱列表:  共1条"));
        QCOMPARE(frame.findChild<QTableView *>("m_DBGrid_ZY")->model()->rowCount(), 4);
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);

        const QList<QStringList> stored = rows(p.path);
        QCOMPARE(stored.size(), 4);
        QCOMPARE(stored[1], (QStringList{"眼科", "a.jpg", QString::fromLatin1(a.toHex())}));
        QCOMPARE(stored[2], (QStringList{"眼科", longName.left(50), QString::fromLatin1(b.toHex())}));
        QCOMPARE(stored[3], (QStringList{"眼科", "empty.jpg", ""})); // zero bytes: imported, empty not NULL
        QCOMPARE(entriesWithAWrongDigest(p.path), QStringList());
    }

    void importWithAnEmptyCategoryAndCancelledSteps()
    {
        Program p;
        const QStringList files{p.writeFile("x.jpg", TestSupport::MakeJpeg(10, 10))};
        p.start();
        Tm_Frame_ZXTP frame;
        frame.ActivateFrame();
        // No in the confirmation: nothing is stored.
        QString confirm;
        answerChain({chooseFiles(files), answerInput("   "), answerBox(QMessageBox::No, &confirm)});
        frame.JPG1->trigger();
        QVERIFY(confirm.contains(QStringLiteral("所有选择的图片都将导入类别为<  >,图片项目名称自动为文件的名称!")));
        QCOMPARE(rows(p.path).size(), 0);
        // Cancel in the input window: nothing is asked further, nothing stored.
        answerChain({chooseFiles(files), answerInput("x", nullptr, nullptr, false)});
        frame.JPG1->trigger();
        QCOMPARE(rows(p.path).size(), 0);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void renamesTrimAndRefuseAnEmptyPictureName()
    {
        Program p;
        AddEntry(p.path, "ZXTP", QStringLiteral(" 图一 "), QStringLiteral(" 旧类 "));
        p.start();
        Tm_Frame_ZXTP frame;
        frame.ActivateFrame();

        QString prompt, shown;
        answerChain({answerInput("   ", &prompt, &shown)});
        frame.N8->trigger();
        QCOMPARE(prompt, QStringLiteral("输入新的类别名称"));
        QCOMPARE(shown, QStringLiteral("旧类"));
        QCOMPARE(rows(p.path)[0][0], QString()); // a blank category is stored empty

        QString refusal, title;
        answerChain({answerInput(" \t ", &prompt, &shown), answerBox(QMessageBox::Ok, &refusal, &title)});
        frame.N9->trigger();
        QCOMPARE(prompt, QStringLiteral("输入新的图片条目名称"));
        QCOMPARE(shown, QStringLiteral("图一"));
        QCOMPARE(refusal, QStringLiteral("输入的条目名称无效,不能为空!"));
        QCOMPARE(rows(p.path)[0][1], QStringLiteral(" 图一 "));

        answerChain({answerInput(QStringLiteral("  新名称  ") + QString(60, 'z'))});
        frame.N9->trigger();
        QCOMPARE(rows(p.path)[0][1], (QStringLiteral("新名称  ") + QString(60, 'z')).left(50));
        QCOMPARE(frame.findChild<QTableView *>("m_DBGrid_ZY")->model()->index(0, 1).data().toString(),
                 (QStringLiteral("新名称  ") + QString(60, 'z')).left(50));
    }

    void deletingTheLastEntryCountsZeroAndKeepsTheThumbnails()
    {
        Program p;
        AddEntry(p.path, "ZXTP", QStringLiteral("唯一"), "c", {TestSupport::MakeJpeg(30, 30)});
        p.start();
        Tm_Frame_ZXTP frame;
        frame.ActivateFrame();
        frame.m_MenuItem_DisplayDescriblePictureClick();
        QVERIFY(!frame.Cell(1)->Picture().IsEmpty());

        QString question;
        TestSupport::AnswerMessageBox(QMessageBox::No, &question);
        frame.N7->trigger();
        QCOMPARE(question, QStringLiteral("确认要删除以下图片吗?\r\n\r\n图片名称: 唯一"));
        QCOMPARE(rows(p.path).size(), 1);

        TestSupport::AnswerMessageBox(QMessageBox::Yes);
        frame.N7->trigger();
        QCOMPARE(rows(p.path).size(), 0);
        QCOMPARE(frame.findChild<QLabel *>("m_Label")->text(), QStringLiteral("其他图谱列表:  共0条"));
        QVERIFY(!frame.Cell(1)->Picture().IsEmpty());
        QCOMPARE(frame.NameLabel()->text(), QStringLiteral("唯一"));
        // With no rows the renames and the deletion do nothing and say nothing.
        frame.N7->trigger();
        frame.N8->trigger();
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void deletionMakesTheNextRowCurrent_data()
    {
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("deleted");
        QTest::addColumn<QString>("current");
        QTest::newRow("a middle row: the one after it") << 1 << QStringLiteral("图1") << QStringLiteral("图3");
        QTest::newRow("the first row: the second") << 0 << QStringLiteral("图0") << QStringLiteral("图1");
        QTest::newRow("the last row: the one before it") << 4 << QStringLiteral("图5") << QStringLiteral("图4");
    }

    void deletionMakesTheNextRowCurrent()
    {
        QFETCH(int, selected);
        QFETCH(QString, deleted);
        QFETCH(QString, current);
        Program p;
        for (const char *name : {"图0", "图1", "图3", "图4", "图5"})
            AddEntry(p.path, "ZXTP", QString::fromUtf8(name), "c");
        p.start();
        Tm_Frame_ZXTP frame;
        frame.ActivateFrame();
        auto *grid = frame.findChild<QTableView *>("m_DBGrid_ZY");
        grid->setCurrentIndex(grid->model()->index(selected, 0));
        QCOMPARE(frame.ListQuery()->FieldAsString("ItemName"), deleted);

        TestSupport::AnswerMessageBox(QMessageBox::Yes);
        frame.N7->trigger();
        QVERIFY(p.errors.isEmpty());
        QCOMPARE(frame.ListQuery()->RecordCount(), 4);
        // The dataset's choice, shown by the grid, and the row the next command acts on.
        QCOMPARE(frame.ListQuery()->FieldAsString("ItemName"), current);
        QCOMPARE(grid->model()->index(grid->currentIndex().row(), 1).data().toString(), current);
        QCOMPARE(grid->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(grid->selectionModel()->selectedRows().first().row(), grid->currentIndex().row());
        QString question;
        TestSupport::AnswerMessageBox(QMessageBox::No, &question);
        frame.N7->trigger();
        QCOMPARE(question, QStringLiteral("确认要删除以下图片吗?\r\n\r\n图片名称: ") + current);
    }

    void doubleClickBelowTheRowsShowsTheCurrentEntry()
    {
        Program p;
        AddEntry(p.path, "ZXTP", QStringLiteral("甲"), "c", {TestSupport::MakeJpeg(30, 30)});
        AddEntry(p.path, "ZXTP", QStringLiteral("乙"), "c", {std::nullopt, TestSupport::MakeJpeg(30, 30)});
        p.start();
        Tm_Frame_ZXTP frame;
        QVERIFY(TestSupport::TestProgram::showFrame(frame));
        auto *grid = frame.findChild<QTableView *>("m_DBGrid_ZY");
        grid->setCurrentIndex(grid->model()->index(1, 0));
        // Far below the two rows: no row there, the current entry loads all the same.
        const QPoint empty(20, grid->viewport()->height() - 5);
        QVERIFY(!grid->indexAt(empty).isValid());
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, empty);
        QTRY_COMPARE(frame.NameLabel()->text(), QStringLiteral("乙"));
        QVERIFY(frame.Cell(1)->Picture().IsEmpty());
        QVERIFY(!frame.Cell(2)->Picture().IsEmpty());
        QCOMPARE(frame.ListQuery()->FieldAsString("ItemName"), QStringLiteral("乙"));
    }

    void thumbnailCommandOnAnEmptyListOrAVanishedRow()
    {
        Program p;
        AddEntry(p.path, "ZXTP", "a", "c", {TestSupport::MakeJpeg(30, 30)});
        p.start();
        Tm_Frame_ZXTP frame;
        frame.ActivateFrame();
        frame.m_MenuItem_DisplayDescriblePictureClick();
        QVERIFY(!frame.Cell(1)->Picture().IsEmpty());
        // The row is deleted behind the list's back: the cells are emptied, the name stays.
        m_DataLibModule->m_ADOConnection_KVR->Store().Execute("DELETE FROM KVR_ZXTPPicture");
        frame.m_MenuItem_DisplayDescriblePictureClick();
        QVERIFY(frame.Cell(1)->Picture().IsEmpty());
        QCOMPARE(frame.NameLabel()->text(), QStringLiteral("a"));
        QVERIFY(!frame.PictureQuery()->Active());
        // An empty list.
        frame.findChild<QLineEdit *>("m_Edit_ZYPinYin")->setText("NOMATCH");
        frame.m_MenuItem_DisplayDescriblePictureClick();
        QVERIFY(frame.Cell(1)->Picture().IsEmpty());
        QVERIFY(p.errors.isEmpty());
    }

    void readOnlyCatalogueRefusesManagementClearly()
    {
        Program p;
        AddEntry(p.path, "ZXTP", "a", "c");
        QFile::setPermissions(p.path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        p.start();
        Tm_Frame_ZXTP frame;
        frame.ActivateFrame();
        QCOMPARE(frame.ListQuery()->RecordCount(), 1);
        frame.JPG1->trigger();
        frame.N7->trigger();
        QCOMPARE(p.errors.size(), 2);
        QVERIFY(p.errors[0].contains(QStringLiteral("只读")));
        QCOMPARE(rows(p.path).size(), 1);
        QFile::setPermissions(p.path, QFile::ReadOwner | QFile::WriteOwner);
    }
};

QTEST_MAIN(TestMiscAtlas)
#include "test_misc_atlas.moc"
