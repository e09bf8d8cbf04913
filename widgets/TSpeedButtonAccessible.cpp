#include "widgets/TSpeedButtonAccessible.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QMetaObject>

TSpeedButtonAccessible::TSpeedButtonAccessible(QAbstractButton *button) : QAccessibleWidget(button)
{
}

QAbstractButton *TSpeedButtonAccessible::Button() const
{
    return static_cast<QAbstractButton *>(widget());
}

bool TSpeedButtonAccessible::InExclusiveGroup() const
{
    const QButtonGroup *group = Button()->group();
    return Button()->isCheckable() && group && group->exclusive();
}

QAccessible::Role TSpeedButtonAccessible::role() const
{
    return InExclusiveGroup() ? QAccessible::RadioButton : QAccessible::PushButton;
}

QAccessible::State TSpeedButtonAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    const QAbstractButton *b = Button();
    s.checkable = b->isCheckable();
    s.checked = b->isChecked();
    s.pressed = b->isDown();
    return s;
}

QString TSpeedButtonAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
        QString caption = Button()->text();
        return caption.remove(QLatin1Char('&'));
    }
    return QAccessibleWidget::text(t);
}

QStringList TSpeedButtonAccessible::actionNames() const
{
    QStringList names;
    if (widget()->isEnabled()) {
        names << pressAction();
        if (Button()->isCheckable())
            names << toggleAction();
    }
    return names + QAccessibleWidget::actionNames();
}

void TSpeedButtonAccessible::doAction(const QString &actionName)
{
    if (actionName == pressAction() || actionName == toggleAction()) {
        // A click, run after the request has been answered: the handler may open a modal box
        // (the quit question), which must not run inside the assistive technology's call.
        if (widget()->isEnabled())
            QMetaObject::invokeMethod(Button(), &QAbstractButton::click, Qt::QueuedConnection);
        return;
    }
    QAccessibleWidget::doAction(actionName);
}
