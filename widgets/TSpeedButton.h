#pragma once
// A flat button of a button bar: a tool button whose accessible actions do what a click does
// (a plain tool button's "toggle" action ticks it without running its click handler).
#include <QToolButton>

class TSpeedButton : public QToolButton {
    Q_OBJECT
public:
    explicit TSpeedButton(QWidget *parent = nullptr);
};
