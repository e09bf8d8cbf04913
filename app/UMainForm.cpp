#include "app/UMainForm.h"

#include "app/EndSessionRequest.h"
#include "app/SessionManagerRequest.h"
#include "app/TavelinAboutText.h"
#include "glo/GloResources.h"
#include "glo/GlobalObjects.h"
#include "glo/UGloAboutAuthor.h"
#include "platform/ErrorReport.h"
#include "platform/FontSetup.h"
#include "platform/TCanvas.h"
#include "platform/TColorRef.h"
#include "platform/WinConstants.h"
#include "widgets/AccessibleFactory.h"
#include "widgets/TAnchors.h"
#include "widgets/TPaintBox.h"
#include "widgets/TStatusBar.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QGuiApplication>
#include <QShortcut>

#include <exception>

// Resources of a static library are registered by hand; the name cannot sit in a namespace.
static void InitShellResources()
{
    Q_INIT_RESOURCE(shell);
}

namespace {

// Colours as the layout stores them (red in the low byte).
constexpr TColor kButtonBarColor = 15455187;
constexpr TColor kRightPanelColor = 16381944;
constexpr TColor kButtonBarEndColor = 15793151;
constexpr TColor kSeparatorEndColor = 13670809;
constexpr TColor kStatusStartColor = 16772846;
constexpr TColor kStatusEndColor = 16747660;

// The page control's tabs exist but take one pixel each and show no caption.
const char *const kHiddenTabsStyle = "QTabBar::tab { width: 1px; height: 1px; min-width: 1px; padding: 0px;"
                                     " margin: 0px; border: none; }";

void SetPanelColour(QWidget *w, TColor colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, ColorRefToQColor(colour));
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

QStringList MakeAdTexts()
{
    return {
        QStringLiteral("Corvale医学软件: 用图片读懂医学。"),
        QStringLiteral("Tavelin收录中药、针灸、望诊、解剖与临床五类图谱。"),
        QStringLiteral("杂项图谱可以导入你自己的JPEG图片,按类别整理保存。"),
        QStringLiteral("双击列表中的条目,即可显示它的全部缩略图。"),
        QStringLiteral("在搜索框中输入名称的一部分,列表随输入即时筛选。"),
        QStringLiteral("点击缩略图放大预览,还可在单独窗口中查阅和打印图片。"),
        QStringLiteral("Corvale影像图库: 整理与检索你自己的医学影像资料。"),
        QStringLiteral("Corvale临床教学助手: 病例讲解与课堂演示的好帮手。"),
        QStringLiteral("Corvale方剂速查: 常用方剂的组成、功用与加减一查即得。"),
        QStringLiteral("Corvale经络穴位练习: 取穴定位的自测与复习。"),
        QStringLiteral("Corvale医学词典: 中西医常用术语对照。"),
        QStringLiteral("Corvale医学软件家族,伴你从课堂走向临床。"),
        QStringLiteral("欢迎访问 www.corvale.example 了解Corvale的全部软件。"),
        QStringLiteral("有建议或发现问题? 请写信至 support@corvale.example。"),
        QStringLiteral("Corvale的软件专为医学生、教师与临床医生设计。"),
        QStringLiteral("图谱中的图片仅供学习参考,诊疗请遵医嘱。"),
        QStringLiteral("单独窗口中的图片可以缩放、灰度显示并按纸张大小打印。"),
        QStringLiteral("Corvale持续充实图谱内容,敬请关注新的版本。"),
        QStringLiteral("Tavelin(正式版) —— Corvale医学软件出品。"),
    };
}

} // namespace

