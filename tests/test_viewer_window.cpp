// The picture viewer window driven through its own components: decoding options, fitting,
// file loading, printing to a PDF printer, closing and independence of its copy.
#include "support/ModalBoxes.h"
#include "support/TestSupport.h"

#include "app/TTavelinApplication.h"
#include "picture/JpegEncoder.h"
#include "picture/TGraphic.h"
#include "widgets/TImage.h"
#include "picture/TJPEGImage.h"
#include "platform/ErrorReport.h"
#include "platform/TavelinError.h"
#include "viewer/UGLOPictureViewDlg.h"
#include "viewer/ViewerGeometry.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMenu>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QStandardPaths>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

namespace {

// A picture whose decoding fails, to see that printing still ends the job.
class TFailingGraphic : public TGraphic {
public:
    bool IsEmpty() const override { return false; }
    int Width() const override { return 120; }
    int Height() const override { return 80; }
    void Draw(QPainter &, const QRect &) override { Fail(); }
    QImage Image() override { Fail(); }
    void LoadFromStream(TMemoryStream &) override {}
    void SaveToStream(TMemoryStream &) const override {}
    std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<TFailingGraphic>(*this); }
    QString KindName() const override { return QStringLiteral("Failing"); }

private:
    [[noreturn]] static void Fail() { throw TavelinError(QStringLiteral("the picture data is damaged")); }
};

TJPEGImage JpegOf(const QByteArray &bytes)
{
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(bytes);
    return jpeg;
}

QByteArray SolidJpeg(int w, int h, QColor colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return EncodeJpeg(image, {95, false, false});
}

int CaptionHeight()
{
    return QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
}

QRect WorkArea(QWidget *w)
{
    return w->screen()->availableGeometry();
}

bool IsGrey(QRgb c, int tolerance = 3)
{
    return qAbs(qRed(c) - qGreen(c)) <= tolerance && qAbs(qGreen(c) - qBlue(c)) <= tolerance;
}

bool Near(QRgb c, QColor expected, int tolerance)
{
    return qAbs(qRed(c) - expected.red()) <= tolerance && qAbs(qGreen(c) - expected.green()) <= tolerance &&
           qAbs(qBlue(c) - expected.blue()) <= tolerance;
}

} // namespace

class TestViewerWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void designedLayout();
    void jpegEnablesOptionLists_data();
    void jpegEnablesOptionLists();
    void eighthScaleShrinksPictureAndWindow();
    void colourOptionsRedecodeWithoutResizing_data();
    void colourOptionsRedecodeWithoutResizing();
    void oversizedPictureScrolls();
    void windowAndPictureForAssistiveTechnology();
    void thinPictureWindowTakesOnlyTheFittedSize_data();
    void thinPictureWindowTakesOnlyTheFittedSize();
    void failedLoadClearsPicture_data();
    void failedLoadClearsPicture();
    void openDialogLoadsChosenFile();
    void printButtonPopsMenuBelowItself();
    void printsSquarePictureFittedToPage_data();
    void printsSquarePictureFittedToPage();
    void printerSetupAppliesToNextPrint();
    void printWithoutPictureOrCancelledPrintsNothing();
    void failedDrawingStillEndsPrintJob();
    void printFailureReachesErrorReport();
    void windowsAndCallerAreIndependent();
    void constructorSwallowsFailures();
    void exitAndCloseDestroyWindow();

private:
    Tm_GLOPictureViewDlg *Open(const TGraphic *picture);
    QString WriteFile(const QString &name, const QByteArray &bytes);
    QString WriteImage(const QString &name, QSize size, QColor colour);
    // Renders the first page of a PDF file at the given resolution; null when no renderer is there.
    QImage RenderPdf(const QString &pdf, int dpi);

    std::unique_ptr<QTemporaryDir> m_dir;
    QList<QPointer<Tm_GLOPictureViewDlg>> m_windows;
};

void TestViewerWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestViewerWindow::cleanup()
{
    for (const QPointer<Tm_GLOPictureViewDlg> &w : std::as_const(m_windows))
        delete w.data();
    m_windows.clear();
    m_dir.reset();
}

Tm_GLOPictureViewDlg *TestViewerWindow::Open(const TGraphic *picture)
{
    auto *w = new Tm_GLOPictureViewDlg(picture);
    m_windows.append(w);
    return w;
}

