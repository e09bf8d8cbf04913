#pragma once
// A picture control as assistive technology sees it: an image with its name, a description that
// says whether a picture is shown (and its size), and a press action where a click does something.
#include <QAccessibleWidget>

class TAccessibleGraphicSource;

class TAccessibleGraphic : public QAccessibleWidget, public QAccessibleImageInterface {
public:
    TAccessibleGraphic(QWidget *widget, TAccessibleGraphicSource *source);

    // "图片 W×H" or "无图片".
    static QString PictureDescription(bool hasPicture, QSize size);

    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    void *interface_cast(QAccessible::InterfaceType t) override;

    QString imageDescription() const override;
    QSize imageSize() const override;
    QPoint imagePosition() const override;

private:
    TAccessibleGraphicSource *m_source;
};
