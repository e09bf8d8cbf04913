#include "widgets/WindowPlacement.h"

#include "widgets/ApplicationMainForm.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

QPoint CentredTopLeft(QSize frameSize, const QRect &over, const QRect &desktop)
{
    int x = over.left() + (over.width() - frameSize.width()) / 2;
    int y = over.top() + (over.height() - frameSize.height()) / 2;
    x = std::max(x, desktop.left());
    y = std::max(y, desktop.top());
    return QPoint(x, y);
}

QPoint CentredOverMainOrScreen(QSize frameSize, const QRect &mainFrame, const QRect &screen)
{
    return CentredTopLeft(frameSize, mainFrame.isNull() ? screen : mainFrame, screen);
}

void CentreOverMainForm(QWidget *window)
{
    QWidget *main = ApplicationMainForm();
    const bool overMain = main && main->isVisible() && main != window;
    QScreen *screen = overMain ? main->screen() : nullptr;
    if (!screen)
        screen = window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // Before the first show the frame is not known yet; the client size is the best estimate.
    const QSize size = window->isVisible() ? window->frameGeometry().size() : window->size();
    window->move(CentredOverMainOrScreen(size, overMain ? main->frameGeometry() : QRect(), screen->geometry()));
}
