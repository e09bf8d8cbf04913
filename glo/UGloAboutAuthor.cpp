#include "glo/UGloAboutAuthor.h"

#include "glo/GloResources.h"
#include "platform/FontSetup.h"
#include "platform/WinConstants.h"
#include "widgets/AccessibleFactory.h"
#include "widgets/LabelFitting.h"
#include "widgets/TAnchors.h"
#include "widgets/WindowPlacement.h"

#include <QCloseEvent>
#include <QWindow>

Tm_GloAboutAuthor::Tm_GloAboutAuthor(QWidget *owner, int majorVersion, int minorVersion, const QString &captionText,
                                     const QString &aboutText, bool splash)
    : QDialog(owner), m_bSplash(splash)
{
    EnsureGloResources();
    InstallAccessibleFactory();
    setupUi(this);
    // No title bar and no border: the user can neither move nor resize it.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFont(SongFont(12));
    QFont captionFont = SongFont(12);
    captionFont.setBold(true);
    m_Label_Caption->setFont(captionFont);
    setFixedSize(347, 349);
    for (QLabel *label : {m_Label_Caption, m_Label_Version, Label3, Label5})
        FitSingleLineLabel(label);

    // The panel and the background picture follow the window's height; everything else stays put.
    TAnchors::Anchor(Panel1, akLeft | akTop | akRight | akBottom);
    TAnchors::Anchor(Image3, akLeft | akTop | akRight | akBottom);

    connect(m_Button_OK, &QPushButton::clicked, this, &Tm_GloAboutAuthor::m_Button_OKClick);
    connect(m_Button_About, &QPushButton::clicked, this, &Tm_GloAboutAuthor::m_Button_AboutClick);

    // The text comes with CR LF line ends; the label breaks lines at LF alone.
    m_Label_Memo->setText(QString(aboutText).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    m_Label_Caption->setText(captionText);
    m_Label_Version->setText(VersionLine(majorVersion, minorVersion));
    // The pictures that carry meaning are named for a screen reader; the strip and the background
    // are decoration.
    Image1->setAccessibleName(QStringLiteral("Corvale 横幅"));
    m_ImageIcon->setAccessibleName(QStringLiteral("%1 图标").arg(captionText));

    SetHeight(height() - m_Label_Memo->height() - 25);
    m_bExpanded = false;

    if (splash) {
        m_Button_OK->hide();
        m_Button_About->hide();
        m_Button_OK->setEnabled(false);
        m_Button_About->setEnabled(false);
    }
}

QString Tm_GloAboutAuthor::VersionLine(int majorVersion, int minorVersion)
{
    return QStringLiteral("版本:%1.%2").arg(majorVersion).arg(minorVersion);
}

void Tm_GloAboutAuthor::SetHeight(int h)
{
    // The window keeps its top edge and grows or shrinks at the bottom. Its native window is given
    // the place along with the size: under a window manager that reparents it, the native window's
    // own idea of its place can lag behind the widget's, and a change of size alone would then
    // carry the window to that stale place (the screen's corner).
    if (isVisible() && windowHandle()) {
        m_Place = pos();
        m_nPlaceCorrections = 0;
        windowHandle()->setGeometry(QRect(m_Place, QSize(width(), h)));
    }
    setFixedSize(width(), h);
    TAnchors::Apply(this);
    TAnchors::Apply(Panel1);
    // What the shorter window cuts off is not there for a screen reader either.
    m_Label_Memo->setVisible(m_Label_Memo->geometry().top() < Panel1->height());
    Bevel1->setVisible(Bevel1->geometry().top() < Panel1->height());
}

void Tm_GloAboutAuthor::m_Button_AboutClick()
{
    if (m_bExpanded) {
        SetHeight(height() - m_Label_Memo->height() - 25);
        m_Button_About->setText(QStringLiteral("关于>>"));
    } else {
        SetHeight(m_Label_Memo->height() + height() + 25);
        m_Button_About->setText(QStringLiteral("关于<<"));
    }
    m_bExpanded = !m_bExpanded;
}

void Tm_GloAboutAuthor::m_Button_OKClick()
{
    done(IDOK);
}

void Tm_GloAboutAuthor::reject()
{
    if (m_Button_OK->isVisible() && m_Button_OK->isEnabled())
        m_Button_OK->click();
}

void Tm_GloAboutAuthor::closeEvent(QCloseEvent *event)
{
    if (m_bSplash) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void Tm_GloAboutAuthor::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    CentreOverMainForm(this);
    m_Place = pos();
    m_bPlaced = true;
    m_nPlaceCorrections = 0;
}

bool Tm_GloAboutAuthor::event(QEvent *e)
{
    const bool handled = QDialog::event(e);
    // Nobody can move a window without a border; if its native window turns up elsewhere (a
    // reparenting window manager's stale place, the screen's corner), it goes back, a few times at
    // most so that a manager that insists is not fought forever.
    if (m_bPlaced && (e->type() == QEvent::Move || e->type() == QEvent::Resize) && isVisible() && windowHandle()
        && windowHandle()->position() != m_Place && m_nPlaceCorrections < 3) {
        ++m_nPlaceCorrections;
        windowHandle()->setPosition(m_Place);
    }
    return handled;
}
