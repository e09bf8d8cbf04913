#include "picture/TJPEGImage.h"

#include "picture/DrawStretched.h"
#include "picture/JpegDecoder.h"
#include "platform/TMemoryStream.h"
#include "platform/TavelinError.h"

#include <QPainter>

namespace {

constexpr int kScales = 4;

int indexOf(TJPEGScale scale)
{
    return static_cast<int>(scale);
}

} // namespace

struct TJPEGImage::Impl {
    QByteArray bytes; // the compressed data exactly as loaded; shared between copies
    JpegDecoder::THeader header;

    TJPEGScale scale = TJPEGScale::jsFullSize;
    TJPEGPixelFormat pixelFormat = TJPEGPixelFormat::jf24Bit;
    bool grey = false;
    TJPEGPerformance performance = TJPEGPerformance::jpBestQuality;
    bool progressiveDisplay = false;

    // Decodes by output scale: the one at the current scale is "the" decoded image, at most one
    // other (smaller) one serves drawing into small targets. A failed decode is remembered so a
    // repaint does not try again.
    QImage decoded[kScales];
    QString failure[kScales];
    QString warning;
    QImage display;

    void Discard()
    {
        display = QImage();
        for (int i = 0; i < kScales; ++i) {
            decoded[i] = QImage();
            failure[i].clear();
        }
        warning.clear();
    }

    JpegDecoder::TOptions OptionsAt(int scaleIndex) const
    {
        JpegDecoder::TOptions o;
        o.scaleIndex = scaleIndex;
        o.grey = grey;
        o.quantize = pixelFormat == TJPEGPixelFormat::jf8Bit || grey;
        o.fast = performance == TJPEGPerformance::jpBestSpeed;
        return o;
    }

    const QImage &DecodedAt(int scaleIndex)
    {
        if (!decoded[scaleIndex].isNull())
            return decoded[scaleIndex];
        if (!failure[scaleIndex].isEmpty())
            throw TavelinError(failure[scaleIndex]);
        JpegDecoder::TResult result;
        try {
            result = JpegDecoder::Decode(bytes, header, OptionsAt(scaleIndex));
        } catch (const TavelinError &e) {
            failure[scaleIndex] = e.message();
            throw;
        }
        // Keep the full decode and only the newest reduced one.
        const int current = indexOf(scale);
        for (int i = 0; i < kScales; ++i)
            if (i != current && i != scaleIndex)
                decoded[i] = QImage();
        decoded[scaleIndex] = std::move(result.image);
        warning = result.damage;
        return decoded[scaleIndex];
    }
};

TJPEGImage::TJPEGImage() : d(std::make_unique<Impl>()) {}

TJPEGImage::~TJPEGImage() = default;

TJPEGImage::TJPEGImage(const TJPEGImage &other) : TGraphic(), d(std::make_unique<Impl>())
{
    *this = other;
}

TJPEGImage &TJPEGImage::operator=(const TJPEGImage &other)
{
    if (this == &other)
        return *this;
    d->bytes = other.d->bytes;
    d->header = other.d->header;
    d->scale = other.d->scale;
    d->pixelFormat = other.d->pixelFormat;
    d->grey = other.d->grey;
    d->performance = other.d->performance;
    d->progressiveDisplay = other.d->progressiveDisplay;
    d->Discard();
    return *this;
}

void TJPEGImage::LoadFromBytes(const QByteArray &bytes)
{
    if (bytes.isEmpty()) {
        d->bytes = QByteArray();
        d->header = {};
        d->Discard();
        return;
    }
    JpegDecoder::THeader header;
    try {
        header = JpegDecoder::ReadHeader(bytes);
    } catch (...) {
        d->bytes = QByteArray();
        d->header = {};
        d->Discard();
        throw;
    }
    d->bytes = bytes;
    d->header = header;
    d->Discard();
}

QByteArray TJPEGImage::CompressedData() const
{
    return d->bytes;
}

TJPEGScale TJPEGImage::Scale() const
{
    return d->scale;
}

void TJPEGImage::SetScale(TJPEGScale scale)
{
    if (scale == d->scale)
        return;
    d->scale = scale;
    d->Discard();
}

