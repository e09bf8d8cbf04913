#include "picture/TImage.h"

#include <QMouseEvent>
#include <QPainter>

TImage::TImage(QWidget *parent) : QWidget(parent) {}

void TImage::SetPicture(const TPicture &picture)
{
    m_picture = picture;
    PictureChanged();
}

void TImage::AssignGraphic(const TGraphic *graphic)
{
    m_picture.Assign(graphic);
    PictureChanged();
}

void TImage::ClearPicture()
{
    m_picture.Clear();
    PictureChanged();
}

void TImage::PictureChanged()
{
    if (m_autoSize) {
        int w = 0, h = 0;
        try {
            w = m_picture.Width();
            h = m_picture.Height();
        } catch (...) {
        }
        resize(w, h);
    }
    updateGeometry();
    update();
}

void TImage::SetStretch(bool stretch)
{
    m_stretch = stretch;
    update();
}

void TImage::SetAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    PictureChanged();
}

QSize TImage::sizeHint() const
{
    if (m_autoSize && !m_picture.IsEmpty())
        return QSize(m_picture.Width(), m_picture.Height());
    return QWidget::sizeHint();
}

void TImage::paintEvent(QPaintEvent *)
{
    if (m_picture.IsEmpty())
        return;
    QPainter p(this);
    const QRect target = m_stretch ? rect() : QRect(0, 0, m_picture.Width(), m_picture.Height());
    try {
        m_picture.Graphic()->Draw(p, target);
    } catch (...) {
        // A picture whose data fails while decoding shows as empty; painting must go on.
    }
}

void TImage::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QWidget::mouseReleaseEvent(event);
}
