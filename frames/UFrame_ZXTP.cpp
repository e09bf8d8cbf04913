#include "frames/UFrame_ZXTP.h"

#include "data/TCatalogConnection.h"
#include "data/TCatalogQuery.h"
#include "frames/SearchStatement.h"
#include "frames/TImportFileReader.h"
#include "glo/GlobalObjects.h"
#include "platform/BusyCursor.h"
#include "platform/ErrorReport.h"
#include "platform/TMemoryStream.h"
#include "platform/TavelinError.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QScopeGuard>

using SearchStatement::TrimName;

namespace {
constexpr int kAskFlags = 36;    // Yes/No with a question icon
constexpr int kNoticeFlags = 64; // OK with an information icon
constexpr int kRefuseFlags = 16; // OK with an error icon
constexpr int kIdYes = 6;
const QString kCaption = QStringLiteral("提示");
} // namespace

TAtlasFrameConfig Tm_Frame_ZXTP::Configuration()
{
    TAtlasFrameConfig c = ItemAtlasFrameConfig(QStringLiteral("ZXTP"), QStringLiteral("其他图谱列表:  共"),
                                               QStringLiteral("其他图谱列表:"));
    c.managed = true;
    return c;
}

Tm_Frame_ZXTP::Tm_Frame_ZXTP(QWidget *owner) : TAtlasFrame(Configuration(), owner)
{
    m_ADOQuery_Library = m_ListQuery;

    m_Button_ManagePicture = new QPushButton(QStringLiteral("图片处理↓"), Panel2);
    m_Button_ManagePicture->setObjectName(QStringLiteral("m_Button_ManagePicture"));
    m_Button_ManagePicture->setGeometry(131, 7, 87, 25);
    connect(m_Button_ManagePicture, &QPushButton::clicked, this, &Tm_Frame_ZXTP::m_Button_ManagePictureClick);

    m_PopupMenu_ManagePicture = new QMenu(this);
    m_PopupMenu_ManagePicture->setObjectName(QStringLiteral("m_PopupMenu_ManagePicture"));
    auto item = [this](const QString &name, const QString &caption) {
        QAction *a = caption == QLatin1String("-") ? m_PopupMenu_ManagePicture->addSeparator()
                                                   : m_PopupMenu_ManagePicture->addAction(caption);
        a->setObjectName(name);
        return a;
    };
    m_MenuItem_DisplayDescriblePicture = item(QStringLiteral("m_MenuItem_DisplayDescriblePicture"), QStringLiteral("显示当前条目缩略图"));
    N6 = item(QStringLiteral("N6"), QStringLiteral("-"));
    JPG1 = item(QStringLiteral("JPG1"), QStringLiteral("导入一个/多个JPG图片"));
    N3 = item(QStringLiteral("N3"), QStringLiteral("-"));
    N8 = item(QStringLiteral("N8"), QStringLiteral("修改当前条目的类别名"));
    N9 = item(QStringLiteral("N9"), QStringLiteral("修改当前条目的图片名称"));
    N5 = item(QStringLiteral("N5"), QStringLiteral("-"));
    N7 = item(QStringLiteral("N7"), QStringLiteral("删除当前的图片条目"));
    connect(m_MenuItem_DisplayDescriblePicture, &QAction::triggered, this,
            &Tm_Frame_ZXTP::m_MenuItem_DisplayDescriblePictureClick);
    connect(JPG1, &QAction::triggered, this, &Tm_Frame_ZXTP::JPG1Click);
    connect(N8, &QAction::triggered, this, &Tm_Frame_ZXTP::N8Click);
    connect(N9, &QAction::triggered, this, &Tm_Frame_ZXTP::N9Click);
    connect(N7, &QAction::triggered, this, &Tm_Frame_ZXTP::N7Click);

    m_DBGrid_ZY->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_DBGrid_ZY, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        m_PopupMenu_ManagePicture->popup(m_DBGrid_ZY->viewport()->mapToGlobal(pos));
    });
    // The double-click loads the thumbnails at once, through the command itself.
    disconnect(this, &TAtlasFrame::GridDoubleClicked, this, &TAtlasFrame::m_DBGrid_ZYDblClick);
    connect(this, &TAtlasFrame::GridDoubleClicked, this, &Tm_Frame_ZXTP::m_DBGrid_ZYDblClick);

    N1 = m_PopupMenu->addSeparator();
    N1->setObjectName(QStringLiteral("N1"));
    N4 = m_PopupMenu->addAction(QStringLiteral("外部图片浏览器察看"));
    N4->setObjectName(QStringLiteral("N4"));
    N4->setEnabled(false);
}

