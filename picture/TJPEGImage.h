#pragma once
// A JPEG picture over libjpeg: keeps the compressed bytes (shared between copies), parses the
// header on load, applies the decoding options on the next decode, decodes lazily.
#include "picture/JpegDecoder.h"
#include "picture/TGraphic.h"

#include <QByteArray>

#include <functional>

enum class TJPEGScale { jsFullSize = 0, jsHalf = 1, jsQuarter = 2, jsEighth = 3 };
enum class TJPEGPixelFormat { jf24Bit = 0, jf8Bit = 1 };
enum class TJPEGPerformance { jpBestQuality = 0, jpBestSpeed = 1 };

class TJPEGImage : public TGraphic {
public:
    TJPEGImage();
    ~TJPEGImage() override;
    TJPEGImage(const TJPEGImage &other);            // shares bytes, copies options, not the decoded image
    TJPEGImage &operator=(const TJPEGImage &other);

    // Gives the picture's bytes when they are first needed, or raises TavelinError.
    using TByteSource = std::function<QByteArray()>;

    // Empty bytes give an empty picture; bytes that are not a JPEG raise.
    void LoadFromBytes(const QByteArray &bytes);
    // A picture known by its header and its display image only (a thumbnail cell filled from the
    // cache): source is asked for the bytes the first time anything else is wanted of it (a
    // decode, a copy of its data), once for the picture and all its copies. Bytes with another
    // header, or a source that raises, make every later use raise the same error.
    void LoadDeferred(const JpegDecoder::THeader &header, const QImage &display, TByteSource source);
    // Whether the bytes are still to be fetched.
    bool Deferred() const;
    QByteArray CompressedData() const; // exactly the bytes loaded (fetched first when deferred)
    const JpegDecoder::THeader &Header() const;

    TJPEGScale Scale() const;
    void SetScale(TJPEGScale scale);
    TJPEGPixelFormat PixelFormat() const;
    void SetPixelFormat(TJPEGPixelFormat format);
    bool Grayscale() const;
    void SetGrayscale(bool grey);
    TJPEGPerformance Performance() const;
    void SetPerformance(TJPEGPerformance performance);
    bool ProgressiveDisplay() const;
    void SetProgressiveDisplay(bool on);

    // Size of the stored picture at full scale.
    int ImageWidth() const;
    int ImageHeight() const;
    bool Decoded() const; // whether a decoded image is held (tests, benchmarks)
    // Size of the picture kept for drawing into a target smaller than the picture: the target's
    // device size, decoded at a reduced scale and shrunk; empty when none is held.
    QSize ReducedSize() const;
    // Damage libjpeg met and worked around in the latest decode (truncated or corrupt data: the
    // picture is then partial); empty when that decode was clean.
    QString DecodeWarning() const;

    // The picture as it shows on a device area of the image's size (what Draw would paint
    // there), made ahead of painting or taken from a thumbnail cache. Draw uses it for a target
    // of exactly that size and decodes nothing. Not copied with the picture.
    QImage DisplayImage() const;
    void SetDisplayImage(const QImage &image);
    // Decodes at the reduction that covers device and keeps the shrunk result as the display
    // image, holding no larger decode afterwards. A picture that no reduction covers gets none
    // (it is drawn from its decode). A failing decode raises and is remembered, so drawing does
    // not try again.
    void MakeDisplayImage(const QSize &device);

    bool IsEmpty() const override;
    int Width() const override;
    int Height() const override;
    void Draw(QPainter &painter, const QRect &target) override;
    QImage Image() override;
    void LoadFromStream(TMemoryStream &stream) override;
    void SaveToStream(TMemoryStream &stream) const override;
    std::unique_ptr<TGraphic> Clone() const override;
    QString KindName() const override { return QStringLiteral("JPEG"); }

    // The reduction libjpeg's DCT scaling would use to cover a target of the given size.
    TJPEGScale ScaleToCover(const QSize &target) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
