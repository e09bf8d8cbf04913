#include "frames/TAtlasFrame.h"

#include "data/AtlasEntries.h"
#include "data/CatalogSchema.h"
#include "data/TCatalogConnection.h"
#include "data/TCatalogQuery.h"
#include "data/TDataSetGridModel.h"
#include "data/UDataLibModule.h"
#include "data/sqlite/TThumbnailCache.h"
#include "frames/SearchStatement.h"
#include "frames/TStripDecoder.h"
#include "frames/TUpperCaseValidator.h"
#include "glo/GlobalObjects.h"
#include "picture/TJPEGImage.h"
#include "platform/BusyCursor.h"
#include "platform/ErrorReport.h"
#include "platform/TMemoryStream.h"
#include "platform/TavelinError.h"
#include "viewer/UGLOPictureViewDlg.h"
#include "widgets/TContextMenuKey.h"
#include "widgets/TImage.h"
#include "widgets/WinColor.h"

#include <QEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QMetaObject>
#include <QMultiHash>
#include <QPointer>
#include <QPainter>
#include <QScopeGuard>
#include <QScrollBar>

#include <cmath>

TAtlasFrame::TAtlasFrame(const TAtlasFrameConfig &config, QWidget *owner) : QFrame(owner), m_config(config)
{
    setupUi(this);
    const TAtlasDef *atlas = CatalogSchema::FindAtlas(config.atlasCode);
    Q_ASSERT(atlas);

    // Both queries name the data module's one connection, resolved as the frame is built.
    TCatalogConnection *connection = m_DataLibModule ? m_DataLibModule->m_ADOConnection_KVR : nullptr;
    m_ListQuery = new TCatalogQuery(this);
    m_ListQuery->setObjectName(config.listQueryName);
    m_ListQuery->SetConnection(connection);
    m_ListQuery->SQL() << atlas->listSql;
    // The list reads what the grid and the name bar show; a row's pictures and other fields are
    // read when that row's are asked for.
    QStringList listed{config.nameColumn};
    for (const TGridColumn &column : config.gridColumns)
        listed << column.field;
    m_ListQuery->SetListedFields(listed);
    m_ADOQuery_PIC = new TCatalogQuery(this);
    m_ADOQuery_PIC->setObjectName(QStringLiteral("m_ADOQuery_PIC"));
    m_ADOQuery_PIC->SetConnection(connection);
    m_ADOQuery_PIC->SQL() << atlas->pictureSql;

    m_ListSQLText = m_ListQuery->SQLText();
    m_thumbnailCache = &TThumbnailCache::ForUser();
    m_ListOpened = false;

    m_cells = {m_Image1, m_Image2, m_Image3, m_Image4, m_Image5, m_Image6, m_Image7};
    const QVector<QFrame *> bevels = {Bevel1, Bevel2, Bevel3, Bevel4, Bevel5, Bevel6, Bevel7};
    for (int k = config.cellCount; k < m_cells.size(); ++k) {
        delete m_cells[k];
        delete bevels[k];
    }
    m_cells.resize(config.cellCount);
    for (TImage *cell : std::as_const(m_cells)) {
        cell->SetStretch(true);
        connect(cell, &TImage::clicked, this, &TAtlasFrame::m_Image1Click);
    }

    // Every control says what it is; the pictures can be reached and pressed from the keyboard.
    for (int k = 0; k < m_cells.size(); ++k) {
        m_cells[k]->setAccessibleName(QStringLiteral("缩略图 %1").arg(k + 1));
        m_cells[k]->setFocusPolicy(Qt::TabFocus);
    }
    m_Image->setAccessibleName(QStringLiteral("预览图片"));
    m_Image->setFocusPolicy(Qt::TabFocus);
    Label31->setBuddy(m_Edit_ZYPinYin);
    QString listName = config.designCaption;
    if (listName.endsWith(QLatin1Char(':')))
        listName.chop(1);
    m_DBGrid_ZY->setAccessibleName(listName);
    // The popup menus of the list and the preview open from the keyboard too.
    TContextMenuKey::Install(m_DBGrid_ZY);
    TContextMenuKey::Install(m_Image);

    m_Label_CurrentName->setObjectName(config.nameLabelName);
    m_Label_CurrentName->setText(config.nameLabelCaption);
    m_Label->setText(config.designCaption);
    m_Button_DisplayPic->move(131, config.displayButtonTop);
    if (config.managed) {
        Panel2->setFixedHeight(42);
        m_Button_DisplayPic->hide();
    }

    m_Image->SetStretch(true);
    m_Image->setContextMenuPolicy(Qt::CustomContextMenu);
    m_PopupMenu = new QMenu(this);
    m_PopupMenu->setObjectName(QStringLiteral("m_PopupMenu"));
    N2 = m_PopupMenu->addAction(QStringLiteral("单独窗口查阅图片"));
    N2->setObjectName(QStringLiteral("N2"));
    connect(N2, &QAction::triggered, this, &TAtlasFrame::N2Click);
    connect(m_Image, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_PopupMenu->popup(m_Image->mapToGlobal(pos)); });

    m_Edit_ZYPinYin->setValidator(new TUpperCaseValidator(m_Edit_ZYPinYin));
    connect(m_Edit_ZYPinYin, &QLineEdit::textChanged, this, &TAtlasFrame::m_Edit_ZYPinYinChange);
    connect(m_Button_DisplayPic, &QPushButton::clicked, this, &TAtlasFrame::m_Button_DisplayPicClick);
    connect(m_Button_View, &QPushButton::clicked, this, &TAtlasFrame::m_Button_ViewClick);
    // The grid's double-click acts on the current entry wherever in the grid it lands, also below
    // the last row, so it is taken from the grid's area rather than from the item under the mouse.
    m_DBGrid_ZY->viewport()->installEventFilter(this);
    connect(this, &TAtlasFrame::GridDoubleClicked, this, &TAtlasFrame::m_DBGrid_ZYDblClick);

    // The view button keeps its distance to the name bar's right edge.
    Panel7->installEventFilter(this);
    SetUpLook();
    BindGrid();
}

