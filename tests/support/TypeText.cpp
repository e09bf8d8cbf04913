#include "support/TypeText.h"

#include <QtTest>

namespace TestSupport {

void TypeText(QWidget *widget, const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F) {
            QTest::keyClick(widget, char(c.unicode()));
        } else {
            QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
}

} // namespace TestSupport
