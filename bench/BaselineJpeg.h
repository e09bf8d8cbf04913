#pragma once
// The baselines' JPEG decoding: libjpeg called directly with its default settings (colour
// output as RGB, best-quality DCT), as a viewer without our picture objects would.
#include <QByteArray>
#include <QImage>

namespace BaselineJpeg {

// Decodes at 1/denominator of the full size (1, 2, 4 or 8) into an RGB888 image; raises
// TavelinError when libjpeg fails.
QImage Decode(const QByteArray &jpeg, int denominator);

} // namespace BaselineJpeg