QFileDialog *Tm_Frame_ZXTP::OpenDialog()
{
    // Built at the first import rather than with the frame: a file dialog takes longer to build
    // than the whole rest of the frame, and start-up builds every frame.
    if (!m_OpenDialog) {
        m_OpenDialog = new QFileDialog(this, QStringLiteral("选择JPG图片(可选择当前文件夹里面全部JPG图片"));
        m_OpenDialog->setObjectName(QStringLiteral("m_OpenDialog"));
        m_OpenDialog->setNameFilter(QStringLiteral("JPEG格式图片 (*.jpg)"));
        m_OpenDialog->setFileMode(QFileDialog::ExistingFiles);
        m_OpenDialog->setAcceptMode(QFileDialog::AcceptOpen);
        m_OpenDialog->setOption(QFileDialog::ReadOnly, false);
        m_OpenDialog->setOption(QFileDialog::DontUseNativeDialog, true);
        m_OpenDialog->setSizeGripEnabled(true);
    }
    return m_OpenDialog;
}

bool Tm_Frame_ZXTP::ListHasRows() const
{
    return m_ListQuery->Active() && !m_ListQuery->IsEmpty();
}

void Tm_Frame_ZXTP::m_Button_ManagePictureClick()
{
    const QPoint corner(m_Button_ManagePicture->x(), m_Button_ManagePicture->y() + m_Button_ManagePicture->height());
    m_PopupMenu_ManagePicture->popup(Panel2->mapToGlobal(corner));
}

void Tm_Frame_ZXTP::m_MenuItem_DisplayDescriblePictureClick()
{
    Guarded([this] { LoadThumbnails(true); });
}

void Tm_Frame_ZXTP::m_DBGrid_ZYDblClick()
{
    m_MenuItem_DisplayDescriblePictureClick();
}

QString Tm_Frame_ZXTP::ImportFolderOf(const QString &firstFile)
{
    const QString native = QDir::toNativeSeparators(firstFile);
    const int cut = native.lastIndexOf(QDir::separator());
    if (cut < 0)
        return QString();
    QString folder = native.left(cut);
    // A root keeps its separator: C:\ on Windows, / elsewhere.
    if (folder.isEmpty() || (folder.size() == 2 && folder.at(1) == QLatin1Char(':')))
        folder += QDir::separator();
    return folder;
}

QString Tm_Frame_ZXTP::ImportConfirmationText(const QString &folder, int count, const QString &category)
{
    const QString br = QStringLiteral("\r\n");
    return QStringLiteral("将要从文件夹导入图片到数据库") + br + br + QStringLiteral("目标文件夹: ") + folder + br + br
           + QStringLiteral("选择的导入图片文件数量: ") + QString::number(count) + QStringLiteral(" 张") + br + br + br
           + QStringLiteral("所有选择的图片都将导入类别为< ") + category
           + QStringLiteral(" >,图片项目名称自动为文件的名称!") + br + br + QStringLiteral("确认以上操作吗?");
}

QString Tm_Frame_ZXTP::ImportReportText(int chosen, int imported)
{
    const QString br = QStringLiteral("\r\n");
    return QStringLiteral("导入图片结束!") + br + br + QStringLiteral("本次共选择图片 ") + QString::number(chosen)
           + QStringLiteral(" 张") + br + QStringLiteral("成功导入 ") + QString::number(imported)
           + QStringLiteral(" 张,失败 ") + QString::number(chosen - imported) + QStringLiteral(" 张");
}

void Tm_Frame_ZXTP::JPG1Click()
{
    Guarded([this] {
        if (!m_ListQuery->Active())
            return;
        m_ListQuery->Connection()->RequireWritable();
        QFileDialog *dialog = OpenDialog();
        if (dialog->exec() != QDialog::Accepted)
            return;
        const QStringList files = dialog->selectedFiles();
        if (files.isEmpty())
            return;
        g_FunParam->Reset();
        if (g_FunctionSet->ShowInputWindow(QStringLiteral("输入本图片类别名称"), *g_FunParam, ikText) != 1)
            return;
        const QString category = TrimName(g_FunParam->m_strText);
        const QString folder = ImportFolderOf(files.first());
        if (g_FunctionSet->MsgBox(ImportConfirmationText(folder, files.size(), category), kCaption, kAskFlags) != kIdYes)
            return;
        const int imported = ImportFiles(files, category);
        g_FunctionSet->MsgBox(ImportReportText(files.size(), imported), kCaption, kNoticeFlags);
    });
}

