#pragma once
// Opens a widget's popup menu from the keyboard: Shift+F10, and the Menu key where the window
// system has not already made a menu request of it (a real key press has been; one a program
// sends itself has not). The request goes where the window system's own would: the widget's
// context menu event, at its cursor rectangle (the current row of a list).
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
};
