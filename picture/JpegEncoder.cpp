#include "picture/JpegEncoder.h"

#include "platform/TavelinError.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace {

struct EncoderError {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

extern "C" void encoderErrorExit(j_common_ptr cinfo)
{
    auto *err = reinterpret_cast<EncoderError *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Plain C-style body: nothing with a destructor lives across the setjmp.
bool encodeRaw(const unsigned char *pixels, int width, int height, int stride, int components, int quality,
               bool progressive, bool arithmetic, unsigned char **out, unsigned long *outSize, char *message)
{
    jpeg_compress_struct cinfo;
    EncoderError jerr;
    cinfo.err = jpeg_std_error(&jerr.pub);
    jerr.pub.error_exit = encoderErrorExit;
    jerr.message[0] = 0;
    if (setjmp(jerr.jump)) {
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", jerr.message);
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, out, outSize);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (progressive)
        jpeg_simple_progression(&cinfo);
    cinfo.arith_code = arithmetic ? TRUE : FALSE;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels + static_cast<size_t>(cinfo.next_scanline) * stride);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

} // namespace

QByteArray EncodeJpeg(const QImage &image, const TJpegEncodeOptions &options)
{
    if (image.isNull())
        throw TavelinError(QStringLiteral("Cannot encode an empty image as JPEG."));
    QImage src = options.grayscale ? image.convertToFormat(QImage::Format_Grayscale8)
                                   : image.convertToFormat(QImage::Format_RGB888);
    int components = options.grayscale ? 1 : 3;
    if (options.cmyk && !options.grayscale) {
        // Inverted CMYK: each byte is 255 - ink, so white is 255 255 255 255.
        QImage cmyk(src.size(), QImage::Format_RGB32);
        for (int y = 0; y < src.height(); ++y) {
            const uchar *in = src.constScanLine(y);
            uchar *out = cmyk.scanLine(y);
            for (int x = 0; x < src.width(); ++x) {
                const int r = in[3 * x], g = in[3 * x + 1], b = in[3 * x + 2];
                const int k = 255 - qMax(r, qMax(g, b)); // ink
                const int paper = 255 - k;
                out[4 * x] = uchar(paper == 0 ? 255 : 255 - (paper - r) * 255 / paper);
                out[4 * x + 1] = uchar(paper == 0 ? 255 : 255 - (paper - g) * 255 / paper);
                out[4 * x + 2] = uchar(paper == 0 ? 255 : 255 - (paper - b) * 255 / paper);
                out[4 * x + 3] = uchar(255 - k);
            }
        }
        src = cmyk;
        components = 4;
    }
    unsigned char *out = nullptr;
    unsigned long size = 0;
    char message[JMSG_LENGTH_MAX] = {0};
    const bool ok = encodeRaw(src.constBits(), src.width(), src.height(), src.bytesPerLine(),
                              components, options.quality, options.progressive,
                              options.arithmetic, &out, &size, message);
    QByteArray bytes;
    if (ok && out)
        bytes = QByteArray(reinterpret_cast<const char *>(out), static_cast<qsizetype>(size));
    std::free(out);
    if (!ok)
        throw TavelinError(QStringLiteral("JPEG encoding failed: %1").arg(QString::fromLocal8Bit(message)));
    return bytes;
}
