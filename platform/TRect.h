#pragma once
// A rectangle as four signed edges, right and bottom exclusive, as the painting routines take it.
#include <QRect>

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    constexpr TRect() = default;
    constexpr TRect(int left, int top, int right, int bottom) : Left(left), Top(top), Right(right), Bottom(bottom) {}
    static TRect FromQRect(const QRect &r) { return TRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height()); }

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    // Only meaningful for a non-empty rectangle.
    QRect ToQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
    constexpr bool operator==(const TRect &o) const
    {
        return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom;
    }
};