QString TestViewerWindow::WriteFile(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir->filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QString TestViewerWindow::WriteImage(const QString &name, QSize size, QColor colour)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    const QString path = m_dir->filePath(name);
    if (!image.save(path))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QImage TestViewerWindow::RenderPdf(const QString &pdf, int dpi)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (tool.isEmpty())
        return QImage();
    const QString prefix = m_dir->filePath(QStringLiteral("page"));
    QProcess p;
    p.start(tool, {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"), QStringLiteral("-singlefile"),
                   pdf, prefix});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        qFatal("pdftoppm failed: %s", p.readAllStandardError().constData());
    QImage page(prefix + QStringLiteral(".png"));
    if (page.isNull())
        qFatal("pdftoppm wrote no page");
    return page.convertToFormat(QImage::Format_RGB32);
}

void TestViewerWindow::designedLayout()
{
    Tm_GLOPictureViewDlg *w = Open(nullptr);
    QVERIFY(!w->isVisible());
    QVERIFY(w->isWindow());
    QCOMPARE(w->parentWidget(), nullptr);
    QCOMPARE(w->windowTitle(), QStringLiteral("医学软件图片浏览器"));
    QCOMPARE(w->size(), QSize(592, 416));
    QCOMPARE(w->font().family(), QStringLiteral("宋体"));
    QCOMPARE(w->font().pixelSize(), 12);

    auto *toolbar = w->findChild<QWidget *>(QStringLiteral("m_Panel_ToolBar"));
    QVERIFY(toolbar);
    QCOMPARE(toolbar->palette().color(QPalette::Window), QColor(244, 234, 247));

    const struct {
        const char *name;
        QRect geometry;
        const char *text;
    } buttons[] = {{"m_Button_OpenPicFile", QRect(5, 2, 59, 21), "打开文件"},
                   {"m_Button_Print", QRect(394, 2, 59, 21), "打印图片"},
                   {"m_Button_Exit", QRect(457, 2, 36, 21), "退出"}};
    for (const auto &b : buttons) {
        auto *button = w->findChild<QPushButton *>(QLatin1String(b.name));
        QVERIFY2(button, b.name);
        QCOMPARE(button->parentWidget(), toolbar);
        QCOMPARE(button->geometry(), b.geometry);
        QCOMPARE(button->text(), QString::fromUtf8(b.text));
    }
    const struct {
        const char *name;
        QRect geometry;
        const char *hint;
        QStringList items;
    } lists[] = {{"Scale", QRect(68, 3, 83, 20), "Scale", {"原始大小", "1/2大小", "1/4大小", "1/8大小"}},
                 {"PixelFormat", QRect(156, 3, 68, 20), "Pixel Format", {"24位色", "8 位色"}},
                 {"ColorSpace", QRect(230, 3, 79, 20), "Color space", {"RGB彩色", "灰度显示"}},
                 {"Performance", QRect(315, 3, 75, 20), "Performance", {"品质优先", "速度优先"}}};
    for (const auto &l : lists) {
        auto *list = w->findChild<QComboBox *>(QLatin1String(l.name));
        QVERIFY2(list, l.name);
        QCOMPARE(list->parentWidget(), toolbar);
        QCOMPARE(list->geometry(), l.geometry);
        QCOMPARE(list->toolTip(), QString::fromUtf8(l.hint));
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items << list->itemText(i);
        QCOMPARE(items, l.items);
        QCOMPARE(list->currentIndex(), 0);
        QVERIFY(!list->isEnabled());
    }

    auto *scrollBox = w->findChild<QScrollArea *>(QStringLiteral("m_ScrollBox"));
    QVERIFY(scrollBox);
    QCOMPARE(scrollBox->frameShape(), QFrame::NoFrame);
    auto *image = w->findChild<TImage *>(QStringLiteral("m_Image"));
    QVERIFY(image);
    QCOMPARE(scrollBox->widget(), image);
    QVERIFY(image->AutoSize());
    QVERIFY(!image->Stretch());

    auto *menu = w->findChild<QMenu *>(QStringLiteral("m_PopupMenu_Print"));
    QVERIFY(menu);
    const QList<QAction *> actions = menu->actions();
    QCOMPARE(actions.size(), 3);
    QCOMPARE(actions[0]->objectName(), QStringLiteral("N1"));
    QCOMPARE(actions[0]->text(), QStringLiteral("打印当前图片"));
    QCOMPARE(actions[1]->objectName(), QStringLiteral("N3"));
    QVERIFY(actions[1]->isSeparator());
    QCOMPARE(actions[2]->objectName(), QStringLiteral("N4"));
    QCOMPARE(actions[2]->text(), QStringLiteral("打印机设置"));

    // Tab order: the open button first, the exit button last.
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QStringList order;
    QWidget *f = w->findChild<QWidget *>(QStringLiteral("m_Button_OpenPicFile"));
    for (int i = 0; i < 7 && f; ++i, f = f->nextInFocusChain()) {
        while (f && !(f->focusPolicy() & Qt::TabFocus))
            f = f->nextInFocusChain();
        if (f)
            order << f->objectName();
    }
    QCOMPARE(order, (QStringList{"m_Button_OpenPicFile", "Scale", "PixelFormat", "ColorSpace", "Performance",
                                 "m_Button_Print", "m_Button_Exit"}));
}

