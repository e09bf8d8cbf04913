#pragma once
// One panel of a status bar as assistive technology sees it: a text whose name is the panel's
// current text, at the panel's place on the screen.
#include <QAccessibleInterface>
#include <QPointer>

class TStatusBar;

class TStatusPanelAccessible : public QAccessibleInterface {
public:
    TStatusPanelAccessible(TStatusBar *bar, int index);

    bool isValid() const override;
    QObject *object() const override;
    QWindow *window() const override;
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text t, const QString &text) override;
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;

private:
    QPointer<TStatusBar> m_bar;
    int m_index;
};
