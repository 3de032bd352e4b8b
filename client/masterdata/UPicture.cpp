#include "UPicture.h"

#include <QBuffer>
#include <QFile>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <jpeglib.h>

namespace korvane::picture {

namespace {

//! libjpeg's error manager with the place to return to. A fatal error and every warning
//! (a truncated file only warns, then invents the missing rows) end the decoding there.
struct TJpegErrors
{
    jpeg_error_mgr mgr;
    std::jmp_buf back;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void leave(j_common_ptr cinfo)
{
    auto *errors = reinterpret_cast<TJpegErrors *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, errors->message);
    std::longjmp(errors->back, 1);
}

void warnOrTrace(j_common_ptr cinfo, int level)
{
    if (level < 0)
        leave(cinfo);
}

void bindErrors(TJpegErrors &errors)
{
    jpeg_std_error(&errors.mgr);
    errors.mgr.error_exit = leave;
    errors.mgr.emit_message = warnOrTrace;
    errors.message[0] = '\0';
}

// Everything the decoder touches between setjmp and longjmp lives here, on the heap and
// owned from outside that span, so a jump leaves nothing half-destroyed.
struct TDecoder
{
    jpeg_decompress_struct cinfo{};
    TJpegErrors errors{};
    QImage image;
    bool created = false;
    ~TDecoder()
    {
        if (created)
            jpeg_destroy_decompress(&cinfo);
    }
};

struct TEncoder
{
    jpeg_compress_struct cinfo{};
    TJpegErrors errors{};
    unsigned char *out = nullptr;
    unsigned long size = 0;
    bool created = false;
    ~TEncoder()
    {
        if (created)
            jpeg_destroy_compress(&cinfo);
        std::free(out);
    }
};

//! Decodes into d.image; false after any complaint of libjpeg. No C++ object is created
//! or destroyed between the setjmp and a jump back to it.
bool decodeInto(TDecoder &d, const QByteArray &bytes)
{
    d.cinfo.err = &d.errors.mgr;
    bindErrors(d.errors);
    if (setjmp(d.errors.back))
        return false;
    jpeg_create_decompress(&d.cinfo);
    d.created = true;
    jpeg_mem_src(&d.cinfo, reinterpret_cast<const unsigned char *>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&d.cinfo, TRUE);
    const bool gray = d.cinfo.jpeg_color_space == JCS_GRAYSCALE;
    const bool colour =
        d.cinfo.jpeg_color_space == JCS_YCbCr || d.cinfo.jpeg_color_space == JCS_RGB;
    if ((!gray && !colour) ||
        qint64(d.cinfo.image_width) * qint64(d.cinfo.image_height) > MaxPixels) {
        std::snprintf(d.errors.message, sizeof d.errors.message, "unsupported picture");
        return false;
    }
    d.cinfo.out_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_start_decompress(&d.cinfo);
    d.image = QImage(int(d.cinfo.output_width), int(d.cinfo.output_height),
                     gray ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    if (d.image.isNull())
        return false;
    while (d.cinfo.output_scanline < d.cinfo.output_height) {
        JSAMPROW row = d.image.scanLine(int(d.cinfo.output_scanline));
        jpeg_read_scanlines(&d.cinfo, &row, 1);
    }
    jpeg_finish_decompress(&d.cinfo);
    return true;
}

bool encodeFrom(TEncoder &e, const QImage &rgb, int quality)
{
    e.cinfo.err = &e.errors.mgr;
    bindErrors(e.errors);
    if (setjmp(e.errors.back))
        return false;
    jpeg_create_compress(&e.cinfo);
    e.created = true;
    jpeg_mem_dest(&e.cinfo, &e.out, &e.size);
    e.cinfo.image_width = JDIMENSION(rgb.width());
    e.cinfo.image_height = JDIMENSION(rgb.height());
    e.cinfo.input_components = 3;
    e.cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&e.cinfo);
    jpeg_set_quality(&e.cinfo, quality, TRUE);
    jpeg_start_compress(&e.cinfo, TRUE);
    while (e.cinfo.next_scanline < e.cinfo.image_height) {
        auto row = const_cast<JSAMPROW>(rgb.constScanLine(int(e.cinfo.next_scanline)));
        jpeg_write_scanlines(&e.cinfo, &row, 1);
    }
    jpeg_finish_compress(&e.cinfo);
    return true;
}

bool startsWith(const QByteArray &bytes, const char *magic, int size)
{
    return bytes.size() >= size && std::memcmp(bytes.constData(), magic, size_t(size)) == 0;
}

} // namespace

QImage decodeJpeg(const QByteArray &bytes, QString *why)
{
    auto decoder = std::make_unique<TDecoder>();
    if (bytes.isEmpty())
        std::snprintf(decoder->errors.message, sizeof decoder->errors.message, "empty file");
    const bool decoded = !bytes.isEmpty() && decodeInto(*decoder, bytes);
    if (why)
        *why = decoded ? QString() : QString::fromLocal8Bit(decoder->errors.message);
    return decoded ? std::move(decoder->image) : QImage();
}

QByteArray encodeJpeg(const QImage &image, int quality)
{
    if (image.isNull())
        return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    auto encoder = std::make_unique<TEncoder>();
    if (!encodeFrom(*encoder, rgb, quality))
        return {};
    return QByteArray(reinterpret_cast<const char *>(encoder->out), qsizetype(encoder->size));
}

bool looksLikeJpeg(const QByteArray &bytes)
{
    return startsWith(bytes, "\xFF\xD8\xFF", 3);
}

QImage decodePicture(const QByteArray &bytes)
{
    if (looksLikeJpeg(bytes))
        return decodeJpeg(bytes);
    const char *format = startsWith(bytes, "\x89PNG\r\n\x1A\n", 8) ? "PNG"
                         : startsWith(bytes, "BM", 2)              ? "BMP"
                                                                   : nullptr;
    if (!format)
        return {};
    QImage image;
    image.loadFromData(bytes, format);
    return image;
}

QImage readPictureFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxFileBytes)
        return {};
    return decodePicture(file.readAll());
}

QByteArray storedPicture(const QImage &image)
{
    if (image.isNull())
        return {};
    const bool tooLarge = image.width() > MaxStoredSide || image.height() > MaxStoredSide;
    const QImage fitted = tooLarge ? image.scaled(MaxStoredSide, MaxStoredSide, Qt::KeepAspectRatio,
                                                  Qt::SmoothTransformation)
                                   : image;
    return encodeJpeg(fitted);
}

} // namespace korvane::picture
