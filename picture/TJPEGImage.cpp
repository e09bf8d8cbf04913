#include "picture/TJPEGImage.h"

#include "picture/DrawStretched.h"
#include "picture/JpegDecoder.h"
#include "platform/TMemoryStream.h"
#include "platform/TavelinError.h"

#include <QPainter>

#include <mutex>

namespace {

constexpr int kScales = 4;

int indexOf(TJPEGScale scale)
{
    return static_cast<int>(scale);
}

// The bytes of a deferred picture: fetched once for it and every copy of it.
struct TDeferredBytes {
    TJPEGImage::TByteSource source;
    JpegDecoder::THeader header;
    std::mutex mutex;
    bool fetched = false;
    QByteArray bytes;
    QString failure;

    QByteArray Fetch()
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!fetched) {
            fetched = true;
            try {
                QByteArray got = source();
                const JpegDecoder::THeader h = JpegDecoder::ReadHeader(got);
                if (h.imageWidth != header.imageWidth || h.imageHeight != header.imageHeight
                    || h.components != header.components || h.progressive != header.progressive)
                    throw TavelinError(QStringLiteral("The picture is not the one its thumbnail was made from."));
                bytes = std::move(got);
            } catch (const TavelinError &e) {
                failure = e.message();
            } catch (const std::exception &e) {
                failure = QString::fromLocal8Bit(e.what());
            }
            source = nullptr;
        }
        if (!failure.isEmpty())
            throw TavelinError(failure);
        return bytes;
    }
};

} // namespace

struct TJPEGImage::Impl {
    QByteArray bytes; // the compressed data exactly as loaded; shared between copies
    // Set while the bytes are still to be fetched.
    std::shared_ptr<TDeferredBytes> deferred;
    JpegDecoder::THeader header;

    TJPEGScale scale = TJPEGScale::jsFullSize;
    TJPEGPixelFormat pixelFormat = TJPEGPixelFormat::jf24Bit;
    bool grey = false;
    TJPEGPerformance performance = TJPEGPerformance::jpBestQuality;
    bool progressiveDisplay = false;

    // The decode at the current scale, what Image() gives and a full-size target shows.
    QImage decoded;
    TDecodeReservation decodedShare;
    // A target smaller than the picture keeps only the picture reduced to that target's device
    // size (a thumbnail cell keeps its 55 x 66 pixels, not a large decode): decoded at the scale
    // that covers it, shrunk, and the large decode dropped at once.
    QImage shown;
    int shownScale = -1;
    TDecodeReservation shownShare;
    // A failed decode is remembered by scale so a repaint does not try again, unless it failed
    // only because other pictures held the memory. A thumbnail's smaller budget fails apart from
    // the full one.
    QString failure[kScales];
    QString thumbnailFailure[kScales];
    QString warning;

    void Discard()
    {
        decoded = QImage();
        decodedShare.Release();
        shown = QImage();
        shownScale = -1;
        shownShare.Release();
        for (int i = 0; i < kScales; ++i) {
            failure[i].clear();
            thumbnailFailure[i].clear();
        }
        warning.clear();
    }

    JpegDecoder::TOptions OptionsAt(int scaleIndex, bool thumbnail = false) const
    {
        JpegDecoder::TOptions o;
        o.scaleIndex = scaleIndex;
        o.thumbnail = thumbnail;
        o.grey = grey;
        o.quantize = pixelFormat == TJPEGPixelFormat::jf8Bit || grey;
        o.fast = performance == TJPEGPerformance::jpBestSpeed;
        return o;
    }

    // The bytes, fetched first when deferred.
    const QByteArray &Bytes()
    {
        if (deferred) {
            bytes = deferred->Fetch();
            deferred.reset();
        }
        return bytes;
    }

    JpegDecoder::TResult DecodeAt(int scaleIndex, bool thumbnail = false)
    {
        QString &failed = thumbnail ? thumbnailFailure[scaleIndex] : failure[scaleIndex];
        if (!failed.isEmpty())
            throw TavelinError(failed);
        Bytes();
        try {
            JpegDecoder::TResult result = JpegDecoder::Decode(bytes, header, OptionsAt(scaleIndex, thumbnail));
            warning = result.damage;
            return result;
        } catch (const JpegDecoder::TDecodeMemoryBusy &) {
            throw;
        } catch (const TavelinError &e) {
            failed = e.message();
            throw;
        }
    }

