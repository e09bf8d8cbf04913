#pragma once
// A status bar of owner-drawn panels as assistive technology sees it: a status bar whose children
// are its panels, each exposing its current text.
#include <QAccessibleWidget>
#include <QVector>

class TStatusBar;

class TStatusBarAccessible : public QAccessibleWidget {
public:
    explicit TStatusBarAccessible(TStatusBar *bar);
    ~TStatusBarAccessible() override;

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QString text(QAccessible::Text t) const override;

private:
    TStatusBar *Bar() const;
    mutable QVector<QAccessible::Id> m_panelIds; // registered with the accessibility cache
};
