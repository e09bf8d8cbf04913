#pragma once
// Saves a widget's picture as <TAVELIN_SCREENSHOT_DIR>/<name>.png when that variable is set, so the
// windows the tests build can be looked at; does nothing otherwise.
#include <QString>

class QWidget;

namespace TestSupport {
void MaybeSaveScreenshot(QWidget *widget, const QString &name);
}