void TestViewerWindow::jpegEnablesOptionLists_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("jpeg") << "b.JPEG" << true;
    QTest::newRow("bitmap") << "b.bmp" << false;
    QTest::newRow("icon") << "b.ICO" << false;
}

void TestViewerWindow::jpegEnablesOptionLists()
{
    QFETCH(QString, fileName);
    QFETCH(bool, enabled);

    // Start from a JPEG so the lists are enabled, then load the other kind from a file.
    const TJPEGImage jpeg = JpegOf(MakeJpeg(64, 48));
    Tm_GLOPictureViewDlg *w = Open(&jpeg);
    const QStringList names{"Scale", "PixelFormat", "ColorSpace", "Performance"};
    for (const QString &n : names)
        QVERIFY2(w->findChild<QComboBox *>(n)->isEnabled(), qPrintable(n));

    const QString path = fileName.endsWith(QLatin1String("JPEG"))
                             ? WriteFile(fileName, MakeJpeg(40, 30))
                             : WriteImage(fileName, QSize(40, 30), QColor(10, 200, 30));
    w->LoadPictureFile(path);

    auto *image = w->findChild<TImage *>(QStringLiteral("m_Image"));
    QVERIFY(!image->Picture().IsEmpty());
    QCOMPARE(image->size(), QSize(40, 30));
    for (const QString &n : names)
        QCOMPARE(w->findChild<QComboBox *>(n)->isEnabled(), enabled);
    // Fitting works the same for every kind.
    QCOMPARE(w->frameGeometry().width(), 40 + 15);
}

void TestViewerWindow::eighthScaleShrinksPictureAndWindow()
{
    const TJPEGImage jpeg = JpegOf(MakeJpeg(1600, 1200));
    Tm_GLOPictureViewDlg *w = Open(&jpeg);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));

    auto *scale = w->findChild<QComboBox *>(QStringLiteral("Scale"));
    scale->setFocus();
    QTest::keyClick(scale, Qt::Key_End); // the last item, "1/8大小", by keyboard
    QCOMPARE(scale->currentIndex(), 3);

    auto *image = w->findChild<TImage *>(QStringLiteral("m_Image"));
    QCOMPARE(image->size(), QSize(200, 150));
    QCOMPARE(image->Picture().Graphic()->Image().size(), QSize(200, 150));
    const QSize window(215, CaptionHeight() + 150 + 27 + 15);
    QCOMPARE(w->frameGeometry().size(), window);
    const QRect work = WorkArea(w);
    QCOMPARE(w->frameGeometry().topLeft(), CentreViewerWindow(window, work.right() + 1, work.bottom() + 1));
}

void TestViewerWindow::colourOptionsRedecodeWithoutResizing_data()
{
    QTest::addColumn<QString>("list"); // the option list changed
    QTest::addColumn<bool>("grey");    // whether its second choice decodes in grey
    QTest::newRow("grey") << "ColorSpace" << true;
    QTest::newRow("8-bit") << "PixelFormat" << false;
}

