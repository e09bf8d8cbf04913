#pragma once
// Colours as 32-bit Windows COLORREF values (red in bits 0-7, green 8-15, blue 16-23), the form in
// which the layouts and the painting routines hold them, and their conversion to Qt colours.
#include <QColor>
#include <cstdint>

using TColor = std::uint32_t;

constexpr TColor MakeColorRef(int red, int green, int blue)
{
    return TColor(red & 0xFF) | (TColor(green & 0xFF) << 8) | (TColor(blue & 0xFF) << 16);
}
constexpr int ColorRefRed(TColor c) { return int(c & 0xFF); }
constexpr int ColorRefGreen(TColor c) { return int((c >> 8) & 0xFF); }
constexpr int ColorRefBlue(TColor c) { return int((c >> 16) & 0xFF); }

// The top byte (system-colour flags) is ignored: only the three channels count.
inline QColor ColorRefToQColor(TColor c) { return QColor(ColorRefRed(c), ColorRefGreen(c), ColorRefBlue(c)); }
inline TColor QColorToColorRef(const QColor &c) { return MakeColorRef(c.red(), c.green(), c.blue()); }
