#pragma once
// Where a window of a given outer size goes when it is centred over another rectangle (the main
// window, or the screen), kept off the desktop's left and top edges so its title stays reachable.
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

QPoint CentredTopLeft(QSize frameSize, const QRect &over, const QRect &desktop);

// The top-left corner of a window centred over the shown main window (mainFrame), or over the whole
// screen when there is none (mainFrame null): the screen, not its work area, so a side panel does
// not shift it. Either way it stays off the screen's left and top edges.
QPoint CentredOverMainOrScreen(QSize frameSize, const QRect &mainFrame, const QRect &screen);

// Moves a top-level window centred over the application's main window, or over the screen when
// there is no visible main window.
void CentreOverMainForm(QWidget *window);
