#pragma once
// An icon whose pictures are read only when one is first needed: building the real icon decodes
// every size of it, which a start-up on a window system that never asks for it would pay for
// nothing. Once asked, it answers exactly as the real icon does.
#include <QIcon>
#include <QIconEngine>

#include <functional>

class TDeferredIconEngine final : public QIconEngine {
public:
    explicit TDeferredIconEngine(std::function<QIcon()> make);

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    bool isNull() override;
    QString key() const override;
    QIconEngine *clone() const override;

private:
    const QIcon &Icon();

    std::function<QIcon()> m_make;
    QIcon m_icon;
    bool m_made = false;
};
