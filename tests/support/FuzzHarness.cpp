#include "support/FuzzHarness.h"

#include "data/CatalogSchema.h"
#include "data/PictureTransform.h"
#include "data/TCatalogConnection.h"
#include "data/TCatalogQuery.h"
#include "glo/InputValueFormat.h"
#include "picture/JpegDecoder.h"
#include "picture/TJPEGImage.h"
#include "platform/TMemoryStream.h"
#include "platform/TavelinError.h"
#include "support/FrameSearch.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include <cmath>
#include <memory>

namespace FuzzHarness {
namespace {

// Decodes larger than this are skipped when the decoder would accept them: they test nothing a
// smaller picture does not, and only cost time. Decodes the decoder refuses are always tried.
constexpr qint64 kPixelBudget = qint64(1024) * 1024;
// A progressive picture keeps every coefficient of the whole picture while it decodes, at any
// output scale; beyond this (an estimate: two bytes per sample, no subsampling) a decode is left
// to the unit tests, which try the limits themselves. Under the sanitizers on a busy machine such
// decodes take seconds each and would only turn into fuzzer timeouts.
constexpr qint64 kWorkingBudget = qint64(64) << 20;
// Rows of a list whose fields are all read; the rest are only counted.
constexpr int kRowsRead = 64;

QString describe(const char *what, int scale, int format, int grey, int speed)
{
    return QStringLiteral("%1 (scale 1/%2, %3, %4, %5)")
        .arg(QLatin1String(what))
        .arg(JpegDecoder::kScaleDenominators[scale])
        .arg(format ? QStringLiteral("8-bit") : QStringLiteral("24-bit"))
        .arg(grey ? QStringLiteral("grey") : QStringLiteral("colour"))
        .arg(speed ? QStringLiteral("speed") : QStringLiteral("quality"));
}

// What the decoded image must look like for the options.
bool tooCostly(const JpegDecoder::THeader &header)
{
    return header.progressive
           && qint64(header.imageWidth) * header.imageHeight * qMax(1, header.components) * 2 > kWorkingBudget;
}

QString checkImage(const QImage &image, const TJPEGImage &jpeg, int format, int grey)
{
    if (image.size() != QSize(jpeg.Width(), jpeg.Height()))
        return QStringLiteral("decoded %1 x %2, the header promised %3 x %4")
            .arg(image.width())
            .arg(image.height())
            .arg(jpeg.Width())
            .arg(jpeg.Height());
    if (grey && image.format() != QImage::Format_Grayscale8)
        return QStringLiteral("grey output is not a grey image (format %1)").arg(int(image.format()));
    if (!grey && format && image.format() != QImage::Format_Indexed8)
        return QStringLiteral("8-bit output is not a palette image (format %1)").arg(int(image.format()));
    if (!grey && !format && image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_Grayscale8)
        return QStringLiteral("24-bit output has format %1").arg(int(image.format()));
    if (image.format() == QImage::Format_Indexed8) {
        const int colours = image.colorCount();
        if (colours < 1 || colours > 256)
            return QStringLiteral("a palette of %1 colours").arg(colours);
        for (int y = 0; y < image.height(); ++y) {
            const uchar *row = image.constScanLine(y);
            for (int x = 0; x < image.width(); ++x)
                if (row[x] >= colours)
                    return QStringLiteral("pixel %1,%2 indexes colour %3 of a palette of %4")
                        .arg(x)
                        .arg(y)
                        .arg(row[x])
                        .arg(colours);
        }
    }
    return {};
}

// A failed operation must say why.
QString checkError(const TavelinError &e, const char *what)
{
    return e.message().trimmed().isEmpty() ? QStringLiteral("%1 failed without a message").arg(QLatin1String(what))
                                           : QString();
}

QString drawThumbnail(TGraphic &picture)
{
    QImage cell(55, 66, QImage::Format_RGB32);
    cell.fill(Qt::white);
    QPainter painter(&cell);
    try {
        picture.Draw(painter, cell.rect());
    } catch (const TavelinError &e) {
        return checkError(e, "drawing a thumbnail");
    }
    return {};
}

} // namespace

QString JpegPicture(const QByteArray &bytes)
{
    TJPEGImage jpeg;
    try {
        jpeg.LoadFromBytes(bytes);
    } catch (const TavelinError &e) {
        if (!jpeg.IsEmpty())
            return QStringLiteral("a failed load left a picture behind");
        return checkError(e, "loading");
    }
    if (bytes.isEmpty() != jpeg.IsEmpty())
        return QStringLiteral("emptiness of the picture does not follow its bytes");
    if (jpeg.IsEmpty())
        return {};
    if (jpeg.CompressedData() != bytes)
        return QStringLiteral("the compressed data is not the bytes loaded");

    const JpegDecoder::THeader header = JpegDecoder::ReadHeader(bytes);
    if (tooCostly(header))
        return {};
    for (int scale = 0; scale < 4; ++scale) {
        for (int format = 0; format < 2; ++format) {
            for (int grey = 0; grey < 2; ++grey) {
                for (int speed = 0; speed < 2; ++speed) {
                    jpeg.SetScale(static_cast<TJPEGScale>(scale));
                    jpeg.SetPixelFormat(static_cast<TJPEGPixelFormat>(format));
                    jpeg.SetGrayscale(grey != 0);
                    jpeg.SetPerformance(static_cast<TJPEGPerformance>(speed));
                    if (jpeg.Width() != header.outWidth[scale] || jpeg.Height() != header.outHeight[scale])
                        return describe("the size does not follow the scale", scale, format, grey, speed);
                    JpegDecoder::TOptions options;
                    options.scaleIndex = scale;
                    options.quantize = format || grey;
                    options.grey = grey;
                    const qint64 pixels = qint64(jpeg.Width()) * jpeg.Height();
                    const bool refused = JpegDecoder::MemoryNeeded(header, options) > TDecodeMemory::Limit();
                    if (pixels > kPixelBudget && !refused)
                        continue;
                    QImage image;
                    try {
                        image = jpeg.Image();
                    } catch (const TavelinError &e) {
                        const QString why = checkError(e, "decoding");
                        if (!why.isEmpty())
                            return why;
                        continue;
                    }
                    if (refused)
                        return describe("a decode beyond the memory limit was accepted", scale, format, grey, speed);
                    const QString wrong = checkImage(image, jpeg, format, grey);
                    if (!wrong.isEmpty())
                        return describe(qPrintable(wrong), scale, format, grey, speed);
                }
            }
        }
    }

    // As a thumbnail cell holds it: a copy at the default options, drawn small.
    TJPEGImage cell;
    cell.LoadFromBytes(bytes);
    const std::unique_ptr<TGraphic> copy = cell.Clone();
    const int drawn = static_cast<int>(cell.ScaleToCover(QSize(55, 66)));
    if (qint64(header.outWidth[drawn]) * header.outHeight[drawn] > kPixelBudget)
        return {};
    return drawThumbnail(*copy);
}

namespace {

// A slot's plain bytes as a thumbnail run takes them: load, copy into the cell, decode at 1/8.
QString loadSlot(TMemoryStream &stream)
{
    if (stream.Size() == 0)
        return {};
    stream.SetPosition(0);
    TJPEGImage picture;
    try {
        picture.LoadFromStream(stream);
    } catch (const TavelinError &e) {
        return checkError(e, "loading a slot");
    }
    const std::unique_ptr<TGraphic> cell = picture.Clone();
    auto *jpeg = static_cast<TJPEGImage *>(cell.get());
    if (tooCostly(JpegDecoder::ReadHeader(jpeg->CompressedData())))
        return {};
    jpeg->SetScale(TJPEGScale::jsEighth);
    try {
        const QImage image = jpeg->Image();
        if (image.size() != QSize(jpeg->Width(), jpeg->Height()))
            return QStringLiteral("a 1/8 decode of %1 x %2 for a promised %3 x %4")
                .arg(image.width())
                .arg(image.height())
                .arg(jpeg->Width())
                .arg(jpeg->Height());
    } catch (const TavelinError &e) {
        return checkError(e, "decoding a slot at 1/8");
    }
    return {};
}

} // namespace

QString PictureSlot(const QByteArray &stored)
{
    TMemoryStream stream;
    stream.Write(stored); // position at the end: the whole buffer is still transformed
    DecodePictureStream(stream);
    if (stream.Size() != stored.size() || stream.Position() != 0)
        return QStringLiteral("the transform changed the size or left the position at %1").arg(stream.Position());
    const auto *plain = reinterpret_cast<const std::uint8_t *>(stream.Memory());
    for (qsizetype i = 0; i < stored.size(); ++i)
        if (plain[i] != PictureTransform::PlainFromStored(static_cast<std::uint8_t>(stored[i])))
            return QStringLiteral("byte %1 of %2 was transformed wrongly").arg(i).arg(stored.size());
    return loadSlot(stream);
}

namespace {

QString cataloguePath()
{
    // One folder for the whole run, in memory where there is such a place.
    static const std::unique_ptr<QTemporaryDir> dir = [] {
        const QString shm = QStringLiteral("/dev/shm");
        auto d = QDir(shm).exists() ? std::make_unique<QTemporaryDir>(shm + QStringLiteral("/tavelin-fuzz-XXXXXX"))
                                    : std::make_unique<QTemporaryDir>();
        return d;
    }();
    return dir->filePath(QStringLiteral("KVRJetLib.mdb"));
}

void removeCatalogue(const QString &path)
{
    for (const char *suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QLatin1String(suffix));
}

// Reads what a browser reads of a listed row; errors are allowed, silence is not.
QString readRow(TCatalogQuery &q)
{
    for (const TQueryField &f : q.Fields()) {
        try {
            if (f.type == TFieldType::Integer)
                q.FieldAsInteger(f.name);
            else if (f.type != TFieldType::Blob)
                q.FieldAsString(f.name);
            q.FieldIsNull(f.name);
        } catch (const TavelinError &e) {
            const QString why = checkError(e, "reading a field");
            if (!why.isEmpty())
                return why;
        }
    }
    return {};
}

QString readSlots(TCatalogConnection &connection, const TAtlasDef &atlas, qint32 recordSN)
{
    TCatalogQuery pictures;
    TestSupport::PrepareQuery(pictures, connection, {atlas.pictureSql});
    pictures.SetParameter(QStringLiteral("SQLRecordSN"), recordSN);
    try {
        pictures.Open();
    } catch (const TavelinError &e) {
        return checkError(e, "opening a picture query");
    }
    if (pictures.IsEmpty())
        return {};
    TMemoryStream stream;
    for (int k = 1; k <= atlas.slotCount; ++k) {
        stream.Clear();
        try {
            pictures.PictureToStream(CatalogSchema::SlotColumn(k), stream);
        } catch (const TavelinError &e) {
            const QString why = checkError(e, "reading a slot");
            if (!why.isEmpty())
                return why;
            continue;
        }
        const QString why = loadSlot(stream);
        if (!why.isEmpty())
            return QStringLiteral("%1 slot %2: %3").arg(atlas.code).arg(k).arg(why);
    }
    return {};
}

QString browseAtlas(TCatalogConnection &connection, const TAtlasDef &atlas)
{
    TCatalogQuery list;
    TestSupport::PrepareQuery(list, connection, {atlas.listSql});
    try {
        list.Open();
    } catch (const TavelinError &e) {
        return checkError(e, "opening a list");
    }
    const int rows = list.RecordCount();
    for (int r = 0; r < rows && r < kRowsRead; ++r) {
        list.SetRecNo(r);
        const QString why = readRow(list);
        if (!why.isEmpty())
            return QStringLiteral("%1 row %2: %3").arg(atlas.code).arg(r).arg(why);
    }
    if (rows > 0) {
        list.First();
        qint32 sn = 0;
        try {
            sn = list.FieldAsInteger(QStringLiteral("RecordSN"));
        } catch (const TavelinError &e) {
            return checkError(e, "reading RecordSN");
        }
        const QString why = readSlots(connection, atlas, sn);
        if (!why.isEmpty())
            return why;
    }

    // The search box's statement, as the frame builds it.
    TCatalogQuery search;
    TestSupport::PrepareQuery(search, connection, TestSupport::SearchStatementFor(atlas.code, QStringLiteral("A")));
    try {
        search.Open();
        if (search.RecordCount() > rows)
            return QStringLiteral("%1: the search found %2 rows of %3").arg(atlas.code).arg(search.RecordCount()).arg(rows);
    } catch (const TavelinError &e) {
        return checkError(e, "searching");
    }
    return {};
}

} // namespace

QString CatalogueFile(const QByteArray &bytes)
{
    const QString path = cataloguePath();
    removeCatalogue(path);
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return QStringLiteral("cannot write the fixture %1").arg(path);
    }
    QString outcome;
    {
        TCatalogConnection connection;
        connection.SetConnectionString(TCatalogConnection::ConnectionStringForFile(path));
        try {
            connection.SetConnected(true);
            for (const TAtlasDef &atlas : CatalogSchema::Atlases()) {
                outcome = browseAtlas(connection, atlas);
                if (!outcome.isEmpty())
                    break;
            }
        } catch (const TavelinError &e) {
            outcome = checkError(e, "opening the catalogue");
        }
    }
    removeCatalogue(path);
    return outcome;
}

