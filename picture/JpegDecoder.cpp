#include "picture/JpegDecoder.h"

#include "platform/TavelinError.h"

#include <QtEndian>

#include <algorithm>
#include <atomic>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <ctime>

extern "C" {
#include <jpeglib.h>
#include <jerror.h>
}

namespace JpegDecoder {
namespace {

// ---- The libjpeg calls. Everything between setjmp and longjmp below is plain C-style code:
// no object with a destructor lives in these frames, so jumping out of libjpeg skips nothing.

struct TCoreOutcome {
    int failed;
    char error[JMSG_LENGTH_MAX];
    int errorCode;
    int damaged;
    char damage[JMSG_LENGTH_MAX];
    int colors;
    int mapComponents;
    unsigned char colormap[4][256];
};

// error_mgr first, so libjpeg's err pointer leads back to the whole context.
struct TCoreContext {
    jpeg_error_mgr pub;
    jpeg_progress_mgr progress;
    std::jmp_buf jump;
    TCoreOutcome *outcome;
    int maxScans;
    // Work done reading scans, in 8 x 8 blocks, and the most it may be.
    long long work;
    long long workBudget;
    int lastScan;
    unsigned int lastRow;
    // Processor time of the decoding thread when the decode began, and the most it may use.
    long long startNs;
    long long limitNs;
};

std::atomic<int> g_timeLimitMs{kMaxDecodeMilliseconds};

long long threadCpuNs()
{
    timespec t;
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t) != 0)
        return 0;
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

extern "C" void coreErrorExit(j_common_ptr cinfo)
{
    auto *ctx = reinterpret_cast<TCoreContext *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, ctx->outcome->error);
    ctx->outcome->errorCode = cinfo->err->msg_code;
    std::longjmp(ctx->jump, 1);
}

bool isDamageWarning(int code)
{
    switch (code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_MUST_RESYNC:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_BOGUS_PROGRESSION:
    case JWRN_NOT_SEQUENTIAL:
        return true;
    default:
        return false; // e.g. stray bytes before a marker: the picture itself is whole
    }
}

// Warnings are recorded, never printed and never fatal; trace messages are dropped.
extern "C" void coreEmitMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0)
        return;
    auto *ctx = reinterpret_cast<TCoreContext *>(cinfo->err);
    cinfo->err->num_warnings++;
    if (!isDamageWarning(cinfo->err->msg_code))
        return;
    if (ctx->outcome->damaged++ == 0)
        (*cinfo->err->format_message)(cinfo, ctx->outcome->damage);
}

// Bounds the time a decode may take. Every scan of a picture walks all the blocks of its
// components, so a few thousand scans over a large picture take minutes; a sound picture has a
// few dozen at most. The number of scans and the blocks walked while reading them (weighted by
// the cost of their coding) are limited, and so is the processor time, whatever it was spent on.
extern "C" void coreProgress(j_common_ptr cinfo)
{
    auto *ctx = reinterpret_cast<TCoreContext *>(cinfo->err);
    if (!cinfo->is_decompressor)
        return;
    if (ctx->limitNs > 0 && threadCpuNs() - ctx->startNs > ctx->limitNs) {
        std::snprintf(ctx->outcome->error, JMSG_LENGTH_MAX, "decoding it takes longer than the %lld ms allowed",
                      ctx->limitNs / 1000000LL);
        ctx->outcome->errorCode = -1;
        std::longjmp(ctx->jump, 1);
    }
    auto *d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > ctx->maxScans) {
        std::snprintf(ctx->outcome->error, JMSG_LENGTH_MAX, "the picture has more than %d scans", ctx->maxScans);
        ctx->outcome->errorCode = -1;
        std::longjmp(ctx->jump, 1);
    }
    if (d->input_scan_number == ctx->lastScan && d->input_iMCU_row == ctx->lastRow)
        return; // no input read since the last call (e.g. while rows are handed out)
    ctx->lastScan = d->input_scan_number;
    ctx->lastRow = d->input_iMCU_row;
    long long rowBlocks = static_cast<long long>(d->MCUs_per_row) * d->blocks_in_MCU;
    if (d->comps_in_scan == 1 && d->cur_comp_info[0])
        rowBlocks *= d->cur_comp_info[0]->v_samp_factor;
    if (d->arith_code)
        rowBlocks *= kArithmeticWeight;
    ctx->work += rowBlocks;
    if (ctx->work > ctx->workBudget) {
        std::snprintf(ctx->outcome->error, JMSG_LENGTH_MAX,
                      "its scans would take too long to decode (far more work than a sound picture of its size needs, or more than any picture may take)");
        ctx->outcome->errorCode = -1;
        std::longjmp(ctx->jump, 1);
    }
}

