#pragma once
// Where a window of a given outer size goes when it is centred over another rectangle (the main
// window, or the screen), kept off the desktop's left and top edges so its title stays reachable.
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

QPoint CentredTopLeft(QSize frameSize, const QRect &over, const QRect &desktop);

// Moves a top-level window centred over the application's main window, or over the screen's
// available area when there is no visible main window.
void CentreOverMainForm(QWidget *window);