namespace {

// An independent reading of a decimal 32-bit integer: optional sign, ASCII digits, nothing else.
std::optional<std::int32_t> referenceInt32(const QString &text)
{
    const QString t = text.trimmed();
    int i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
        negative = t[i++] == QLatin1Char('-');
    if (i == t.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < t.size(); ++i) {
        const ushort c = t[i].unicode();
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > qint64(1) << 32)
            return std::nullopt; // far out of range already; stop before it could overflow
    }
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return std::int32_t(value);
}

QString checkFloat(const QString &text, const QLocale &locale)
{
    const std::optional<double> parsed = ParseFloat(text, locale);
    if (!parsed)
        return {};
    const double v = *parsed;
    if (!std::isfinite(v))
        return QStringLiteral("ParseFloat gave a non-finite value for \"%1\"").arg(text);
    // The dialog shows the value rounded to cents; confirming it unchanged must be accepted and
    // give back what was shown.
    const QString shown = FormatFloatForInput(v, locale);
    const std::optional<double> back = ParseFloat(shown, locale);
    if (!back)
        return QStringLiteral("%1 is shown as \"%2\", which the dialog refuses (%3 locale)")
            .arg(QString::number(v, 'g', 17), shown, locale.name());
    const double expected = RoundToCents(v);
    if (std::fabs(*back - expected) > 1e-13 * std::max(1.0, std::fabs(expected)))
        return QStringLiteral("%1 is shown as \"%2\", which reads back as %3 (%4 locale)")
            .arg(QString::number(v, 'g', 17), shown, QString::number(*back, 'g', 17), locale.name());
    return {};
}

} // namespace

QString InputValue(const QByteArray &bytes)
{
    const QString text = QString::fromUtf8(bytes);
    const std::optional<std::int32_t> parsed = ParseInt32(text);
    const std::optional<std::int32_t> reference = referenceInt32(text);
    if (parsed != reference)
        return QStringLiteral("ParseInt32(\"%1\") gave %2, a decimal 32-bit integer reading gives %3")
            .arg(text, parsed ? QString::number(*parsed) : QStringLiteral("nothing"),
                 reference ? QString::number(*reference) : QStringLiteral("nothing"));
    if (parsed && ParseInt32(QString::number(*parsed)) != parsed)
        return QStringLiteral("%1 does not read back").arg(*parsed);
    for (const QLocale &locale : {QLocale::c(), QLocale(QLocale::German, QLocale::Germany)}) {
        const QString why = checkFloat(text, locale);
        if (!why.isEmpty())
            return why;
    }
    return {};
}

} // namespace FuzzHarness
