#include "viewer/UGLOPictureViewDlg.h"

#include "picture/TGraphic.h"
#include "picture/TJPEGImage.h"
#include "picture/TPicture.h"
#include "platform/FontSetup.h"
#include "platform/TavelinError.h"
#include "viewer/ViewerGeometry.h"
#include "widgets/AccessibleFactory.h"
#include "widgets/WindowPlacement.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QMoveEvent>
#include <QShowEvent>
#include <QStyle>

#include <algorithm>

Tm_GLOPictureViewDlg::Tm_GLOPictureViewDlg(const TGraphic *picture)
    : QWidget(nullptr)
{
    // A screen reader presents the viewer as a window of its own.
    RegisterAccessibleRole(staticMetaObject.className(), QAccessible::Window);
    setupUi(this);
    m_Image->setAccessibleName(QStringLiteral("图片"));
    // The form asks for a character height in pixels, which a point size in the form cannot say.
    setFont(SongFont(12));
    // Only the main window's closing ends the program; a viewer neither keeps it running nor ends it.
    setAttribute(Qt::WA_QuitOnClose, false);

    m_Image->SetStretch(false);
    m_Image->SetAutoSize(true);
    m_Image->move(0, 0);

    connect(m_Button_OpenPicFile, &QPushButton::clicked, this, &Tm_GLOPictureViewDlg::m_Button_OpenPicFileClick);
    connect(m_Button_Print, &QPushButton::clicked, this, &Tm_GLOPictureViewDlg::m_Button_PrintClick);
    connect(m_Button_Exit, &QPushButton::clicked, this, &Tm_GLOPictureViewDlg::m_Button_ExitClick);
    connect(Scale, &QComboBox::currentIndexChanged, this, &Tm_GLOPictureViewDlg::ScaleClick);
    connect(PixelFormat, &QComboBox::currentIndexChanged, this, &Tm_GLOPictureViewDlg::SetJPEGOptions);
    connect(ColorSpace, &QComboBox::currentIndexChanged, this, &Tm_GLOPictureViewDlg::SetJPEGOptions);
    connect(Performance, &QComboBox::currentIndexChanged, this, &Tm_GLOPictureViewDlg::SetJPEGOptions);
    connect(N1, &QAction::triggered, this, &Tm_GLOPictureViewDlg::Print1Click);
    connect(N4, &QAction::triggered, this, &Tm_GLOPictureViewDlg::N4Click);

    if (!picture)
        return;
    try {
        m_Image->AssignGraphic(picture);
        SetJPEGOptions();
        FitWindowToPicture();
    } catch (const std::exception &) {
        // The window still opens, with whatever the steps before the failure left.
    }
}

Tm_GLOPictureViewDlg::Tm_GLOPictureViewDlg(const TPicture &picture)
    : Tm_GLOPictureViewDlg(picture.Graphic())
{
}

Tm_GLOPictureViewDlg::~Tm_GLOPictureViewDlg() = default;

QPrinter &Tm_GLOPictureViewDlg::Printer()
{
    // Made on first use: looking up the default printer is not free and most windows never print.
    if (!m_Printer) {
        m_Printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_Printer->setCopyCount(1);
    }
    return *m_Printer;
}

bool Tm_GLOPictureViewDlg::HasPicture() const
{
    return !m_Image->Picture().IsEmpty();
}

void Tm_GLOPictureViewDlg::SetJPEGOptions()
{
    if (!HasPicture())
        return; // the lists keep their state

    auto *jpeg = dynamic_cast<TJPEGImage *>(m_Image->Picture().Graphic());
    if (jpeg) {
        const auto pixelFormat = PixelFormat->currentIndex() == 1 ? TJPEGPixelFormat::jf8Bit : TJPEGPixelFormat::jf24Bit;
        const auto scale = static_cast<TJPEGScale>(std::clamp(Scale->currentIndex(), 0, 3));
        const bool grey = ColorSpace->currentIndex() == 1;
        const auto performance =
            Performance->currentIndex() == 1 ? TJPEGPerformance::jpBestSpeed : TJPEGPerformance::jpBestQuality;
        // An unchanged option must not throw the decoded image away.
        if (jpeg->PixelFormat() != pixelFormat)
            jpeg->SetPixelFormat(pixelFormat);
        if (jpeg->Scale() != scale)
            jpeg->SetScale(scale);
        if (jpeg->Grayscale() != grey)
            jpeg->SetGrayscale(grey);
        if (jpeg->Performance() != performance)
            jpeg->SetPerformance(performance);
        if (jpeg->ProgressiveDisplay())
            jpeg->SetProgressiveDisplay(false);
    }

    // Bitmaps and icons have no decoding options.
    const bool enable = jpeg != nullptr;
    Scale->setEnabled(enable);
    PixelFormat->setEnabled(enable);
    ColorSpace->setEnabled(enable);
    Performance->setEnabled(enable);

    m_Image->PictureChanged();
}

void Tm_GLOPictureViewDlg::ScaleClick()
{
    SetJPEGOptions();
    FitWindowToPicture();
}

int Tm_GLOPictureViewDlg::CaptionHeight() const
{
    return style()->pixelMetric(QStyle::PM_TitleBarHeight);
}

int Tm_GLOPictureViewDlg::ToolBarHeight() const
{
    // Fixed in the form; read from the constraint because the layout has not run while hidden.
    return m_Panel_ToolBar->minimumHeight();
}

