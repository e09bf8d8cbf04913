#pragma once
// The fixed arithmetic of the gradient caption panels, kept apart so it can be checked directly.
#include "platform/TColorRef.h"

// Channel value of line i of a gradient of span n (lines 0..n): start + (end - start) * i / n with the
// quotient truncated toward zero, modulo 256. A span of 0 gives the start value.
int GradientChannel(int start, int end, int i, int n);
// The same for all three channels of two COLORREF values; the result's top byte is zero.
TColor GradientColor(TColor start, TColor end, int i, int n);
// The middle line of a mirrored gradient from a to b: a + (b - a) / 2, truncated.
int GradientMidpoint(int a, int b);
// The frame colour of a panel of the given height: per channel 255 - (start + 2 * (end - start) /
// (height - 2)) modulo 256. A panel 2 pixels high (divisor 0) is framed from the end colour.
TColor GradientFrameColor(TColor start, TColor end, int height);