Tm_FormMain::Tm_FormMain(QWidget *parent) : QWidget(parent), m_Timer_DisplayAd(new QTimer(this))
{
    InitShellResources();
    // A screen reader presents the main window as a window, not as a plain client area.
    RegisterAccessibleRole(staticMetaObject.className(), QAccessible::Window);
    setupUi(this);
    setObjectName(QStringLiteral("m_FormMain"));
    m_Frame_ZY.Place(m_Layout_ZY, QStringLiteral("m_Frame_ZY"));
    m_Frame_ZYWZ.Place(m_Layout_ZYWZ, QStringLiteral("m_Frame_ZYWZ"));
    m_Frame_XYLC.Place(m_Layout_XYLC, QStringLiteral("m_Frame_XYLC"));
    m_Frame_ZXTP.Place(m_Layout_ZXTP, QStringLiteral("m_Frame_ZXTP"));
    m_Frame_XYJP.Place(m_Layout_XYJP, QStringLiteral("m_Frame_XYJP"));
    m_Frame_ZYZJ.Place(m_Layout_ZYZJ, QStringLiteral("m_Frame_ZYZJ"));
    m_Timer_DisplayAd->setObjectName(QStringLiteral("m_Timer_DisplayAd"));
    m_Timer_DisplayAd->setInterval(8000);
    SetUpLook();
    SetUpStatusBar();
    SetUpAnchors();
    ConnectEvents();
    FormCreate();
}

Tm_FormMain::~Tm_FormMain() = default;

void Tm_FormMain::SetUpLook()
{
    setFont(SongFont(12));
    // The window shows the application's icon, set before any window is made. Set here as well,
    // it would be decoded at once: a window's icon is checked for pictures when it is set.
    resize(792, 546);
    ApplyMinimumSize();

    SetPanelColour(m_Panel_Left, kButtonBarColor);
    SetPanelColour(m_Panel_Right, kRightPanelColor);
    m_PageControl->tabBar()->setStyleSheet(QString::fromLatin1(kHiddenTabsStyle));
    m_PageControl->tabBar()->setDrawBase(false);
    m_PageControl->tabBar()->setExpanding(false);
    m_PageControl->setCurrentWidget(m_TabSheet_Main);
    NamePages();

    // The start page: a light page under the banner, a heading and the maker's family of programs.
    SetPanelColour(m_TabSheet_Main, kRightPanelColor);
    QFont heading = SongFont(20);
    heading.setBold(true);
    Label7->setFont(heading);
    Label7->setStyleSheet(QStringLiteral("color: #1e3c8c;"));
    QFont family = SongFont(14);
    family.setBold(true);
    Label4->setFont(family);
    Label4->setStyleSheet(QStringLiteral("color: #8c1e1e;"));
    for (QLabel *item : {Label8, Label9, Label10, Label11, Label1, Label6}) {
        item->setFont(SongFont(13));
        item->setStyleSheet(QStringLiteral("color: #283250;"));
    }
    for (QLabel *contact : {Label3, Label5})
        contact->setStyleSheet(QStringLiteral("color: #283250;"));
}

void Tm_FormMain::NamePages()
{
    // The tabs show no caption, but a screen reader that lands on one, or on a page, names it after
    // its atlas button.
    const std::pair<QWidget *, QString> pages[] = {
        {m_TabSheet_Main, QStringLiteral("起始页")},   {m_TabSheet_ZY, SpeedButton8->text()},
        {m_TabSheet_ZYWZ, SpeedButton3->text()},    {m_TabSheet_XYLC, SpeedButton6->text()},
        {m_TabSheet_ZXTP, SpeedButton7->text()},    {m_TabSheet_XYJP, SpeedButton4->text()},
        {m_TabSheet_ZYZJ, SpeedButton1->text()},
    };
    for (const auto &[page, name] : pages) {
        page->setAccessibleName(name);
        m_PageControl->tabBar()->setAccessibleTabName(m_PageControl->indexOf(page), name);
    }
}

void Tm_FormMain::SetUpStatusBar()
{
    TStatusPanel product;
    product.Text = QStringLiteral("Tavelin(正式版)");
    product.Width = 200;
    product.Bevel = TStatusPanelBevel::pbNone;
    TStatusPanel ad;
    ad.Text = QStringLiteral("感谢你对Corvale医学软件的支持!");
    ad.Bevel = TStatusPanelBevel::pbLowered;
    m_StatusBar_Main->SetPanels({product, ad});
}

void Tm_FormMain::SetUpAnchors()
{
    // Anchors remember the layout's geometry against the parent's design size.
    m_Panel_Left->resize(121, 527);
    TAnchors::Anchor(PaintBox5, akLeft | akTop | akRight | akBottom);
    TAnchors::Anchor(PaintBox4, akLeft | akBottom);
    TAnchors::Anchor(SpeedButton2, akLeft | akBottom);

    m_TabSheet_Main->resize(661, 516);
    TAnchors::Anchor(Image1, akLeft | akTop | akRight);
    TAnchors::Anchor(Label7, akLeft | akTop | akRight);
    TAnchors::Anchor(Label3, akRight | akBottom);
    TAnchors::Anchor(Label5, akRight | akBottom);
    TAnchors::Anchor(Image2, akRight | akBottom);
}

