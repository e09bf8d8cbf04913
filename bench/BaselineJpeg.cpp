#include "bench/BaselineJpeg.h"

#include "platform/TavelinError.h"

#include <csetjmp>
#include <cstdlib>
#include <cstring>

extern "C" {
#include <jpeglib.h>
}

namespace BaselineJpeg {
namespace {

// Plain C between setjmp and longjmp: nothing with a destructor lives in these frames.
struct TPlainContext {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

extern "C" void plainErrorExit(j_common_ptr cinfo)
{
    auto *ctx = reinterpret_cast<TPlainContext *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, ctx->message);
    std::longjmp(ctx->jump, 1);
}

struct TPlainOutput {
    unsigned char *pixels; // malloc'd, RGB rows
    int width;
    int height;
    long stride;
};

bool decodeCore(const unsigned char *data, unsigned long size, unsigned int denom, TPlainOutput *out,
                TPlainContext *ctx)
{
    jpeg_decompress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = jpeg_std_error(&ctx->pub);
    ctx->pub.error_exit = plainErrorExit;
    out->pixels = nullptr;
    if (setjmp(ctx->jump)) {
        std::free(out->pixels);
        out->pixels = nullptr;
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, size);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.scale_num = 1;
    cinfo.scale_denom = denom;
    jpeg_start_decompress(&cinfo);
    out->width = int(cinfo.output_width);
    out->height = int(cinfo.output_height);
    out->stride = (long(cinfo.output_width) * cinfo.output_components + 3) & ~3L;
    out->pixels = static_cast<unsigned char *>(std::malloc(size_t(out->stride) * cinfo.output_height));
    if (!out->pixels) {
        std::strcpy(ctx->message, "out of memory");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out->pixels + long(cinfo.output_scanline) * out->stride;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

void freePixels(void *pixels)
{
    std::free(pixels);
}

} // namespace

QImage Decode(const QByteArray &jpeg, int denominator)
{
    TPlainContext ctx;
    TPlainOutput out{};
    if (!decodeCore(reinterpret_cast<const unsigned char *>(jpeg.constData()), static_cast<unsigned long>(jpeg.size()),
                    static_cast<unsigned int>(denominator), &out, &ctx))
        throw TavelinError(QStringLiteral("baseline decode failed: %1").arg(QString::fromLocal8Bit(ctx.message)));
    // The image takes over the rows and frees them.
    return QImage(out.pixels, out.width, out.height, out.stride, QImage::Format_RGB888, freePixels, out.pixels);
}

} // namespace BaselineJpeg
