#pragma once
// A picture shown in a label that does something when clicked (the start page's banner): a click,
// or Space or Enter while it has the keyboard focus, raises clicked(); assistive technology sees
// an image with a press action.
#include "widgets/TAccessibleGraphicSource.h"

#include <QLabel>

class TImageLabel : public QLabel, public TAccessibleGraphicSource {
    Q_OBJECT
public:
    explicit TImageLabel(QWidget *parent = nullptr);

    bool AccessibleHasPicture() const override;
    QSize AccessiblePictureSize() const override;
    bool AccessiblePressable() const override;
    void AccessiblePress() override;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};
