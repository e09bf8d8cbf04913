#pragma once
// Photo-like pictures for the benchmarks: smooth gradients, soft shapes, fine texture and sensor
// noise, so a JPEG of it costs what a photograph of the same size costs (flat colour would not).
#include <QImage>
#include <cstdint>

QImage MakePhotoImage(int width, int height, std::uint64_t seed);

// A JPEG of such a picture at quality 85.
QByteArray MakePhotoJpeg(int width, int height, std::uint64_t seed);

// The JPEG with a comment segment after its start marker that brings it to exactly size bytes
// (when it is smaller); it decodes to the same picture.
QByteArray PadJpegTo(const QByteArray &jpeg, int size);
