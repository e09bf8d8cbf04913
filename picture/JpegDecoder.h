#pragma once
// The libjpeg side of the JPEG picture: reads a header, decodes with the picture's options.
// libjpeg's fatal errors come back as TavelinError; nothing here ends the process.
#include <QByteArray>
#include <QImage>
#include <QString>

namespace JpegDecoder {

// Largest decoded image we accept (pixels × bytes per pixel), and libjpeg's own working memory.
constexpr qint64 kMaxDecodedBytes = qint64(1) << 30;
constexpr long kMaxWorkingMemory = 1L << 30;
// A progressive picture never needs more than a few dozen scans; thousands only waste time.
constexpr int kMaxScans = 1000;
// Reading the scans may walk the picture's blocks this many times over (a sound progressive
// picture: about ten), but always at least kMinWorkBudget blocks, so small pictures never hit it.
constexpr long long kMaxPassesOverTheImage = 64;
constexpr long long kMinWorkBudget = 1 << 20;

// Denominators of the four output scales (1/1, 1/2, 1/4, 1/8), by TJPEGScale index.
constexpr int kScaleDenominators[4] = {1, 2, 4, 8};

struct THeader {
    int imageWidth = 0;
    int imageHeight = 0;
    int components = 0;
    int colorSpace = 0; // J_COLOR_SPACE of the stored data
    bool progressive = false;
    // Output size at each scale, as jpeg_calc_output_dimensions gives it.
    int outWidth[4] = {0, 0, 0, 0};
    int outHeight[4] = {0, 0, 0, 0};
};

struct TOptions {
    int scaleIndex = 0;  // into kScaleDenominators
    bool quantize = false; // 236-colour palette
    bool grey = false;
    bool fast = false;     // JDCT_IFAST, one-pass quantization, ordered dither
};

struct TResult {
    QImage image;
    // Damage libjpeg met and worked around (truncated or corrupt data); empty when clean.
    QString damage;
};

// Parses the header only. Raises when the bytes are not a JPEG (or are empty).
THeader ReadHeader(const QByteArray &bytes);

// Bytes per decoded pixel for the options (4 for colour, 1 for palette and grey output).
int BytesPerPixel(const THeader &header, const TOptions &options);

// Decodes completely. Raises with a clear message on a fatal error, an image too large for
// kMaxDecodedBytes, too many scans or too much working memory; damaged data that libjpeg can
// work around gives a picture and a damage note.
TResult Decode(const QByteArray &bytes, const THeader &header, const TOptions &options);

} // namespace JpegDecoder