void initContext(TCoreContext *ctx, TCoreOutcome *outcome, int maxScans)
{
    std::memset(outcome, 0, sizeof *outcome);
    ctx->outcome = outcome;
    ctx->maxScans = maxScans;
    ctx->work = 0;
    ctx->workBudget = 0;
    ctx->lastScan = -1;
    ctx->lastRow = 0;
    ctx->startNs = threadCpuNs();
    ctx->limitNs = static_cast<long long>(g_timeLimitMs.load()) * 1000000LL; // decodeCore may lower it
    jpeg_std_error(&ctx->pub);
    ctx->pub.error_exit = coreErrorExit;
    ctx->pub.emit_message = coreEmitMessage;
    ctx->progress.progress_monitor = coreProgress;
    ctx->progress.pass_counter = 0;
    ctx->progress.pass_limit = 0;
    ctx->progress.completed_passes = 0;
    ctx->progress.total_passes = 0;
}

struct THeaderCore {
    int imageWidth, imageHeight, components, colorSpace, progressive, arithmetic;
    long long coefficientBytes;
    int outWidth[4], outHeight[4];
};

bool readHeaderCore(const unsigned char *data, unsigned long size, THeaderCore *out, TCoreOutcome *outcome)
{
    jpeg_decompress_struct cinfo;
    TCoreContext ctx;
    std::memset(&cinfo, 0, sizeof cinfo);
    initContext(&ctx, outcome, kMaxScans);
    cinfo.err = &ctx.pub;
    if (setjmp(ctx.jump)) {
        outcome->failed = 1;
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, size);
    jpeg_read_header(&cinfo, TRUE);
    out->imageWidth = static_cast<int>(cinfo.image_width);
    out->imageHeight = static_cast<int>(cinfo.image_height);
    out->components = cinfo.num_components;
    out->colorSpace = cinfo.jpeg_color_space;
    out->progressive = cinfo.progressive_mode ? 1 : 0;
    out->arithmetic = cinfo.arith_code ? 1 : 0;
    // As libjpeg's coefficient controller sizes its whole-picture buffer (JBLOCK: 64 coefficients).
    out->coefficientBytes = 0;
    if (jpeg_has_multiple_scans(&cinfo))
        for (int c = 0; c < cinfo.num_components; ++c) {
            const jpeg_component_info &comp = cinfo.comp_info[c];
            const long long w = (comp.width_in_blocks + comp.h_samp_factor - 1) / comp.h_samp_factor * comp.h_samp_factor;
            const long long h = (comp.height_in_blocks + comp.v_samp_factor - 1) / comp.v_samp_factor * comp.v_samp_factor;
            out->coefficientBytes += w * h * static_cast<long long>(sizeof(JBLOCK));
        }
    for (int i = 0; i < 4; ++i) {
        cinfo.scale_num = 1;
        cinfo.scale_denom = static_cast<unsigned int>(kScaleDenominators[i]);
        jpeg_calc_output_dimensions(&cinfo);
        out->outWidth[i] = static_cast<int>(cinfo.output_width);
        out->outHeight[i] = static_cast<int>(cinfo.output_height);
    }
    jpeg_destroy_decompress(&cinfo);
    return true;
}

// Gives the buffer for the decoded rows once libjpeg knows the output size; returns nullptr to
// refuse. Runs to completion before libjpeg goes on, so it may be C++.
typedef unsigned char *(*TAllocateRows)(void *owner, int width, int height, int components, int colors,
                                        const TCoreOutcome *outcome, long *stride);

struct TDecodeJob {
    const unsigned char *data;
    unsigned long size;
    unsigned int scaleDenom;
    J_COLOR_SPACE outSpace;
    int quantize;
    int fast;
    long maxWorkingMemory;
    long long maxWork;
    long long maxNanoseconds;
    TAllocateRows allocate;
    void *owner;
};