TAtlasFrame::~TAtlasFrame() = default;

void TAtlasFrame::SetUpLook()
{
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(12);
    setFont(f);
    setToolTipDuration(-1);
    SetPanelColor(m_Panel_Left, 16249840);
    SetPanelColor(Panel1, 16249840);
    SetPanelColor(Panel4, 16116723);
    SetPanelColor(Panel5, 0xFFFFFF);
    SetPanelColor(Panel7, 15651014);
    const QColor teal(0, 128, 128);
    SetTextColor(Label31, teal);
    SetTextColor(m_Label, teal);
    SetTextColor(Label1, QColor(0, 0, 255));
    QFont big = f;
    big.setPixelSize(14);
    Label1->setFont(big);
    // One character per line, painted by the frame: the CJK face's own line spacing would push the
    // third character out of the 49-pixel box.
    Label1->installEventFilter(this);

    QPalette edit = m_Edit_ZYPinYin->palette();
    edit.setColor(QPalette::Base, ColorFromRef(0xF0FBFF)); // cream
    m_Edit_ZYPinYin->setPalette(edit);

    QPalette grid = m_DBGrid_ZY->palette();
    grid.setColor(QPalette::Base, ColorFromRef(16245200));
    // The selected row stays visible when the grid has no focus.
    grid.setColor(QPalette::Inactive, QPalette::Highlight, grid.color(QPalette::Active, QPalette::Highlight));
    grid.setColor(QPalette::Inactive, QPalette::HighlightedText, grid.color(QPalette::Active, QPalette::HighlightedText));
    m_DBGrid_ZY->setPalette(grid);
    const QColor title = ColorFromRef(14996200);
    m_DBGrid_ZY->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: %1; border: 1px solid #a0a0a0; padding: 1px 3px; }")
            .arg(title.name()));
    m_DBGrid_ZY->horizontalHeader()->setFont(f);
    m_DBGrid_ZY->verticalHeader()->setDefaultSectionSize(17);
    m_DBGrid_ZY->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
}

