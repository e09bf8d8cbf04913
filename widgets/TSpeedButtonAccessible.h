#pragma once
// A speed button as assistive technology sees it: named by its caption, a radio button when it
// belongs to an exclusive group (the atlas bar), a push button otherwise; pressing or toggling it
// through the accessibility interface is a click.
#include <QAccessibleWidget>

class QAbstractButton;

class TSpeedButtonAccessible : public QAccessibleWidget {
public:
    explicit TSpeedButtonAccessible(QAbstractButton *button);

    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

private:
    QAbstractButton *Button() const;
    bool InExclusiveGroup() const;
};
