#include "demo/art/DemoArtFigure.h"

#include "demo/art/DemoArtCanvas.h"

namespace {

// The picture-right half of the figure, from the neck down to the crotch.
QVector<QPointF> halfOutline()
{
    return {{216, 126}, {220, 150}, {246, 163}, {278, 174}, {296, 200}, {302, 260}, {306, 330}, {311, 385},
            {320, 450}, {328, 516}, {338, 546}, {344, 584}, {336, 626}, {318, 634}, {306, 612}, {303, 574},
            {302, 528}, {294, 458}, {285, 392}, {273, 322}, {262, 262}, {256, 300}, {246, 400}, {262, 478},
            {268, 560}, {259, 660}, {250, 745}, {256, 822}, {238, 928}, {246, 962}, {252, 986}, {232, 998},
            {208, 994}, {209, 936}, {213, 840}, {210, 748}, {208, 640}, {201, 566}};
}

} // namespace

QPainterPath DemoBodyOutline()
{
    static const QPainterPath outline = [] {
        const QVector<QPointF> right = halfOutline();
        QVector<QPointF> all = right;
        all += DemoMirrored(right, 200);
        QPainterPath body = DemoSmoothPath(all, true);
        QPainterPath head;
        head.addEllipse(QPointF(200, 70), 43, 56);
        QPainterPath ears;
        ears.addEllipse(QPointF(242, 76), 8, 15);
        ears.addEllipse(QPointF(158, 76), 8, 15);
        return body.united(head).united(ears);
    }();
    return outline;
}