void TestViewerWindow::colourOptionsRedecodeWithoutResizing()
{
    QFETCH(QString, list);
    QFETCH(bool, grey);

    const TJPEGImage jpeg = JpegOf(MakeJpeg(240, 180));
    Tm_GLOPictureViewDlg *w = Open(&jpeg);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    w->move(30, 40);
    const QRect before = w->frameGeometry();
    auto *image = w->findChild<TImage *>(QStringLiteral("m_Image"));
    QVERIFY(!IsGrey(image->Picture().Graphic()->Image().pixel(120, 90)));

    auto *combo = w->findChild<QComboBox *>(list);
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentIndex(), 1);

    QCOMPARE(w->frameGeometry(), before);
    QCOMPARE(image->size(), QSize(240, 180));
    const QImage decoded = image->Picture().Graphic()->Image();
    QCOMPARE(decoded.size(), QSize(240, 180));
    QSet<QRgb> colours;
    bool allGrey = true;
    for (int y = 0; y < decoded.height(); ++y)
        for (int x = 0; x < decoded.width(); ++x) {
            colours.insert(decoded.pixel(x, y));
            allGrey = allGrey && IsGrey(decoded.pixel(x, y), 0);
        }
    QVERIFY2(colours.size() <= 236, qPrintable(QString::number(colours.size())));
    QCOMPARE(allGrey, grey);

    // The next print uses the re-decoded picture.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(m_dir->filePath(QStringLiteral("grey.pdf")));
    w->PrintPicture(printer);
    const QImage page = RenderPdf(printer.outputFileName(), 30);
    if (page.isNull())
        QSKIP("pdftoppm is not installed");
    const double s = 30.0 / printer.resolution();
    const QRectF paint = printer.pageRect(QPrinter::DevicePixel);
    // The disc in the middle of the picture: coloured in the original, grey when printed grey.
    const QRgb middle = page.pixel(int((paint.left() + paint.width() / 2) * s),
                                   int((paint.top() + paint.width() * 0.75 / 2) * s));
    QCOMPARE(IsGrey(middle, 6), grey);
}

void TestViewerWindow::oversizedPictureScrolls()
{
    const TJPEGImage jpeg = JpegOf(MakeJpeg(2000, 1500));
    Tm_GLOPictureViewDlg *w = Open(&jpeg);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));

    const QRect work = WorkArea(w);
    const TViewerFit fit =
        FitViewerWindow(QSize(2000, 1500), work.right() + 1, work.bottom() + 1, CaptionHeight(), 27);
    QVERIFY(fit.picture.width() < 2000);
    QCOMPARE(w->frameGeometry().size(), fit.window);
    QVERIFY(fit.window.width() <= work.right() + 1 && fit.window.height() <= work.bottom() + 1);

    // The first showing centres the window on the whole screen.
    const QRect screen = w->screen()->geometry();
    QCOMPARE(w->frameGeometry().topLeft(),
             screen.topLeft() + QPoint((screen.width() - fit.window.width()) / 2,
                                       (screen.height() - fit.window.height()) / 2));

    auto *image = w->findChild<TImage *>(QStringLiteral("m_Image"));
    QCOMPARE(image->size(), QSize(2000, 1500)); // the picture keeps its own size
    auto *scrollBox = w->findChild<QScrollArea *>(QStringLiteral("m_ScrollBox"));
    QScrollBar *h = scrollBox->horizontalScrollBar();
    QScrollBar *v = scrollBox->verticalScrollBar();
    QVERIFY(h->maximum() > 0 && v->maximum() > 0);
    QCOMPARE(h->maximum(), 2000 - scrollBox->viewport()->width());
    h->setValue(h->maximum());
    v->setValue(100);
    QCOMPARE(image->pos(), QPoint(-h->maximum(), -100));

    // A smaller scale shrinks the scroll range with the picture.
    auto *scale = w->findChild<QComboBox *>(QStringLiteral("Scale"));
    scale->setCurrentIndex(2);
    QCOMPARE(image->size(), QSize(500, 375));
    QCOMPARE(h->maximum(), 0);
    QCOMPARE(v->maximum(), 0);
}

void TestViewerWindow::windowAndPictureForAssistiveTechnology()
{
    const TJPEGImage jpeg = JpegOf(MakeJpeg(64, 48));
    Tm_GLOPictureViewDlg *w = Open(&jpeg);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(w);
    QCOMPARE(window->role(), QAccessible::Window);
    QCOMPARE(window->text(QAccessible::Name), QStringLiteral("医学软件图片浏览器"));
    auto *image = w->findChild<TImage *>(QStringLiteral("m_Image"));
    QAccessibleInterface *picture = QAccessible::queryAccessibleInterface(image);
    QCOMPARE(picture->role(), QAccessible::Graphic);
    QCOMPARE(picture->text(QAccessible::Name), QStringLiteral("图片"));
    QCOMPARE(picture->text(QAccessible::Description), QStringLiteral("图片 64×48"));
    // The scale changes what is shown, and so what is said.
    w->findChild<QComboBox *>(QStringLiteral("Scale"))->setCurrentIndex(1);
    QCOMPARE(picture->text(QAccessible::Description), QStringLiteral("图片 32×24"));
    w->LoadPictureFile(m_dir->filePath(QStringLiteral("missing.jpg")));
    QCOMPARE(picture->text(QAccessible::Description), QStringLiteral("无图片"));
}