bool decodeCore(const TDecodeJob *job, TCoreOutcome *outcome)
{
    jpeg_decompress_struct cinfo;
    TCoreContext ctx;
    std::memset(&cinfo, 0, sizeof cinfo);
    initContext(&ctx, outcome, kMaxScans);
    cinfo.err = &ctx.pub;
    if (setjmp(ctx.jump)) {
        outcome->failed = 1;
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = job->maxWorkingMemory;
    cinfo.progress = &ctx.progress;
    jpeg_mem_src(&cinfo, job->data, job->size);
    jpeg_read_header(&cinfo, TRUE);
    long long blocks = 0;
    for (int c = 0; c < cinfo.num_components; ++c)
        blocks += static_cast<long long>(cinfo.comp_info[c].width_in_blocks) * cinfo.comp_info[c].height_in_blocks;
    ctx.workBudget = blocks * kMaxPassesOverTheImage;
    if (ctx.workBudget < kMinWorkBudget)
        ctx.workBudget = kMinWorkBudget;
    if (ctx.workBudget > job->maxWork)
        ctx.workBudget = job->maxWork;
    if (ctx.limitNs > job->maxNanoseconds)
        ctx.limitNs = job->maxNanoseconds;

    cinfo.scale_num = 1;
    cinfo.scale_denom = job->scaleDenom;
    cinfo.out_color_space = job->outSpace;
    if (job->quantize) {
        cinfo.quantize_colors = TRUE;
        cinfo.desired_number_of_colors = 236;
    }
    if (job->fast) {
        cinfo.dct_method = JDCT_IFAST;
        cinfo.two_pass_quantize = FALSE;
        cinfo.dither_mode = JDITHER_ORDERED;
    }
    cinfo.do_block_smoothing = TRUE;
    cinfo.buffered_image = FALSE; // the whole picture is decoded before anyone sees it

    jpeg_start_decompress(&cinfo);
    if (cinfo.quantize_colors) {
        outcome->colors = cinfo.actual_number_of_colors;
        outcome->mapComponents = cinfo.out_color_components;
        for (int c = 0; c < cinfo.out_color_components && c < 4; ++c)
            for (int i = 0; i < cinfo.actual_number_of_colors && i < 256; ++i)
                outcome->colormap[c][i] = cinfo.colormap[c][i];
    }
    long stride = 0;
    unsigned char *pixels =
        job->allocate(job->owner, static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height),
                      cinfo.output_components, outcome->colors, outcome, &stride);
    if (!pixels) {
        std::snprintf(outcome->error, JMSG_LENGTH_MAX, "no memory for a %u x %u picture", cinfo.output_width,
                      cinfo.output_height);
        outcome->errorCode = JERR_OUT_OF_MEMORY;
        outcome->failed = 1;
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    JSAMPROW rows[16];
    while (cinfo.output_scanline < cinfo.output_height) {
        JDIMENSION n = cinfo.output_height - cinfo.output_scanline;
        if (n > 16)
            n = 16;
        for (JDIMENSION i = 0; i < n; ++i)
            rows[i] = pixels + static_cast<long>(cinfo.output_scanline + i) * stride;
        if (jpeg_read_scanlines(&cinfo, rows, n) == 0)
            break; // suspension cannot happen with a memory source; stop rather than spin
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

// ---- C++ side

QString errorText(const TCoreOutcome &o)
{
    if (o.errorCode == JERR_NO_BACKING_STORE || o.errorCode == JERR_OUT_OF_MEMORY)
        return QStringLiteral("decoding it needs more memory than allowed (%1)").arg(QString::fromLocal8Bit(o.error));
    return QString::fromLocal8Bit(o.error);
}

enum class TOutput {
    Colour,        // BGRA rows straight into a Format_RGB32 image
    Palette,       // 236-colour palette, Format_Indexed8 with libjpeg's colour map
    Grey,          // a grey picture as stored, Format_Grayscale8
    GreyQuantized, // grey levels quantized by libjpeg, mapped through its map into Format_Grayscale8
    GreyPalette,   // a grey picture with the 8-bit option: Format_Indexed8 with libjpeg's grey map
    Cmyk,          // CMYK rows (libjpeg cannot convert them), turned into RGB here
};

TOutput outputFor(const THeader &header, const TOptions &options)
{
    if (header.colorSpace == JCS_CMYK || header.colorSpace == JCS_YCCK)
        return TOutput::Cmyk;
    if (options.grey)
        return TOutput::GreyQuantized; // grey output is quantized to 236 levels as well
    if (header.colorSpace == JCS_GRAYSCALE)
        return options.quantize ? TOutput::GreyPalette : TOutput::Grey;
    return options.quantize ? TOutput::Palette : TOutput::Colour;
}

struct TAllocation {
    TOutput output;
    qint64 allowed; // bytes reserved for the image
    QImage image;
};

QImage::Format formatFor(TOutput output)
{
    switch (output) {
    case TOutput::Colour:
    case TOutput::Cmyk: return QImage::Format_RGB32;
    case TOutput::Palette:
    case TOutput::GreyPalette: return QImage::Format_Indexed8;
    case TOutput::Grey:
    case TOutput::GreyQuantized: return QImage::Format_Grayscale8;
    }
    return QImage::Format_Invalid;
}

unsigned char *allocateRows(void *owner, int width, int height, int components, int colors,
                            const TCoreOutcome *outcome, long *stride) noexcept
{
    auto *a = static_cast<TAllocation *>(owner);
    const QImage::Format format = formatFor(a->output);
    const int expected = format == QImage::Format_RGB32 ? 4 : 1;
    if (components != expected || width <= 0 || height <= 0)
        return nullptr;
    if (qint64(width) * height * expected > a->allowed)
        return nullptr;
    a->image = QImage(width, height, format);
    if (a->image.isNull())
        return nullptr;
    if (format == QImage::Format_Indexed8) {
        QList<QRgb> table;
        table.reserve(colors);
        for (int i = 0; i < colors; ++i) {
            if (outcome->mapComponents >= 3)
                table << qRgb(outcome->colormap[0][i], outcome->colormap[1][i], outcome->colormap[2][i]);
            else
                table << qRgb(outcome->colormap[0][i], outcome->colormap[0][i], outcome->colormap[0][i]);
        }
        a->image.setColorTable(table);
    }
    *stride = a->image.bytesPerLine();
    return a->image.bits();
}

J_COLOR_SPACE spaceFor(TOutput output)
{
    switch (output) {
    case TOutput::Colour:
        // Format_RGB32 is 0xffRRGGBB in a native word; the alpha byte must be 0xff.
        return Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRA : JCS_EXT_ARGB;
    case TOutput::Palette: return JCS_RGB;
    case TOutput::Grey:
    case TOutput::GreyQuantized:
    case TOutput::GreyPalette: return JCS_GRAYSCALE;
    case TOutput::Cmyk: return JCS_CMYK;
    }
    return JCS_UNKNOWN;
}

// Adobe writes CMYK inverted (the usual case for CMYK JPEGs): full ink is 0.
void cmykRowsToRgb(QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        uchar *p = image.scanLine(y);
        auto *out = reinterpret_cast<QRgb *>(p);
        for (int x = 0; x < image.width(); ++x) {
            const int c = p[4 * x], m = p[4 * x + 1], ye = p[4 * x + 2], k = p[4 * x + 3];
            out[x] = qRgb(c * k / 255, m * k / 255, ye * k / 255);
        }
    }
}

void mapGreyLevels(QImage &image, const TCoreOutcome &o)
{
    uchar lut[256];
    for (int i = 0; i < 256; ++i)
        lut[i] = i < o.colors ? o.colormap[0][i] : 0;
    for (int y = 0; y < image.height(); ++y) {
        uchar *p = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x)
            p[x] = lut[p[x]];
    }
}

} // namespace

