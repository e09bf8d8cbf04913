#pragma once
// The viewer's fixed arithmetic: fitting its window to a picture within the work area, and
// fitting a picture to the printable area of a page. Kept free of widgets so it can be checked
// on exact figures.
#include <QPoint>
#include <QRect>
#include <QSize>

struct TViewerFit {
    QSize picture; // the part of the picture the window shows at once
    QSize window;  // outer size of the window, border and caption included
};

// Fits the window to a picture shown at its own size. screenRight and screenBottom are the right
// and bottom edges of the work area; the window never exceeds the available area but keeps the
// picture's aspect ratio (the picture itself is never scaled: the rest scrolls).
TViewerFit FitViewerWindow(QSize picture, int screenRight, int screenBottom, int captionHeight, int toolBarHeight);

// Top-left corner that centres a window of the given outer size on the work area.
QPoint CentreViewerWindow(QSize window, int screenRight, int screenBottom);

// The largest rectangle with the picture's aspect ratio that fits the printable area, at its
// top-left corner (a square picture is treated as landscape). Empty for an empty picture.
QRect PrintTargetRect(QSize picture, QSize printable);