void TestViewerWindow::thinPictureWindowTakesOnlyTheFittedSize_data()
{
    QTest::addColumn<QSize>("picture");
    // Wider than the work area: the height shrinks to a few pixels.
    QTest::newRow("3001 x 17") << QSize(3001, 17);
    // Taller than the work area: the width shrinks to a few pixels.
    QTest::newRow("17 x 3001") << QSize(17, 3001);
    QTest::newRow("8 x 8") << QSize(8, 8);
}

void TestViewerWindow::thinPictureWindowTakesOnlyTheFittedSize()
{
    QFETCH(QSize, picture);
    const TJPEGImage jpeg = JpegOf(SolidJpeg(picture.width(), picture.height(), QColor(30, 90, 200)));
    Tm_GLOPictureViewDlg *w = Open(&jpeg);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));

    // Nothing inside the window (the scroll box, the toolbar's lists) may make it larger than the
    // fitted size, neither at the first showing nor when a refit shrinks it further.
    const QRect work = WorkArea(w);
    const TViewerFit fit = FitViewerWindow(picture, work.right() + 1, work.bottom() + 1, CaptionHeight(), 27);
    QCOMPARE(w->frameGeometry().size(), fit.window);

    auto *scale = w->findChild<QComboBox *>(QStringLiteral("Scale"));
    scale->setCurrentIndex(1);
    const QSize half((picture.width() + 1) / 2, (picture.height() + 1) / 2);
    QCOMPARE(w->findChild<TImage *>(QStringLiteral("m_Image"))->size(), half);
    const TViewerFit halfFit = FitViewerWindow(half, work.right() + 1, work.bottom() + 1, CaptionHeight(), 27);
    QCOMPARE(w->frameGeometry().size(), halfFit.window);
    QCOMPARE(w->frameGeometry().topLeft(),
             CentreViewerWindow(halfFit.window, work.right() + 1, work.bottom() + 1));
}

void TestViewerWindow::failedLoadClearsPicture_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("damaged jpeg") << "bad.jpg" << QByteArray("\xFF\xD8\xFF\xE0 not a picture");
    QTest::newRow("unknown extension") << "picture.png" << MakeJpeg(50, 50);
    QTest::newRow("missing file") << "missing.jpg" << QByteArray();
}

void TestViewerWindow::failedLoadClearsPicture()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, bytes);

    const TJPEGImage jpeg = JpegOf(MakeJpeg(320, 240));
    Tm_GLOPictureViewDlg *w = Open(&jpeg);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    w->move(17, 23);
    const QRect before = w->frameGeometry();

    const QString path = bytes.isEmpty() ? m_dir->filePath(fileName) : WriteFile(fileName, bytes);
    w->LoadPictureFile(path); // no message box may appear: none is answered here

    auto *image = w->findChild<TImage *>(QStringLiteral("m_Image"));
    QVERIFY(image->Picture().IsEmpty());
    const QImage shown = image->grab().toImage();
    QCOMPARE(shown.pixel(shown.width() / 2, shown.height() / 2), shown.pixel(0, 0)); // an empty area
    QCOMPARE(w->frameGeometry(), before);
    auto *scale = w->findChild<QComboBox *>(QStringLiteral("Scale"));
    QVERIFY(scale->isEnabled()); // the lists keep their state

    scale->setCurrentIndex(1);
    QCOMPARE(w->frameGeometry().size(), QSize(600, 450));
    QCOMPARE(w->frameGeometry().topLeft(), before.topLeft());
}

