#include "widgets/TAnchors.h"

#include <QEvent>
#include <QWidget>

TAnchors::TAnchors(QWidget *parent) : QObject(parent), m_parent(parent)
{
    setObjectName(QStringLiteral("TAnchors"));
    parent->installEventFilter(this);
}

void TAnchors::Anchor(QWidget *child, TAnchorSet anchors)
{
    QWidget *parent = child->parentWidget();
    if (!parent)
        return;
    auto *keeper = parent->findChild<TAnchors *>(QStringLiteral("TAnchors"), Qt::FindDirectChildrenOnly);
    if (!keeper)
        keeper = new TAnchors(parent); // owned by parent
    for (Entry &e : keeper->m_entries) {
        if (e.child == child) {
            e = Entry{child, child->geometry(), parent->size(), anchors};
            return;
        }
    }
    keeper->m_entries.append(Entry{child, child->geometry(), parent->size(), anchors});
}

void TAnchors::Apply(QWidget *parent)
{
    if (auto *keeper = parent->findChild<TAnchors *>(QStringLiteral("TAnchors"), Qt::FindDirectChildrenOnly))
        keeper->Layout();
}

QRect TAnchors::Place(const QRect &design, QSize designParent, QSize now, TAnchorSet anchors)
{
    const int dw = now.width() - designParent.width();
    const int dh = now.height() - designParent.height();
    int x = design.x(), y = design.y(), w = design.width(), h = design.height();
    if ((anchors & akLeft) && (anchors & akRight))
        w += dw;
    else if (anchors & akRight)
        x += dw;
    if ((anchors & akTop) && (anchors & akBottom))
        h += dh;
    else if (anchors & akBottom)
        y += dh;
    return QRect(x, y, std::max(w, 0), std::max(h, 0));
}

void TAnchors::Layout()
{
    for (const Entry &e : std::as_const(m_entries)) {
        if (e.child)
            e.child->setGeometry(Place(e.design, e.designParent, m_parent->size(), e.anchors));
    }
}

bool TAnchors::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_parent && event->type() == QEvent::Resize)
        Layout();
    return QObject::eventFilter(watched, event);
}
