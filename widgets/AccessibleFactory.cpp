#include "widgets/AccessibleFactory.h"

#include "widgets/TAccessibleGraphic.h"
#include "widgets/TAccessibleGraphicSource.h"
#include "widgets/TSpeedButton.h"
#include "widgets/TSpeedButtonAccessible.h"
#include "widgets/TStatusBar.h"
#include "widgets/TStatusBarAccessible.h"

#include <QAccessibleWidget>
#include <QFrame>
#include <QHash>

namespace {

QHash<QString, QAccessible::Role> &Roles()
{
    static QHash<QString, QAccessible::Role> roles;
    return roles;
}

QAccessibleInterface *Factory(const QString &className, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return nullptr;
    // A frame is a panel, a bevel box or an etched line: a plain one, or one of ours that nothing
    // above describes (an atlas browser). Qt calls it a border, which a screen reader announces as
    // one more window ("frame") nested in the real one. Classes the toolkit knows better (labels,
    // scroll areas) are answered at their own name before the search gets up to this one.
    if (className == QLatin1String("QFrame")) {
        const auto shape = static_cast<QFrame *>(widget)->frameShape();
        const bool line = shape == QFrame::HLine || shape == QFrame::VLine;
        return new QAccessibleWidget(widget, line ? QAccessible::Separator : QAccessible::Pane);
    }
    // Asked for each class from the most derived up: answer only for the object's own class, so
    // a subclass we do not know is not dressed as its base.
    if (className != QLatin1String(object->metaObject()->className()))
        return nullptr;
    if (auto *button = qobject_cast<TSpeedButton *>(widget))
        return new TSpeedButtonAccessible(button);
    if (auto *bar = qobject_cast<TStatusBar *>(widget))
        return new TStatusBarAccessible(bar);
    if (auto *source = dynamic_cast<TAccessibleGraphicSource *>(widget))
        return new TAccessibleGraphic(widget, source);
    const auto role = Roles().constFind(className);
    if (role != Roles().constEnd())
        return new QAccessibleWidget(widget, *role);
    return nullptr;
}

} // namespace

void InstallAccessibleFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(&Factory);
        return true;
    }();
    Q_UNUSED(installed);
}

void RegisterAccessibleRole(const char *className, QAccessible::Role role)
{
    InstallAccessibleFactory();
    Roles().insert(QLatin1String(className), role);
}
