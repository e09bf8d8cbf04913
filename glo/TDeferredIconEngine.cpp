#include "glo/TDeferredIconEngine.h"

#include <QPainter>

TDeferredIconEngine::TDeferredIconEngine(std::function<QIcon()> make) : m_make(std::move(make)) {}

const QIcon &TDeferredIconEngine::Icon()
{
    if (!m_made) {
        m_icon = m_make();
        m_made = true;
    }
    return m_icon;
}

void TDeferredIconEngine::paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state)
{
    Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
}

QSize TDeferredIconEngine::actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state)
{
    return Icon().actualSize(size, mode, state);
}

QPixmap TDeferredIconEngine::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state)
{
    return Icon().pixmap(size, mode, state);
}

QPixmap TDeferredIconEngine::scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale)
{
    return Icon().pixmap(size, scale, mode, state);
}

QList<QSize> TDeferredIconEngine::availableSizes(QIcon::Mode mode, QIcon::State state)
{
    return Icon().availableSizes(mode, state);
}

bool TDeferredIconEngine::isNull()
{
    return Icon().isNull();
}

QString TDeferredIconEngine::key() const
{
    return QStringLiteral("TDeferredIconEngine");
}

QIconEngine *TDeferredIconEngine::clone() const
{
    auto *copy = new TDeferredIconEngine(m_make);
    copy->m_icon = m_icon;
    copy->m_made = m_made;
    return copy;
}
