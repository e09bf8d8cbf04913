#pragma once
// The standing human figure (400 x 1000 design units, head at the top, arms at the sides) that
// the acupuncture and anatomy pictures are drawn on.
#include <QPainterPath>

QPainterPath DemoBodyOutline();