void Tm_FormMain::ConnectEvents()
{
    connect(SpeedButton8, &QToolButton::clicked, this, &Tm_FormMain::SpeedButton8Click);
    connect(SpeedButton1, &QToolButton::clicked, this, &Tm_FormMain::SpeedButton1Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &Tm_FormMain::SpeedButton3Click);
    connect(SpeedButton4, &QToolButton::clicked, this, &Tm_FormMain::SpeedButton4Click);
    connect(SpeedButton6, &QToolButton::clicked, this, &Tm_FormMain::SpeedButton6Click);
    connect(SpeedButton7, &QToolButton::clicked, this, &Tm_FormMain::SpeedButton7Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &Tm_FormMain::SpeedButton2Click);
    connect(Image1, &TImageLabel::clicked, this, &Tm_FormMain::Image1Click);
    connect(m_PageControl, &QTabWidget::currentChanged, this, &Tm_FormMain::OnCurrentPageChanged);
    connect(m_Timer_DisplayAd, &QTimer::timeout, this, &Tm_FormMain::m_Timer_DisplayAdTimer);
    connect(m_StatusBar_Main, &TStatusBar::OnDrawPanel, this, &Tm_FormMain::m_StatusBar_MainDrawPanel);
    connect(PaintBox5, &TPaintBox::OnPaint, this, &Tm_FormMain::PaintBox5Paint);
    for (TPaintBox *separator : {PaintBox1, PaintBox2, PaintBox4})
        connect(separator, &TPaintBox::OnPaint, this, &Tm_FormMain::PaintBox1Paint);

    // Keyboard page switching while the focus is anywhere inside the page control. A shortcut comes
    // before the focused widget, so a grid that uses Tab itself cannot swallow it.
    const auto stepper = [this](QKeySequence keys, int delta) {
        auto *shortcut = new QShortcut(keys, m_PageControl);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, delta] { StepPage(delta); });
    };
    stepper(QKeySequence(Qt::CTRL | Qt::Key_Tab), 1);
    stepper(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1);
    stepper(QKeySequence(Qt::CTRL | Qt::Key_Backtab), -1);

#if QT_CONFIG(sessionmanager)
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager &manager) {
        TSessionManagerRequest request(manager);
        QueryEndSession(request);
    });
#endif
}

void Tm_FormMain::FormCreate()
{
    m_random.seed(quint32(QDateTime::currentMSecsSinceEpoch()));
    m_strAdTexts = MakeAdTexts();
    m_Timer_DisplayAd->start();
}

QSize Tm_FormMain::MinimumClientSize(QSize outer, QSize frameExtra)
{
    return QSize(qMax(0, outer.width() - qMax(0, frameExtra.width())),
                 qMax(0, outer.height() - qMax(0, frameExtra.height())));
}

void Tm_FormMain::ApplyMinimumSize()
{
    // The frame's size is known only once the window manager has framed the window.
    const QSize frameExtra = isVisible() ? frameGeometry().size() - geometry().size() : QSize(0, 0);
    const QSize minimum = MinimumClientSize(MinimumOuterSize(), frameExtra);
    if (minimumSize() != minimum)
        setMinimumSize(minimum);
}

void Tm_FormMain::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    ApplyMinimumSize();
}

void Tm_FormMain::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    ApplyMinimumSize();
}

void Tm_FormMain::SetActivePage(QWidget *page)
{
    m_bSettingPage = true;
    m_PageControl->setCurrentWidget(page);
    m_bSettingPage = false;
}

void Tm_FormMain::OnCurrentPageChanged()
{
    if (!m_bSettingPage)
        m_PageControlChange();
}

void Tm_FormMain::SpeedButton8Click()
{
    SetActivePage(m_TabSheet_ZY);
    m_PageControlChange();
}

void Tm_FormMain::SpeedButton1Click()
{
    SetActivePage(m_TabSheet_ZYZJ);
    m_PageControlChange();
}