THeader ReadHeader(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        throw TavelinError(QStringLiteral("The picture data is empty."));
    THeaderCore core{};
    TCoreOutcome outcome;
    if (!readHeaderCore(reinterpret_cast<const unsigned char *>(bytes.constData()),
                        static_cast<unsigned long>(bytes.size()), &core, &outcome))
        throw TavelinError(QStringLiteral("The data is not a readable JPEG picture: %1").arg(errorText(outcome)));
    THeader h;
    h.imageWidth = core.imageWidth;
    h.imageHeight = core.imageHeight;
    h.components = core.components;
    h.colorSpace = core.colorSpace;
    h.progressive = core.progressive != 0;
    h.arithmetic = core.arithmetic != 0;
    h.coefficientBytes = core.coefficientBytes;
    std::copy(core.outWidth, core.outWidth + 4, h.outWidth);
    std::copy(core.outHeight, core.outHeight + 4, h.outHeight);
    return h;
}

int BytesPerPixel(const THeader &header, const TOptions &options)
{
    return formatFor(outputFor(header, options)) == QImage::Format_RGB32 ? 4 : 1;
}

qint64 OutputBytes(const THeader &header, const TOptions &options)
{
    const int scale = qBound(0, options.scaleIndex, 3);
    return qint64(header.outWidth[scale]) * header.outHeight[scale] * BytesPerPixel(header, options);
}