void TestViewerWindow::openDialogLoadsChosenFile()
{
    Tm_GLOPictureViewDlg *w = Open(nullptr);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    const QString path = WriteFile(QStringLiteral("chosen.jpg"), MakeJpeg(90, 60));
    auto *image = w->findChild<TImage *>(QStringLiteral("m_Image"));

    // Cancelled: nothing happens.
    bool seen = false;
    WhenModal([&](QWidget *modal) {
        seen = true;
        qobject_cast<QDialog *>(modal)->reject();
    });
    QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("m_Button_OpenPicFile")), Qt::LeftButton);
    QVERIFY(seen);
    QVERIFY(image->Picture().IsEmpty());

    QString problem = QStringLiteral("no dialog");
    WhenModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog || dialog->objectName() != QLatin1String("m_OpenDialog")) {
            problem = QStringLiteral("not the open dialog");
        } else if (dialog->nameFilters() !=
                   QStringList{"JPEG图片 (*.JPG)", "ICON图标 (*.ICO)", "BMP图片 (*.BMP)"}) {
            problem = dialog->nameFilters().join(QLatin1String(" | "));
        } else if (dialog->selectedNameFilter() != QStringLiteral("JPEG图片 (*.JPG)")) {
            problem = QStringLiteral("selected filter ") + dialog->selectedNameFilter();
        } else if (dialog->fileMode() != QFileDialog::ExistingFile || (dialog->filter() & QDir::CaseSensitive)) {
            problem = QStringLiteral("file mode or case-sensitive matching");
        } else {
            problem.clear();
        }
        // Pick the file once the dialog has listed the folder (it lists in the background), and
        // see that the capital pattern lets the lower-case name through.
        auto *model = modal->findChild<QFileSystemModel *>();
        const bool listed = model && QTest::qWaitFor([&] { return model->index(path).isValid(); }, 3000);
        if (problem.isEmpty() && !(listed && (model->index(path).flags() & Qt::ItemIsEnabled)))
            problem = QStringLiteral("the file is not offered");
        // Typed into the file name box: selectFile() leaves the box alone while it has the focus.
        if (auto *edit = modal->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            edit->setText(path);
        else
            problem = QStringLiteral("no file name box");
        static_cast<QDialog *>(modal)->accept();
    });
    QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("m_Button_OpenPicFile")), Qt::LeftButton);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QCOMPARE(image->size(), QSize(90, 60));
    QVERIFY(w->findChild<QComboBox *>(QStringLiteral("Scale"))->isEnabled());
}

void TestViewerWindow::printButtonPopsMenuBelowItself()
{
    const TJPEGImage jpeg = JpegOf(MakeJpeg(320, 240));
    Tm_GLOPictureViewDlg *w = Open(&jpeg);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    auto *button = w->findChild<QPushButton *>(QStringLiteral("m_Button_Print"));
    QTest::mouseClick(button, Qt::LeftButton);
    auto *menu = w->findChild<QMenu *>(QStringLiteral("m_PopupMenu_Print"));
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(menu->pos(), button->mapToGlobal(QPoint(0, button->height())));
    menu->close();
}

void TestViewerWindow::printsSquarePictureFittedToPage_data()
{
    QTest::addColumn<bool>("landscape");
    QTest::newRow("portrait page: fills the width") << false;
    QTest::newRow("landscape page: reduced to the height") << true;
}

void TestViewerWindow::printsSquarePictureFittedToPage()
{
    QFETCH(bool, landscape);

    const QColor colour(30, 90, 200);
    const TJPEGImage jpeg = JpegOf(SolidJpeg(300, 300, colour));
    Tm_GLOPictureViewDlg *w = Open(&jpeg);
    QPrinter &printer = w->Printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(m_dir->filePath(QStringLiteral("square.pdf")));
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(12, 15, 12, 15), QPageLayout::Millimeter);
    QCOMPARE(printer.copyCount(), 1);

    QString problem = QStringLiteral("no dialog");
    WhenModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<QPrintDialog *>(modal);
        if (!dialog || dialog->objectName() != QLatin1String("m_PrintDialog"))
            problem = QStringLiteral("not the print dialog");
        else if (dialog->testOption(QAbstractPrintDialog::PrintPageRange) ||
                 dialog->testOption(QAbstractPrintDialog::PrintSelection))
            problem = QStringLiteral("page range or selection offered");
        else
            problem.clear();
        if (dialog)
            dialog->accept();
    });
    auto *print = w->findChild<QAction *>(QStringLiteral("N1"));
    print->trigger();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QVERIFY(QFile::exists(printer.outputFileName()));

    const QRect paint = printer.pageRect(QPrinter::DevicePixel).toRect();
    const int side = qMin(paint.width(), paint.height());
    QCOMPARE(side, landscape ? paint.height() : paint.width());

    const int dpi = 40;
    const QImage page = RenderPdf(printer.outputFileName(), dpi);
    if (page.isNull())
        QSKIP("pdftoppm is not installed");
    const double s = double(dpi) / printer.resolution();
    QCOMPARE(page.width() > page.height(), landscape);
    // The picture covers [left, left + side) x [top, top + side) of the paper, in device pixels.
    auto at = [&](double x, double y) { return page.pixel(int(x * s), int(y * s)); };
    const double left = paint.left(), top = paint.top();
    const double inset = side * 0.03;
    QVERIFY(Near(at(left + inset, top + inset), colour, 30));
    QVERIFY(Near(at(left + side - inset, top + inset), colour, 30));
    QVERIFY(Near(at(left + inset, top + side - inset), colour, 30));
    QVERIFY(Near(at(left + side - inset, top + side - inset), colour, 30));
    const QColor white(255, 255, 255);
    QVERIFY(Near(at(left / 2, top + inset), white, 10));                // left margin
    QVERIFY(Near(at(left + inset, top / 2), white, 10));                // top margin
    if (landscape)
        QVERIFY(Near(at(left + side + inset, top + inset), white, 10)); // beside it
    else
        QVERIFY(Near(at(left + inset, top + side + inset), white, 10)); // below it
}

