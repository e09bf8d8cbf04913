#include "glo/GradientMath.h"

#include <cstdint>

int GradientChannel(int start, int end, int i, int n)
{
    if (n == 0)
        return start & 0xFF;
    return int((start + std::int64_t(end - start) * i / n) & 0xFF);
}

TColor GradientColor(TColor start, TColor end, int i, int n)
{
    return MakeColorRef(GradientChannel(ColorRefRed(start), ColorRefRed(end), i, n),
                        GradientChannel(ColorRefGreen(start), ColorRefGreen(end), i, n),
                        GradientChannel(ColorRefBlue(start), ColorRefBlue(end), i, n));
}

int GradientMidpoint(int a, int b)
{
    return a + (b - a) / 2;
}

namespace {
int FrameChannel(int start, int end, int height)
{
    const int divisor = height - 2;
    const int v = divisor == 0 ? end : (start + 2 * (end - start) / divisor) & 0xFF;
    return 255 - v;
}
} // namespace

TColor GradientFrameColor(TColor start, TColor end, int height)
{
    return MakeColorRef(FrameChannel(ColorRefRed(start), ColorRefRed(end), height),
                        FrameChannel(ColorRefGreen(start), ColorRefGreen(end), height),
                        FrameChannel(ColorRefBlue(start), ColorRefBlue(end), height));
}
