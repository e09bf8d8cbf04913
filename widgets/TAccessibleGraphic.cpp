#include "widgets/TAccessibleGraphic.h"

#include "widgets/TAccessibleGraphicSource.h"

#include <QWidget>

TAccessibleGraphic::TAccessibleGraphic(QWidget *widget, TAccessibleGraphicSource *source)
    : QAccessibleWidget(widget, QAccessible::Graphic), m_source(source)
{
}

QString TAccessibleGraphic::PictureDescription(bool hasPicture, QSize size)
{
    if (!hasPicture)
        return QStringLiteral("无图片");
    return QStringLiteral("图片 %1×%2").arg(size.width()).arg(size.height());
}

QString TAccessibleGraphic::text(QAccessible::Text t) const
{
    if (t == QAccessible::Description && widget()->accessibleDescription().isEmpty())
        return imageDescription();
    return QAccessibleWidget::text(t);
}

QStringList TAccessibleGraphic::actionNames() const
{
    QStringList names;
    if (widget()->isEnabled() && m_source->AccessiblePressable())
        names << pressAction();
    return names + QAccessibleWidget::actionNames();
}

void TAccessibleGraphic::doAction(const QString &actionName)
{
    if (actionName == pressAction()) {
        if (widget()->isEnabled() && m_source->AccessiblePressable())
            m_source->AccessiblePress();
        return;
    }
    QAccessibleWidget::doAction(actionName);
}

void *TAccessibleGraphic::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::ImageInterface)
        return static_cast<QAccessibleImageInterface *>(this);
    return QAccessibleWidget::interface_cast(t);
}

QString TAccessibleGraphic::imageDescription() const
{
    return PictureDescription(m_source->AccessibleHasPicture(), m_source->AccessiblePictureSize());
}

QSize TAccessibleGraphic::imageSize() const
{
    return m_source->AccessibleHasPicture() ? m_source->AccessiblePictureSize() : QSize();
}

QPoint TAccessibleGraphic::imagePosition() const
{
    return widget()->mapToGlobal(QPoint(0, 0));
}