void TestViewerWindow::printerSetupAppliesToNextPrint()
{
    const TJPEGImage jpeg = JpegOf(SolidJpeg(200, 100, Qt::darkGreen));
    Tm_GLOPictureViewDlg *w = Open(&jpeg);
    QPrinter &printer = w->Printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(m_dir->filePath(QStringLiteral("setup.pdf")));
    printer.setPageOrientation(QPageLayout::Portrait);

    QString problem = QStringLiteral("no dialog");
    WhenModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<QPageSetupDialog *>(modal);
        auto *landscape = modal->findChild<QRadioButton *>(QStringLiteral("landscape"));
        if (!dialog || dialog->objectName() != QLatin1String("m_PrinterSetupDialog") || !landscape) {
            problem = QStringLiteral("not the printer setup dialog");
        } else {
            problem.clear();
            landscape->click();
        }
        qobject_cast<QDialog *>(modal)->accept();
    });
    w->findChild<QAction *>(QStringLiteral("N4"))->trigger();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);

    WhenModal([](QWidget *modal) { qobject_cast<QDialog *>(modal)->accept(); });
    w->Print1Click();
    const QImage page = RenderPdf(printer.outputFileName(), 20);
    if (page.isNull())
        QSKIP("pdftoppm is not installed");
    QVERIFY(page.width() > page.height());
}

void TestViewerWindow::printWithoutPictureOrCancelledPrintsNothing()
{
    Tm_GLOPictureViewDlg *empty = Open(nullptr);
    empty->Printer().setOutputFormat(QPrinter::PdfFormat);
    empty->Printer().setOutputFileName(m_dir->filePath(QStringLiteral("empty.pdf")));
    bool dialogShown = false;
    WhenModal(
        [&](QWidget *modal) {
            dialogShown = true;
            qobject_cast<QDialog *>(modal)->reject();
        },
        300);
    empty->Print1Click();
    QTest::qWait(400);
    QVERIFY(!dialogShown);
    QVERIFY(!QFile::exists(empty->Printer().outputFileName()));

    const TJPEGImage jpeg = JpegOf(MakeJpeg(64, 64));
    Tm_GLOPictureViewDlg *w = Open(&jpeg);
    w->Printer().setOutputFormat(QPrinter::PdfFormat);
    w->Printer().setOutputFileName(m_dir->filePath(QStringLiteral("cancelled.pdf")));
    WhenModal([&](QWidget *modal) {
        dialogShown = true;
        qobject_cast<QDialog *>(modal)->reject();
    });
    w->Print1Click();
    QVERIFY(dialogShown);
    QVERIFY(!QFile::exists(w->Printer().outputFileName()));
}

void TestViewerWindow::failedDrawingStillEndsPrintJob()
{
    const TFailingGraphic failing;
    Tm_GLOPictureViewDlg *w = Open(&failing);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(m_dir->filePath(QStringLiteral("failed.pdf")));

    QVERIFY_THROWS_EXCEPTION(TavelinError, w->PrintPicture(printer));
    QVERIFY(printer.printerState() != QPrinter::Active);
    QFile pdf(printer.outputFileName());
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.readAll().trimmed().endsWith("%%EOF")); // the job was ended, the file is complete
}