void TAtlasFrame::BindGrid()
{
    m_DataSource_ZYDrug = new TDataSetGridModel(m_ListQuery, m_config.gridColumns, this);
    m_DataSource_ZYDrug->setObjectName(QStringLiteral("m_DataSource_ZYDrug"));
    // When a row goes, the grid moves its current row on by itself, to the row after the removed
    // one as the old numbering counts it; the dataset has already chosen the row that takes the
    // deleted one's place, so the grid must not pass its move on. Connected before the grid gets
    // the model, so this runs before the grid's own handling of the removal.
    connect(m_DataSource_ZYDrug, &QAbstractItemModel::rowsAboutToBeRemoved, this, [this] { m_bRemovingRows = true; });
    m_DBGrid_ZY->setModel(m_DataSource_ZYDrug);
    for (int c = 0; c < m_config.gridColumns.size(); ++c)
        m_DBGrid_ZY->setColumnWidth(c, m_config.gridColumns[c].width);

    // The grid moves the current row; the current row shows as the selected grid row.
    connect(m_DBGrid_ZY->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (m_syncingSelection || m_bRemovingRows || !current.isValid())
                    return;
                m_syncingSelection = true;
                m_ListQuery->SetRecNo(current.row());
                m_syncingSelection = false;
            });
    auto showCurrent = [this] {
        if (m_syncingSelection || m_ListQuery->ControlsDisabled())
            return;
        const int row = m_ListQuery->RecNo();
        if (row < 0 || row >= m_DataSource_ZYDrug->rowCount())
            return;
        m_syncingSelection = true;
        const QModelIndex idx = m_DataSource_ZYDrug->index(row, 0);
        m_DBGrid_ZY->selectionModel()->setCurrentIndex(
            idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        // The first row of a grid scrolled to its top left is in view already: nothing to scroll,
        // and a grid not shown yet need not work out its geometry for nothing (a new list).
        if (row != 0 || m_DBGrid_ZY->verticalScrollBar()->value() != 0
            || m_DBGrid_ZY->horizontalScrollBar()->value() != 0)
            m_DBGrid_ZY->scrollTo(idx);
        m_syncingSelection = false;
    };
    connect(m_ListQuery, &TCatalogQuery::currentRowChanged, this, showCurrent);
    connect(m_DataSource_ZYDrug, &QAbstractItemModel::modelReset, this, showCurrent);
    connect(m_DataSource_ZYDrug, &QAbstractItemModel::rowsRemoved, this, [this, showCurrent] {
        m_bRemovingRows = false;
        showCurrent();
    });
}

namespace {

// The size a widget covers on its screen, in device pixels (as a paint of it would see it).
QSize DeviceSizeOfWidget(const QWidget *w)
{
    const qreal ratio = w->devicePixelRatioF();
    return QSize(int(std::ceil(w->width() * ratio - 1e-6)), int(std::ceil(w->height() * ratio - 1e-6)));
}

} // namespace

TImage *TAtlasFrame::Cell(int k) const
{
    return (k >= 1 && k <= m_cells.size()) ? m_cells[k - 1] : nullptr;
}

void TAtlasFrame::ActivateFrame()
{
    if (m_ListOpened)
        return;
    m_ListQuery->Open();
    ShowCount(m_ListQuery->RecordCount());
    m_ListOpened = true;
}

void TAtlasFrame::ShowCount(int count)
{
    m_Label->setText(m_config.countPrefix + QString::number(count) + QStringLiteral("条"));
    m_DBGrid_ZY->setAccessibleDescription(m_Label->text());
}