int Tm_Frame_ZXTP::ImportFiles(const QStringList &files, const QString &category)
{
    TMemoryStream buffer;
    TBusyCursor busy;
    TCatalogConnection *connection = m_ListQuery->Connection();
    if (!connection)
        throw TavelinError(QStringLiteral("The catalogue is not open."));
    // Each file is its own committed entry the moment it is posted (a killed process keeps it);
    // the disk is waited for once, at the end, for all of them.
    TCatalogStore &store = connection->Store();
    store.BeginDurableRun();
    bool runEnded = false;
    m_ListQuery->DisableControls();
    const auto resume = qScopeGuard([this, &store, &runEnded] {
        m_ListQuery->Cancel(); // an append left unfinished by an error is discarded
        m_ListQuery->EnableControls();
        if (!runEnded) {
            try {
                store.EndDurableRun(); // what was posted before the error still goes to disk
            } catch (const std::exception &) {
                // The error that ended the import is the one reported.
            }
        }
    });
    int imported = 0;
    // The files are read and checked on a thread of their own while the ones before are written.
    TImportFileReader reader(files);
    for (int i = 0; i < files.size(); ++i) {
        const QString &path = files[i];
        TImportFileReader::TFile file = reader.Next();
        if (!file.readable)
            continue; // counted as failed in the report
        store.KnowPictureHash(file.bytes, file.hash);
        buffer.Clear();
        buffer.SetBytes(file.bytes);
        buffer.SetPosition(0);
        // Each row is committed before the next is posted: a killed process keeps what was
        // imported so far.
        m_ListQuery->Append();
        m_ListQuery->PictureFromStream(QStringLiteral("pic1"), buffer);
        m_ListQuery->SetFieldText(QStringLiteral("TypeName"), category);
        m_ListQuery->SetFieldText(QStringLiteral("ItemName"), QFileInfo(path).fileName());
        m_ListQuery->Post();
        ++imported;
    }
    runEnded = true;
    store.EndDurableRun();
    return imported;
}

void Tm_Frame_ZXTP::N8Click()
{
    Guarded([this] {
        if (!ListHasRows())
            return;
        m_ListQuery->Connection()->RequireWritable();
        g_FunParam->Reset();
        g_FunParam->m_strText = TrimName(m_ListQuery->FieldAsString(QStringLiteral("TypeName")));
        if (g_FunctionSet->ShowInputWindow(QStringLiteral("输入新的类别名称"), *g_FunParam, ikText) != 1)
            return;
        m_ListQuery->Edit();
        const auto discard = qScopeGuard([this] { m_ListQuery->Cancel(); });
        m_ListQuery->SetFieldText(QStringLiteral("TypeName"), TrimName(g_FunParam->m_strText));
        m_ListQuery->Post();
    });
}

void Tm_Frame_ZXTP::N9Click()
{
    Guarded([this] {
        if (!ListHasRows())
            return;
        m_ListQuery->Connection()->RequireWritable();
        g_FunParam->Reset();
        g_FunParam->m_strText = TrimName(m_ListQuery->FieldAsString(QStringLiteral("ItemName")));
        if (g_FunctionSet->ShowInputWindow(QStringLiteral("输入新的图片条目名称"), *g_FunParam, ikText) != 1)
            return;
        const QString name = TrimName(g_FunParam->m_strText);
        if (name.isEmpty()) {
            g_FunctionSet->MsgBox(QStringLiteral("输入的条目名称无效,不能为空!"), kCaption, kRefuseFlags);
            return;
        }
        m_ListQuery->Edit();
        const auto discard = qScopeGuard([this] { m_ListQuery->Cancel(); });
        m_ListQuery->SetFieldText(QStringLiteral("ItemName"), name);
        m_ListQuery->Post();
    });
}

void Tm_Frame_ZXTP::N7Click()
{
    Guarded([this] {
        if (!ListHasRows())
            return;
        m_ListQuery->Connection()->RequireWritable();
        const QString text = QStringLiteral("确认要删除以下图片吗?\r\n\r\n") + QStringLiteral("图片名称: ")
                             + TrimName(m_ListQuery->FieldAsString(QStringLiteral("ItemName")));
        if (g_FunctionSet->MsgBox(text, kCaption, kAskFlags) != kIdYes)
            return;
        m_ListQuery->Delete();
        ShowCount(m_ListQuery->RecordCount());
    });
}