TJPEGPixelFormat TJPEGImage::PixelFormat() const
{
    return d->pixelFormat;
}

void TJPEGImage::SetPixelFormat(TJPEGPixelFormat format)
{
    if (format == d->pixelFormat)
        return;
    d->pixelFormat = format;
    d->Discard();
}

bool TJPEGImage::Grayscale() const
{
    return d->grey;
}

void TJPEGImage::SetGrayscale(bool grey)
{
    if (grey == d->grey)
        return;
    d->grey = grey;
    d->Discard();
}

TJPEGPerformance TJPEGImage::Performance() const
{
    return d->performance;
}

void TJPEGImage::SetPerformance(TJPEGPerformance performance)
{
    if (performance == d->performance)
        return;
    d->performance = performance;
    d->Discard();
}

bool TJPEGImage::ProgressiveDisplay() const
{
    return d->progressiveDisplay;
}

// Kept as a setting only: a picture is always decoded completely before it is drawn, so it is
// never shown scan by scan whatever this says.
void TJPEGImage::SetProgressiveDisplay(bool on)
{
    d->progressiveDisplay = on;
}

int TJPEGImage::ImageWidth() const
{
    return d->header.imageWidth;
}

int TJPEGImage::ImageHeight() const
{
    return d->header.imageHeight;
}

bool TJPEGImage::Decoded() const
{
    return !d->decoded[indexOf(d->scale)].isNull();
}

QSize TJPEGImage::ReducedSize() const
{
    for (int i = 0; i < kScales; ++i)
        if (i != indexOf(d->scale) && !d->decoded[i].isNull())
            return d->decoded[i].size();
    return {};
}

QString TJPEGImage::DecodeWarning() const
{
    return d->warning;
}

bool TJPEGImage::IsEmpty() const
{
    return d->bytes.isEmpty();
}

int TJPEGImage::Width() const
{
    return IsEmpty() ? 0 : d->header.outWidth[indexOf(d->scale)];
}

int TJPEGImage::Height() const
{
    return IsEmpty() ? 0 : d->header.outHeight[indexOf(d->scale)];
}

TJPEGScale TJPEGImage::ScaleToCover(const QSize &target) const
{
    const int current = indexOf(d->scale);
    for (int i = kScales - 1; i > current; --i)
        if (d->header.outWidth[i] >= target.width() && d->header.outHeight[i] >= target.height())
            return static_cast<TJPEGScale>(i);
    return d->scale;
}

QImage TJPEGImage::DisplayImage() const
{
    return d->display;
}

void TJPEGImage::SetDisplayImage(const QImage &image)
{
    d->display = image;
}

void TJPEGImage::MakeDisplayImage(const QSize &device)
{
    if (IsEmpty())
        return;
    const int scaleIndex = indexOf(ScaleToCover(device));
    const QImage shrunk = ShrunkToDevice(d->DecodedAt(scaleIndex), device);
    if (shrunk.isNull())
        return;
    d->display = shrunk;
    if (scaleIndex != indexOf(d->scale))
        d->decoded[scaleIndex] = QImage();
}

void TJPEGImage::Draw(QPainter &painter, const QRect &target)
{
    if (IsEmpty() || target.isEmpty())
        return;
    const QSize device = DeviceSizeOf(painter, target);
    if (!d->display.isNull() && d->display.size() == device) {
        DrawStretched(painter, target, d->display);
        return;
    }
    DrawStretched(painter, target, d->DecodedAt(indexOf(ScaleToCover(device))));
}

QImage TJPEGImage::Image()
{
    if (IsEmpty())
        return {};
    return d->DecodedAt(indexOf(d->scale));
}

void TJPEGImage::LoadFromStream(TMemoryStream &stream)
{
    const QByteArray &all = stream.Bytes();
    const qint64 from = stream.Position();
    const QByteArray bytes = from <= 0 ? all : all.mid(from);
    stream.SetPosition(stream.Size());
    LoadFromBytes(bytes);
}

void TJPEGImage::SaveToStream(TMemoryStream &stream) const
{
    stream.Write(d->bytes);
}

std::unique_ptr<TGraphic> TJPEGImage::Clone() const
{
    return std::make_unique<TJPEGImage>(*this);
}