void TAtlasFrame::m_Edit_ZYPinYinChange()
{
    Guarded([this] {
        const QString v = SearchStatement::NormalizeSearchText(m_Edit_ZYPinYin->text());
        m_ListQuery->DisableControls();
        m_DBGrid_ZY->setUpdatesEnabled(false);
        // Resumed whatever happens, so a failed reopen shows an empty grid rather than stale rows.
        const auto resume = qScopeGuard([this] {
            m_ListQuery->EnableControls();
            m_DBGrid_ZY->setUpdatesEnabled(true);
        });
        m_ListQuery->Close();
        m_ListQuery->SQL() = SearchStatement::SearchLines(m_ListSQLText, m_config.searchColumnA,
                                                          m_config.searchColumnB, v);
        m_ListQuery->Open();
    });
}

void TAtlasFrame::EmptyCells()
{
    for (TImage *cell : std::as_const(m_cells))
        cell->ClearPicture();
}

void TAtlasFrame::LoadThumbnails(bool closePictureQueryAfter)
{
    EmptyCells();
    if (!m_ListQuery->Active() || m_ListQuery->IsEmpty())
        return;
    m_ADOQuery_PIC->Close();
    m_ADOQuery_PIC->SetParameter(QStringLiteral("SQLRecordSN"), m_ListQuery->FieldAsInteger(QStringLiteral("RecordSN")));
    m_ADOQuery_PIC->Open();
    if (m_ADOQuery_PIC->IsEmpty()) {
        m_ADOQuery_PIC->Close();
        return;
    }
    m_Label_CurrentName->setText(SearchStatement::TrimName(m_ListQuery->FieldAsString(m_config.nameColumn)));

    TBusyCursor busy;
    // The catalogue is read here, on this thread. A slot whose picture the catalogue names by its
    // digest and the thumbnail cache holds is shown without reading its bytes (they are read if
    // the picture is shown larger). Every other slot is read, and its decoding starts on the pool
    // as soon as its bytes are in, while the next slot is read. The cells change only once every
    // slot is done, each to its own slot's picture.
    const TAtlasDef *atlas = CatalogSchema::FindAtlasByTable(m_ADOQuery_PIC->TableName());
    const bool transformed = atlas && atlas->transformed;
    QVector<std::optional<qint64>> references;
    QVector<qint64> named;
    for (int k = 1; k <= m_cells.size(); ++k) {
        std::optional<qint64> reference;
        try {
            reference = m_ADOQuery_PIC->PictureReference(CatalogSchema::SlotColumn(k));
        } catch (const std::exception &) {
        }
        references << reference;
        if (reference)
            named << *reference;
    }
    QHash<qint64, TPictureDigest> digests;
    if (m_thumbnailCache && atlas && !named.isEmpty()) {
        try {
            digests = m_ADOQuery_PIC->Connection()->Store().PictureDigests(named);
        } catch (const std::exception &) {
            // Without digests every slot is read, as the cells need.
        }
    }
    TStripDecoder strip(int(m_cells.size()), m_thumbnailCache);
    QVector<QSize> devices;
    QVector<std::optional<TPictureDigest>> slotDigests;
    QVector<qint64> toRead;
    QMultiHash<qint64, int> readInto; // reference -> cells (0-based)
    for (int k = 1; k <= m_cells.size(); ++k) {
        const QSize device = DeviceSizeOfWidget(m_cells[k - 1]);
        devices << device;
        const std::optional<qint64> reference = references[k - 1];
        std::optional<TPictureDigest> digest;
        if (reference && digests.contains(*reference)) {
            digest = digests.value(*reference);
            QPointer<TCatalogConnection> connection = m_ADOQuery_PIC->Connection();
            auto source = [connection, atlas, ref = *reference, d = *digest]() -> QByteArray {
                if (!connection || !connection->Connected())
                    throw TavelinError(QStringLiteral("The catalogue is closed."));
                return AtlasEntries::ReadDescribedPicture(connection->Store(), *atlas, ref, d);
            };
            if (strip.AddFromCache(k - 1, TStripDecoder::KeyFor(*digest, transformed, device), device, source)) {
                slotDigests << digest;
                continue;
            }
        }
        slotDigests << digest;
        if (reference) {
            if (!readInto.contains(*reference))
                toRead << *reference;
            readInto.insert(*reference, k - 1);
            continue;
        }
        // An empty slot, or bytes the row holds itself.
        QByteArray stored;
        try {
            TMemoryStream stream;
            m_ADOQuery_PIC->BlobToStream(CatalogSchema::SlotColumn(k), stream);
            stored = stream.Bytes();
        } catch (const std::exception &) {
            // A slot that cannot be read leaves its cell empty; the others still load.
        }
        strip.Add(k - 1, std::move(stored), transformed, device);
    }
    // The slots to read, in one request to the store; each starts decoding as soon as it is in. A
    // picture that cannot be read leaves its cell empty; the others still load.
    if (!toRead.isEmpty()) {
        try {
            m_ADOQuery_PIC->Connection()->Store().ReadPictures(toRead, [&](qint64 reference, QByteArray stored) {
                for (int cell : readInto.values(reference))
                    strip.Add(cell, stored, transformed, devices[cell], slotDigests[cell]);
            });
        } catch (const std::exception &) {
        }
    }
    std::vector<std::unique_ptr<TJPEGImage>> pictures = strip.Finish();
    for (int k = 0; k < m_cells.size(); ++k)
        if (pictures[size_t(k)])
            m_cells[k]->SetGraphic(std::move(pictures[size_t(k)]));
    if (closePictureQueryAfter)
        m_ADOQuery_PIC->Close();
}

