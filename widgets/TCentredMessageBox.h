#pragma once
// A message box placed as the platform's own box is: centred on the screen its owner is on (its own
// screen without an owner), whatever the window manager would choose. Its icon is
// named for a screen reader after the kind of message it marks.
#include <QMessageBox>

class TCentredMessageBox : public QMessageBox {
public:
    TCentredMessageBox(QMessageBox::Icon icon, const QString &title, const QString &text, QWidget *owner);

    void setIcon(QMessageBox::Icon icon);
    // "错误", "警告", "信息", "问题"; empty for no icon.
    static QString IconName(QMessageBox::Icon icon);

protected:
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *e) override;

private:
    QPoint m_Place;
    QPoint m_ScreenOrigin;
    int m_nCorrections = 3; // none before the box is placed
};
