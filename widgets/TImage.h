#pragma once
// The image control: shows a TPicture, either stretched over the whole control without keeping
// the aspect ratio (thumbnail cells, the preview) or at the picture's own size with the control
// sizing itself to it (the viewer). Where it takes the keyboard focus, Space and Enter click it.
#include "picture/TPicture.h"
#include "widgets/TAccessibleGraphicSource.h"

#include <QWidget>

class TImage : public QWidget, public TAccessibleGraphicSource {
    Q_OBJECT
public:
    explicit TImage(QWidget *parent = nullptr);

    TPicture &Picture() { return m_picture; }
    const TPicture &Picture() const { return m_picture; }
    // Replaces the picture (by copy) and repaints.
    void SetPicture(const TPicture &picture);
    void AssignGraphic(const TGraphic *graphic);
    // Takes the graphic itself, with whatever it holds ready for drawing.
    void SetGraphic(std::unique_ptr<TGraphic> graphic);
    void ClearPicture();
    // Call after changing the picture's options in place: re-sizes (when auto-sizing) and repaints.
    void PictureChanged();

    bool Stretch() const { return m_stretch; }
    void SetStretch(bool stretch);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool autoSize);

    QSize sizeHint() const override;

    bool AccessibleHasPicture() const override;
    QSize AccessiblePictureSize() const override;
    bool AccessiblePressable() const override;
    void AccessiblePress() override;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    TPicture m_picture;
    bool m_stretch = false;
    bool m_autoSize = false;
};