namespace {

// libjpeg's working memory for a decode: the whole-picture coefficient buffer of a file of several
// scans, the whole-image buffer of two-pass colour quantization, and the row buffers, which grow
// with the picture's width (a generous allowance; libjpeg refuses to go past the total).
qint64 workingMemory(const THeader &header, const TOptions &options)
{
    const int scale = qBound(0, options.scaleIndex, 3);
    qint64 bytes = header.coefficientBytes;
    const TOutput output = outputFor(header, options);
    if (output == TOutput::Palette && !options.fast)
        bytes += qint64(header.outWidth[scale]) * header.outHeight[scale] * 3 + (qint64(1) << 17);
    bytes += (qint64(4) << 20) + qint64(header.imageWidth) * qMax(1, header.components) * 64;
    return bytes;
}

QString mib(qint64 bytes)
{
    return QString::number((bytes + (qint64(1) << 20) - 1) >> 20);
}

} // namespace

qint64 MemoryNeeded(const THeader &header, const TOptions &options)
{
    return OutputBytes(header, options) + workingMemory(header, options);
}

void SetTimeLimitForTesting(int milliseconds)
{
    g_timeLimitMs.store(milliseconds > 0 ? milliseconds : kMaxDecodeMilliseconds);
}

TResult Decode(const QByteArray &bytes, const THeader &header, const TOptions &options)
{
    const int scale = qBound(0, options.scaleIndex, 3);
    const qint64 width = header.outWidth[scale], height = header.outHeight[scale];
    const qint64 output = OutputBytes(header, options);
    const qint64 working = workingMemory(header, options);
    const qint64 limit = options.thumbnail ? qMin(TDecodeMemory::Limit(), kMaxThumbnailMemory) : TDecodeMemory::Limit();
    if (output + working > limit)
        throw TavelinError(QStringLiteral("The picture is too large to show at this size: decoding %1 x %2 pixels "
                                          "needs %3 MiB of memory, more than the %4 MiB allowed %5. "
                                          "Choose a smaller scale.")
                               .arg(width)
                               .arg(height)
                               .arg(mib(output + working))
                               .arg(limit >> 20)
                               .arg(options.thumbnail ? QStringLiteral("for a thumbnail") : QStringLiteral("for pictures")));
    // Reserved before anything is allocated, for the output and libjpeg together.
    TDecodeReservation reservation;
    if (!reservation.Reserve(output + working))
        throw TDecodeMemoryBusy(QStringLiteral("The picture cannot be shown now: decoding it needs %1 MiB of memory, "
                                               "and other pictures that are shown hold %2 of the %3 MiB allowed. "
                                               "Close a picture viewer window and try again.")
                                    .arg(mib(output + working))
                                    .arg(mib(TDecodeMemory::InUse()))
                                    .arg(limit >> 20));

    TAllocation allocation{outputFor(header, options), output, QImage()};
    TDecodeJob job;
    job.data = reinterpret_cast<const unsigned char *>(bytes.constData());
    job.size = static_cast<unsigned long>(bytes.size());
    job.scaleDenom = static_cast<unsigned int>(kScaleDenominators[scale]);
    job.outSpace = spaceFor(allocation.output);
    job.quantize = allocation.output == TOutput::Palette || allocation.output == TOutput::GreyQuantized
                   || allocation.output == TOutput::GreyPalette;
    job.fast = options.fast ? 1 : 0;
    job.maxWorkingMemory = static_cast<long>(working);
    job.maxWork = options.thumbnail ? kMaxThumbnailWork : kMaxWork;
    // A thumbnail's share of the limit in force, so a test that moves the limit moves both.
    job.maxNanoseconds = static_cast<long long>(g_timeLimitMs.load()) * 1000000LL
                         * (options.thumbnail ? kMaxThumbnailMilliseconds : kMaxDecodeMilliseconds) / kMaxDecodeMilliseconds;
    job.allocate = allocateRows;
    job.owner = &allocation;

    TCoreOutcome outcome;
    if (!decodeCore(&job, &outcome))
        throw TavelinError(QStringLiteral("The JPEG picture cannot be decoded: %1").arg(errorText(outcome)));

    TResult result;
    result.image = std::move(allocation.image);
    // libjpeg's memory is freed; the image keeps its own share.
    reservation.ShrinkTo(output);
    result.reservation = std::move(reservation);
    if (outcome.damaged)
        result.damage = QString::fromLocal8Bit(outcome.damage);
    switch (allocation.output) {
    case TOutput::Cmyk:
        cmykRowsToRgb(result.image);
        if (options.grey)
            result.image = result.image.convertToFormat(QImage::Format_Grayscale8);
        else if (options.quantize)
            result.image = result.image.convertToFormat(QImage::Format_Indexed8);
        break;
    case TOutput::GreyQuantized: mapGreyLevels(result.image, outcome); break;
    default: break;
    }
    return result;
}

} // namespace JpegDecoder
