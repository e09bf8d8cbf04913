#pragma once
// Encodes an image as a baseline (or progressive) JPEG with libjpeg; used by the catalogue tool,
// the tests and the benchmarks to make pictures.
#include <QByteArray>
#include <QImage>

struct TJpegEncodeOptions {
    int quality = 85;
    bool progressive = false;
    bool grayscale = false;
    bool cmyk = false; // Adobe-style CMYK (stored inverted, as print software writes it)
    bool arithmetic = false; // arithmetic entropy coding instead of Huffman
};

QByteArray EncodeJpeg(const QImage &image, const TJpegEncodeOptions &options = {});
