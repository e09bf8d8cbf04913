#pragma once
// Types a text into a widget key by key, like QTest::keyClicks but also for characters outside
// ASCII (Chinese names), which QTest::keyClicks cannot map to keys.
#include <QString>

class QWidget;

namespace TestSupport {
void TypeText(QWidget *widget, const QString &text);
}