void Tm_GLOPictureViewDlg::SetOuterSize(const QSize &outer)
{
    // Where the window system reports no frame (before the first showing, or without a window
    // manager) frame and client coincide and the whole size goes to the client area.
    const QSize frame = frameGeometry().size() - geometry().size();
    resize((outer - frame).expandedTo(QSize(1, 1)));
    // Before the first showing the frame is not known yet: try again once the window exists.
    if (!m_bFramed)
        m_PendingOuterSize = outer;
}

void Tm_GLOPictureViewDlg::FitWindowToPicture()
{
    if (!HasPicture()) {
        SetOuterSize(QSize(600, 450));
        return;
    }
    QScreen *s = screen();
    const QRect work = s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
    // The work area's right and bottom edges stand for the screen's width and height.
    const int screenRight = work.x() + work.width();
    const int screenBottom = work.y() + work.height();

    const TPicture &picture = m_Image->Picture();
    const TViewerFit fit = FitViewerWindow(QSize(picture.Width(), picture.Height()), screenRight, screenBottom,
                                           CaptionHeight(), ToolBarHeight());
    SetOuterSize(fit.window);
    // Centre with the size the window really took (it may have a minimum size).
    move(CentreViewerWindow(frameGeometry().size(), screenRight, screenBottom));
}

void Tm_GLOPictureViewDlg::LoadPictureFile(const QString &fileName)
{
    try {
        m_Image->Picture().LoadFromFile(fileName);
        SetJPEGOptions();
        FitWindowToPicture();
    } catch (const std::exception &) {
        // An unreadable or unknown file leaves an empty area, without a message.
        m_Image->ClearPicture();
    }
}

void Tm_GLOPictureViewDlg::m_Button_OpenPicFileClick()
{
    QFileDialog dialog(this, QString(), QString(),
                       QStringLiteral("JPEG图片 (*.JPG);;ICON图标 (*.ICO);;BMP图片 (*.BMP)"));
    dialog.setObjectName(QStringLiteral("m_OpenDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // The patterns are written in capitals; files are matched without regard to case.
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    dialog.selectNameFilter(dialog.nameFilters().constFirst());
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QStringList files = dialog.selectedFiles();
    if (!files.isEmpty())
        LoadPictureFile(files.constFirst());
}

void Tm_GLOPictureViewDlg::m_Button_PrintClick()
{
    m_PopupMenu_Print->popup(m_Button_Print->mapToGlobal(QPoint(0, m_Button_Print->height())));
}

void Tm_GLOPictureViewDlg::Print1Click()
{
    if (!HasPicture())
        return;
    QPrintDialog dialog(&Printer(), this);
    dialog.setObjectName(QStringLiteral("m_PrintDialog"));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dialog.exec() != QDialog::Accepted)
        return;
    PrintPicture(Printer());
}

void Tm_GLOPictureViewDlg::PrintPicture(QPrinter &printer)
{
    TGraphic *graphic = m_Image->Picture().Graphic();
    if (!graphic || graphic->IsEmpty())
        return;
    // The painter ends the job when it goes out of scope, also when drawing throws.
    QPainter painter;
    if (!painter.begin(&printer))
        throw TavelinError(QStringLiteral("打印机无法开始打印作业。请检查打印机是否就绪,或选择另一台打印机,然后重新打印。"));
    // The painter's origin is the top-left corner of the printable area.
    const QRect printable = printer.pageRect(QPrinter::DevicePixel).toRect();
    const QRect target = PrintTargetRect(QSize(graphic->Width(), graphic->Height()), printable.size());
    if (target.isEmpty())
        return;
    // The picture as the window decodes it now, with its current options, stretched.
    painter.drawImage(target, graphic->Image());
}

void Tm_GLOPictureViewDlg::N4Click()
{
    QPageSetupDialog dialog(&Printer(), this);
    dialog.setObjectName(QStringLiteral("m_PrinterSetupDialog"));
    dialog.exec(); // the printer keeps what was chosen; the outcome itself does not matter
}

void Tm_GLOPictureViewDlg::m_Button_ExitClick()
{
    // Close after the click has been handled, not from inside it.
    QMetaObject::invokeMethod(this, "close", Qt::QueuedConnection);
}

void Tm_GLOPictureViewDlg::FormClose()
{
    // Closing destroys the window and its picture copy instead of merely hiding it.
    setAttribute(Qt::WA_DeleteOnClose, true);
}

void Tm_GLOPictureViewDlg::closeEvent(QCloseEvent *event)
{
    FormClose();
    QWidget::closeEvent(event);
}

void Tm_GLOPictureViewDlg::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    // A window manager frames the window a moment after its first showing; until then the whole
    // outer size went to the client area. Once the frame is known, the frame takes its share and
    // the window is centred again with the size it really has.
    if (m_bCentredOnFirstShow && !m_bFramed && m_PendingOuterSize.isValid()
        && frameGeometry().size() != geometry().size()) {
        m_bFramed = true;
        SetOuterSize(m_PendingOuterSize);
        if (QScreen *s = screen())
            move(CentredTopLeft(frameGeometry().size(), s->geometry(), s->geometry()));
    }
}

void Tm_GLOPictureViewDlg::showEvent(QShowEvent *event)
{
    if (!m_bCentredOnFirstShow && !event->spontaneous()) {
        // The first showing centres the window on the whole screen, never past its top-left corner.
        m_bCentredOnFirstShow = true;
        if (m_PendingOuterSize.isValid())
            SetOuterSize(m_PendingOuterSize);
        if (QScreen *s = screen())
            move(CentredTopLeft(frameGeometry().size(), s->geometry(), s->geometry()));
    }
    QWidget::showEvent(event);
}
