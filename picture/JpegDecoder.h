#pragma once
// The libjpeg side of the JPEG picture: reads a header, decodes with the picture's options.
// libjpeg's fatal errors come back as TavelinError; nothing here ends the process.
#include <QByteArray>
#include <QImage>
#include <QString>

#include "picture/TDecodeMemory.h"
#include "platform/TavelinError.h"

namespace JpegDecoder {

// Memory: a decode reserves its output image and libjpeg's working memory together from
// TDecodeMemory, the one bound for all pictures of the program; see MemoryNeeded.
// Work: a progressive picture never needs more than a few dozen scans; thousands only waste time.
constexpr int kMaxScans = 1000;
// Reading the scans may walk the picture's blocks this many times over (a sound progressive
// picture: about ten), but always at least kMinWorkBudget blocks, so small pictures never hit it.
// A block walked in an arithmetic-coded scan counts kArithmeticWeight times: decoding it costs
// that much more (measured over Huffman-coded scans of the same picture).
constexpr long long kMaxPassesOverTheImage = 64;
constexpr long long kMinWorkBudget = 1 << 20;
constexpr long long kArithmeticWeight = 5;
// Whatever the picture's size, the weighted work read from its scans stays below about a second
// of decoding on a small office machine, and the decode is given up when it has taken
// kMaxDecodeMilliseconds of processor time all the same: no picture freezes the window for long.
constexpr long long kMaxWork = 12LL << 20;
constexpr int kMaxDecodeMilliseconds = 1500;
// A thumbnail gets a quarter of that: a strip of seven cells is drawn in one go, and a picture
// too costly for its cell can still be enlarged into the preview or a viewer with the full budget.
constexpr long long kMaxThumbnailWork = kMaxWork / 4;
constexpr int kMaxThumbnailMilliseconds = 300;
// And a quarter of the memory: merely clearing a coefficient buffer of a GiB takes a second.
constexpr qint64 kMaxThumbnailMemory = TDecodeMemory::kLimit / 4;

// Denominators of the four output scales (1/1, 1/2, 1/4, 1/8), by TJPEGScale index.
constexpr int kScaleDenominators[4] = {1, 2, 4, 8};

struct THeader {
    int imageWidth = 0;
    int imageHeight = 0;
    int components = 0;
    int colorSpace = 0; // J_COLOR_SPACE of the stored data
    bool progressive = false;
    bool arithmetic = false;
    // libjpeg keeps every coefficient of the picture while it reads a file of several scans.
    qint64 coefficientBytes = 0;
    // Output size at each scale, as jpeg_calc_output_dimensions gives it.
    int outWidth[4] = {0, 0, 0, 0};
    int outHeight[4] = {0, 0, 0, 0};
};

struct TOptions {
    int scaleIndex = 0;  // into kScaleDenominators
    bool quantize = false; // 236-colour palette
    bool grey = false;
    bool fast = false;     // JDCT_IFAST, one-pass quantization, ordered dither
    bool thumbnail = false; // the smaller work budget
};

struct TResult {
    QImage image;
    // The image's share of TDecodeMemory: keep it as long as the image is kept.
    TDecodeReservation reservation;
    // Damage libjpeg met and worked around (truncated or corrupt data); empty when clean.
    QString damage;
};

// Parses the header only. Raises when the bytes are not a JPEG (or are empty).
THeader ReadHeader(const QByteArray &bytes);

// Bytes per decoded pixel for the options (4 for colour, 1 for palette and grey output).
int BytesPerPixel(const THeader &header, const TOptions &options);

// Memory a decode with these options needs: the output image plus libjpeg's working memory.
qint64 OutputBytes(const THeader &header, const TOptions &options);
qint64 MemoryNeeded(const THeader &header, const TOptions &options);

// Raised when a decode would fit the memory bound on its own but other pictures hold too much of
// it now; trying again after they are discarded may succeed.
class TDecodeMemoryBusy : public TavelinError {
public:
    using TavelinError::TavelinError;
};

// Decodes completely. Raises with a clear message on a fatal error, a decode whose memory passes
// the bound (TDecodeMemoryBusy when only other pictures' share is in the way), too many scans or
// too much work; damaged data that libjpeg can work around gives a picture and a damage note.
TResult Decode(const QByteArray &bytes, const THeader &header, const TOptions &options);

// Tests shorten the processor-time limit to reach it with a small picture; 0 restores it.
void SetTimeLimitForTesting(int milliseconds);

} // namespace JpegDecoder
