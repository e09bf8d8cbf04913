#include "support/Screenshots.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

namespace TestSupport {

void MaybeSaveScreenshot(QWidget *widget, const QString &name)
{
    const QString dir = qEnvironmentVariable("TAVELIN_SCREENSHOT_DIR");
    if (dir.isEmpty() || !widget)
        return;
    QDir().mkpath(dir);
    widget->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

} // namespace TestSupport
