#pragma once
// Edge anchoring for absolutely placed child widgets: a child keeps its distance to the parent's
// anchored edges when the parent is resized (anchored on both opposite edges it stretches).
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>

class QWidget;

enum TAnchor { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using TAnchorSet = int;

class TAnchors : public QObject {
    Q_OBJECT
public:
    // Records the child's present geometry and its parent's present size as the design state.
    // The keeper is created on first use and owned by the parent.
    static void Anchor(QWidget *child, TAnchorSet anchors);
    // Lays the parent's anchored children out for its current size at once (the parent also does
    // it by itself on every resize).
    static void Apply(QWidget *parent);

    // The geometry a child designed at `design` inside a parent of size `designParent` gets inside
    // a parent of size `now`.
    static QRect Place(const QRect &design, QSize designParent, QSize now, TAnchorSet anchors);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit TAnchors(QWidget *parent);
    void Layout();

    struct Entry {
        QPointer<QWidget> child;
        QRect design;
        QSize designParent;
        TAnchorSet anchors;
    };
    QWidget *m_parent;
    QList<Entry> m_entries;
};
