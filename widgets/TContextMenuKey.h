#pragma once
// Opens a widget's popup menu from the keyboard: Shift+F10, and the Menu key where the window
// system does not make a menu request of it by itself (some do, before the key press arrives).
// The request goes where the window system's own would: the widget's context menu event, at its
// cursor rectangle (the current row of a list).
#include <QObject>

class QWidget;

class TContextMenuKey : public QObject {
    Q_OBJECT
public:
    static void Install(QWidget *widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit TContextMenuKey(QWidget *widget);
    void Request(QWidget *widget, Qt::KeyboardModifiers modifiers);

    bool m_bRequesting = false;
};
