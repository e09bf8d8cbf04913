#include "widgets/TCentredMessageBox.h"

#include "widgets/WindowPlacement.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

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
    // The box has its final size only now. Placed from the owner's widget geometry, which is right
    // even when a reparenting window manager has left the owner's native window a stale place (a
    // box placed by the toolkit over such an owner lands in the screen's corner).
    QMessageBox::showEvent(event);
    const QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
    const bool overOwner = owner && owner->isVisible();
    QScreen *screen = overOwner ? owner->screen() : this->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    move(CentredTopLeft(size(), overOwner ? owner->frameGeometry() : screen->geometry(), screen->geometry()));
}