void TestViewerWindow::printFailureReachesErrorReport()
{
    const TFailingGraphic failing;
    Tm_GLOPictureViewDlg *w = Open(&failing);
    w->Printer().setOutputFormat(QPrinter::PdfFormat);
    w->Printer().setOutputFileName(m_dir->filePath(QStringLiteral("reported.pdf")));
    QStringList reported;
    SetStandardErrorSink([&](const QString &message) { reported << message; });
    WhenModal([](QWidget *modal) { qobject_cast<QDialog *>(modal)->accept(); });

    // Chosen from the menu: the command runs from the event loop, as a click on the item does.
    QMetaObject::invokeMethod(w->findChild<QAction *>(QStringLiteral("N1")), "trigger", Qt::QueuedConnection);
    QTRY_COMPARE(reported, QStringList{QStringLiteral("the picture data is damaged")});
    SetStandardErrorSink(nullptr);
    QCOMPARE(w->Printer().printerState(), QPrinter::Idle);
    QFile pdf(w->Printer().outputFileName());
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.readAll().trimmed().endsWith("%%EOF"));
}

void TestViewerWindow::windowsAndCallerAreIndependent()
{
    const TJPEGImage preview = JpegOf(MakeJpeg(320, 240));
    Tm_GLOPictureViewDlg *first = Open(&preview);
    Tm_GLOPictureViewDlg *second = Open(&preview);

    first->findChild<QComboBox *>(QStringLiteral("Scale"))->setCurrentIndex(1);
    first->findChild<QComboBox *>(QStringLiteral("ColorSpace"))->setCurrentIndex(1);
    first->findChild<QComboBox *>(QStringLiteral("Performance"))->setCurrentIndex(1);

    auto *firstJpeg = dynamic_cast<TJPEGImage *>(first->findChild<TImage *>(QStringLiteral("m_Image"))->Picture().Graphic());
    auto *secondJpeg = dynamic_cast<TJPEGImage *>(second->findChild<TImage *>(QStringLiteral("m_Image"))->Picture().Graphic());
    QVERIFY(firstJpeg && secondJpeg);
    QCOMPARE(firstJpeg->Width(), 160);
    QVERIFY(firstJpeg->Grayscale());
    QCOMPARE(firstJpeg->Performance(), TJPEGPerformance::jpBestSpeed);

    QCOMPARE(secondJpeg->Width(), 320);
    QVERIFY(!secondJpeg->Grayscale());
    QCOMPARE(secondJpeg->Performance(), TJPEGPerformance::jpBestQuality);
    QVERIFY(!IsGrey(secondJpeg->Image().pixel(160, 120)));
    QCOMPARE(second->findChild<QComboBox *>(QStringLiteral("Scale"))->currentIndex(), 0);

    QCOMPARE(preview.Width(), 320);
    QVERIFY(!preview.Grayscale());
    QCOMPARE(preview.Scale(), TJPEGScale::jsFullSize);
    QCOMPARE(firstJpeg->CompressedData(), preview.CompressedData());

    // The caller may discard its picture once the window has its copy.
    auto discarded = std::make_unique<TJPEGImage>(JpegOf(MakeJpeg(100, 80)));
    Tm_GLOPictureViewDlg *third = Open(discarded.get());
    discarded.reset();
    QCOMPARE(third->findChild<TImage *>(QStringLiteral("m_Image"))->Picture().Graphic()->Image().size(), QSize(100, 80));
}

void TestViewerWindow::constructorSwallowsFailures()
{
    // A picture that fails when drawn still gives a fitted window with disabled lists.
    const TFailingGraphic failing;
    Tm_GLOPictureViewDlg *w = Open(&failing);
    QCOMPARE(w->frameGeometry().size(), QSize(120 + 15, CaptionHeight() + 80 + 27 + 15));
    QVERIFY(!w->findChild<QComboBox *>(QStringLiteral("Scale"))->isEnabled());
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w)); // painting the failing picture does not stop the window
}

void TestViewerWindow::exitAndCloseDestroyWindow()
{
    const TJPEGImage jpeg = JpegOf(MakeJpeg(64, 48));
    QPointer<Tm_GLOPictureViewDlg> w = Open(&jpeg);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("m_Button_Exit")), Qt::LeftButton);
    QVERIFY(w); // closed only after the click has been handled
    QVERIFY(w->isVisible());
    QTRY_VERIFY(w.isNull());

    QPointer<Tm_GLOPictureViewDlg> other = Open(&jpeg);
    other->show();
    QVERIFY(QTest::qWaitForWindowExposed(other));
    QVERIFY(other->close()); // the title bar's close box
    QTRY_VERIFY(other.isNull());
}

int main(int argc, char **argv)
{
    // The program's application object: its error report is where a failed print ends up.
    TTavelinApplication app(argc, argv);
    TestViewerWindow tc;
    return QTest::qExec(&tc, argc, argv);
}
#include "test_viewer_window.moc"