void Tm_FormMain::SpeedButton3Click()
{
    SetActivePage(m_TabSheet_ZYWZ);
    m_PageControlChange();
}

void Tm_FormMain::SpeedButton4Click()
{
    SetActivePage(m_TabSheet_XYJP);
    m_PageControlChange();
}

void Tm_FormMain::SpeedButton6Click()
{
    SetActivePage(m_TabSheet_XYLC);
    m_PageControlChange();
}

void Tm_FormMain::SpeedButton7Click()
{
    SetActivePage(m_TabSheet_ZXTP);
    m_PageControlChange();
}

void Tm_FormMain::m_PageControlChange()
{
    QWidget *page = m_PageControl->currentWidget();
    try {
        if (page == m_TabSheet_ZY)
            m_Frame_ZY->ActivateFrame();
        else if (page == m_TabSheet_ZYWZ)
            m_Frame_ZYWZ->ActivateFrame();
        else if (page == m_TabSheet_XYLC)
            m_Frame_XYLC->ActivateFrame();
        else if (page == m_TabSheet_ZXTP)
            m_Frame_ZXTP->ActivateFrame();
        else if (page == m_TabSheet_XYJP)
            m_Frame_XYJP->ActivateFrame();
        else if (page == m_TabSheet_ZYZJ)
            m_Frame_ZYZJ->ActivateFrame();
    } catch (const std::exception &error) {
        ReportError(error);
    }
}

void Tm_FormMain::StepPage(int delta)
{
    const int count = m_PageControl->count();
    if (count < 2)
        return;
    const int next = ((m_PageControl->currentIndex() + delta) % count + count) % count;
    // A change the page control makes itself: its change event activates the frame.
    m_PageControl->setCurrentIndex(next);
}

void Tm_FormMain::SpeedButton2Click()
{
    SetActivePage(m_TabSheet_Main);
    m_PageControlChange();
    close();
}

void Tm_FormMain::FormCloseQuery(bool &CanClose)
{
    CanClose = g_FunctionSet->MsgBox(QStringLiteral("确认退出Tavelin吗?"), QStringLiteral("退出Corvale..."),
                                     MB_YESNO | MB_ICONQUESTION)
               == IDYES;
}

void Tm_FormMain::closeEvent(QCloseEvent *event)
{
    bool canClose = true;
    FormCloseQuery(canClose);
    event->setAccepted(canClose);
    if (canClose)
        emit FormClosed();
}

void Tm_FormMain::QueryEndSession(TEndSessionRequest &request)
{
    // Without leave to interact the question cannot be asked, and a silent refusal would block the
    // user's logoff for no reason the user could see.
    if (!request.AllowsInteraction())
        return;
    bool canClose = true;
    FormCloseQuery(canClose);
    if (!canClose)
        request.Cancel();
}

void Tm_FormMain::m_Timer_DisplayAdTimer()
{
    const int index = int(m_random.bounded(quint32(m_strAdTexts.size())));
    m_StatusBar_Main->SetPanelText(1, m_strAdTexts.at(index));
}

void Tm_FormMain::m_StatusBar_MainDrawPanel(TStatusBar *statusBar, int panel, const TRect &rect)
{
    const TStatusPanel &p = statusBar->Panel(panel);
    g_FunctionSet->DrawGradientPanel(statusBar->Canvas(), rect, kStatusStartColor, kStatusEndColor, false, false,
                                     true, p.Text, p.Alignment);
}

void Tm_FormMain::PaintBox5Paint(TPaintBox *sender)
{
    g_FunctionSet->DrawGradientPanel(sender->Canvas(), TRect(0, 0, sender->width(), sender->height()),
                                     kButtonBarColor, kButtonBarEndColor, false, false, false, QString(), 0);
}

void Tm_FormMain::PaintBox1Paint(TPaintBox *sender)
{
    g_FunctionSet->DrawGradientPanel(sender->Canvas(), TRect(0, 0, sender->width(), sender->height()),
                                     kButtonBarColor, kSeparatorEndColor, false, true, true, QString(), 0);
}

void Tm_FormMain::Image1Click()
{
    Tm_GloAboutAuthor about(nullptr, 1, 1, QStringLiteral("Tavelin"), TavelinAboutText(), false);
    about.exec();
}


