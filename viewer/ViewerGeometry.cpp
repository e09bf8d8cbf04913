#include "viewer/ViewerGeometry.h"

#include <algorithm>

TViewerFit FitViewerWindow(QSize picture, int screenRight, int screenBottom, int captionHeight, int toolBarHeight)
{
    int w = picture.width();
    int h = picture.height();
    const int reserve = captionHeight + toolBarHeight + 30;
    // The width gives up the same share of the screen as the height does.
    const int availableHeight = std::max(1, screenBottom - reserve);
    const int availableWidth =
        std::max(1, screenRight - int(double(screenRight) / double(std::max(1, screenBottom)) * reserve));

    if (w > 0 && h > 0) {
        // The ratio is kept in single precision, as the window has always done; the divisions
        // below are carried out wider and truncated.
        const float ratio = float(w) / float(h);
        if (w > availableWidth) {
            w = availableWidth;
            h = int(double(w) / double(ratio));
        }
        if (h > availableHeight) {
            h = availableHeight;
            w = int(double(h) * double(ratio));
        }
    }
    TViewerFit fit;
    fit.picture = QSize(w, h);
    fit.window = QSize(w + 15, captionHeight + h + toolBarHeight + 15);
    return fit;
}

QPoint CentreViewerWindow(QSize window, int screenRight, int screenBottom)
{
    // Integer division truncates toward zero, also for a window wider than the screen.
    return QPoint((screenRight - window.width()) / 2, (screenBottom - window.height()) / 2);
}

QRect PrintTargetRect(QSize picture, QSize printable)
{
    if (picture.width() <= 0 || picture.height() <= 0 || printable.width() <= 0 || printable.height() <= 0)
        return QRect();
    // Every value is held in single precision; picture pixels are compared with device pixels.
    const float pw = float(printable.width());
    const float ph = float(printable.height());
    float w = float(picture.width());
    float h = float(picture.height());
    const float ratio = w / h;

    if (pw > w && ph > h) { // enlarge, landscape (and square) by the width first
        if (w >= h) {
            w = pw;
            h = w / ratio;
        } else {
            h = ph;
            w = h * ratio;
        }
    }
    if (pw < w) {
        w = pw;
        h = w / ratio;
    }
    if (ph < h) {
        h = ph;
        w = h * ratio;
    }
    return QRect(0, 0, int(w), int(h));
}