void TAtlasFrame::SetThumbnailCache(TThumbnailCache *cache)
{
    m_thumbnailCache = cache;
}

void TAtlasFrame::m_Button_DisplayPicClick()
{
    Guarded([this] { LoadThumbnails(false); });
}

void TAtlasFrame::m_Image1Click()
{
    auto *image = qobject_cast<TImage *>(sender());
    if (!image)
        return;
    m_Image->SetPicture(image->Picture());
}

void TAtlasFrame::m_DBGrid_ZYDblClick()
{
    // Loaded after the double-click has been handled, exactly as by a click on the button.
    QMetaObject::invokeMethod(m_Button_DisplayPic, &QPushButton::click, Qt::QueuedConnection);
}

void TAtlasFrame::m_Button_ViewClick()
{
    const QPoint corner(m_Button_View->x(), m_Button_View->y() + m_Button_View->height());
    m_PopupMenu->popup(Panel7->mapToGlobal(corner));
}

void TAtlasFrame::N2Click()
{
    if (m_Image->Picture().IsEmpty()) {
        g_FunctionSet->MsgBox(QStringLiteral("当前没有可单独察看的图片,请从缩略图点击一张图片!"), QStringLiteral("提示"), 64);
        return;
    }
    // The viewer copies the picture and lives on its own; the frame keeps no reference to it.
    auto *viewer = new Tm_GLOPictureViewDlg(m_Image->Picture().Graphic());
    viewer->show();
}

bool TAtlasFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Label1 && event->type() == QEvent::Paint) {
        QPainter p(Label1);
        p.setFont(Label1->font());
        p.setPen(Label1->palette().color(QPalette::WindowText));
        const QString text = Label1->text();
        const int step = Label1->height() / qMax(1, int(text.size()));
        for (int i = 0; i < text.size(); ++i)
            p.drawText(QRect(0, i * step, Label1->width(), step), Qt::AlignHCenter | Qt::AlignVCenter, text.mid(i, 1));
        return true;
    }
    if (watched == m_DBGrid_ZY->viewport() && event->type() == QEvent::MouseButtonDblClick
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        emit GridDoubleClicked();
    if (watched == Panel7 && event->type() == QEvent::Resize)
        m_Button_View->move(Panel7->width() - 2 - m_Button_View->width(), m_Button_View->y());
    return QFrame::eventFilter(watched, event);
}
