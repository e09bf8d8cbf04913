#include "widgets/TCentredMessageBox.h"

#include "widgets/WindowPlacement.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QWindow>

TCentredMessageBox::TCentredMessageBox(QMessageBox::Icon icon, const QString &title, const QString &text, QWidget *owner)
    : QMessageBox(QMessageBox::NoIcon, title, text, QMessageBox::NoButton, owner)
{
    setIcon(icon);
}

void TCentredMessageBox::setIcon(QMessageBox::Icon icon)
{
    QMessageBox::setIcon(icon);
    if (auto *iconLabel = findChild<QLabel *>(QStringLiteral("qt_msgboxex_icon_label")))
        iconLabel->setAccessibleName(IconName(icon));
}

QString TCentredMessageBox::IconName(QMessageBox::Icon icon)
{
    switch (icon) {
    case QMessageBox::Critical:
        return QStringLiteral("错误");
    case QMessageBox::Warning:
        return QStringLiteral("警告");
    case QMessageBox::Information:
        return QStringLiteral("信息");
    case QMessageBox::Question:
        return QStringLiteral("问题");
    default:
        return QString();
    }
}

void TCentredMessageBox::showEvent(QShowEvent *event)
{
    // The box has its final size only now. Like the platform's own box it is centred on the screen
    // its owner is on, not over the owner and not wherever the window manager would put it.
    QMessageBox::showEvent(event);
    const QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
    QScreen *screen = owner && owner->isVisible() ? owner->screen() : this->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    m_Place = CentredTopLeft(size(), screen->geometry(), screen->geometry());
    m_ScreenOrigin = screen->geometry().topLeft();
    m_nCorrections = 0;
    move(m_Place);
}

bool TCentredMessageBox::event(QEvent *e)
{
    const bool handled = QMessageBox::event(e);
    // A reparenting window manager can leave the native window a stale place, the screen's origin,
    // which the box's next change of size (it settles its size as it is shown) then carries it to.
    // A box found there without having been asked to go there is put back, a few times at most.
    if ((e->type() == QEvent::Move || e->type() == QEvent::Resize) && isVisible() && windowHandle()
        && m_nCorrections < 3 && m_Place != m_ScreenOrigin && windowHandle()->position() == m_ScreenOrigin) {
        ++m_nCorrections;
        windowHandle()->setPosition(m_Place);
    }
    return handled;
}
