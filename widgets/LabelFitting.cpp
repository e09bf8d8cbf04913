#include "widgets/LabelFitting.h"

#include <QFontMetrics>
#include <QLabel>

void FitSingleLineLabel(QLabel *label)
{
    const int needed = QFontMetrics(label->font()).height();
    const QRect g = label->geometry();
    if (needed <= g.height())
        return;
    const int grow = needed - g.height();
    label->setGeometry(g.x(), g.y() - grow / 2, g.width(), needed);
    label->setAlignment((label->alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter);
}