    const QImage &Current()
    {
        if (decoded.isNull()) {
            JpegDecoder::TResult result = DecodeAt(indexOf(scale));
            decoded = std::move(result.image);
            decodedShare = std::move(result.reservation);
        }
        return decoded;
    }

    // A thumbnail cell's size, on a screen of up to twice the usual pixel density.
    static bool IsThumbnail(const QSize &device) { return qint64(device.width()) * device.height() <= 128 * 128; }

    const QImage &ShownAt(int scaleIndex, const QSize &device)
    {
        if (!shown.isNull() && shownScale == scaleIndex && shown.size() == device)
            return shown;
        shown = QImage();
        shownShare.Release();
        JpegDecoder::TResult result = DecodeAt(scaleIndex, IsThumbnail(device));
        // Smooth scaling averages the covered pixels, where a transformed draw would only
        // interpolate between neighbours and alias.
        QImage small = result.image.size() == device
                           ? std::move(result.image)
                           : result.image.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        result.image = QImage();
        result.reservation.Release();
        if (!shownShare.Reserve(small.sizeInBytes()))
            throw JpegDecoder::TDecodeMemoryBusy(QStringLiteral("The memory allowed for pictures is in use."));
        shown = std::move(small);
        shownScale = scaleIndex;
        return shown;
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
    d->deferred = other.d->deferred;
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
    d->deferred.reset();
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

void TJPEGImage::LoadDeferred(const JpegDecoder::THeader &header, const QImage &display, TByteSource source)
{
    auto deferred = std::make_shared<TDeferredBytes>();
    deferred->source = std::move(source);
    deferred->header = header;
    d->bytes = QByteArray();
    d->header = header;
    d->Discard();
    d->deferred = std::move(deferred);
    SetDisplayImage(display);
}

bool TJPEGImage::Deferred() const
{
    return d->deferred != nullptr;
}

QByteArray TJPEGImage::CompressedData() const
{
    return d->Bytes();
}

const JpegDecoder::THeader &TJPEGImage::Header() const
{
    return d->header;
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
    return !d->decoded.isNull();
}

QSize TJPEGImage::ReducedSize() const
{
    return d->shown.size();
}

QString TJPEGImage::DecodeWarning() const
{
    return d->warning;
}

bool TJPEGImage::IsEmpty() const
{
    return d->bytes.isEmpty() && !d->deferred;
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

void TJPEGImage::Draw(QPainter &painter, const QRect &target)
{
    if (IsEmpty() || target.isEmpty())
        return;
    const QSize device = DeviceSizeOf(painter, target);
    const TJPEGScale scale = ScaleToCover(device);
    if (scale == d->scale || device.isEmpty())
        DrawStretched(painter, target, d->Current());
    else
        DrawStretched(painter, target, d->ShownAt(indexOf(scale), device));
}

QImage TJPEGImage::Image()
{
    if (IsEmpty())
        return {};
    return d->Current();
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
    stream.Write(d->Bytes());
}

std::unique_ptr<TGraphic> TJPEGImage::Clone() const
{
    return std::make_unique<TJPEGImage>(*this);
}

QImage TJPEGImage::DisplayImage() const
{
    return d->shown;
}

void TJPEGImage::SetDisplayImage(const QImage &image)
{
    const int scaleIndex = indexOf(ScaleToCover(image.size()));
    if (image.isNull() || scaleIndex == indexOf(d->scale))
        return;
    d->shown = QImage();
    d->shownShare.Release();
    // Counted against the pictures' memory like a picture shrunk here; without room it is drawn
    // by decoding instead.
    if (!d->shownShare.Reserve(image.sizeInBytes()))
        return;
    d->shown = image;
    d->shownScale = scaleIndex;
}

void TJPEGImage::MakeDisplayImage(const QSize &device)
{
    if (IsEmpty() || device.isEmpty())
        return;
    const TJPEGScale scale = ScaleToCover(device);
    if (scale == d->scale)
        return; // drawn from the decode at the current scale, not shrunk ahead
    d->ShownAt(indexOf(scale), device);
}
