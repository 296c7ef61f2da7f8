#include "platform/qt/jpeg_codec.h"

#include "platform/qt/week_graph_painter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QPainter>
#include <QSaveFile>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace gim {

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return: it jumps back to the
// function that started the work. Nothing with a destructor lives between that setjmp and the jump.
struct JpegError
{
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnJpegError(j_common_ptr cinfo)
{
    auto* error = reinterpret_cast<JpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, error->message);
    std::longjmp(error->jump, 1);
}

void IgnoreJpegMessage(j_common_ptr)
{
}

void InitError(JpegError& error)
{
    jpeg_std_error(&error.manager);
    error.manager.error_exit = OnJpegError;
    error.manager.output_message = IgnoreJpegMessage;
    error.message[0] = '\0';
}

QString ReadError(const QString& path, const QString& why)
{
    return QStringLiteral("No se puede leer la imagen %1: %2").arg(QDir::toNativeSeparators(path), why);
}

QString WriteError(const QString& path, const QString& why)
{
    return QStringLiteral("No se puede grabar la imagen %1: %2").arg(QDir::toNativeSeparators(path), why);
}

// Decodes into `out`; false with the library's message in `error.message`.
bool DecodeJpeg(const QByteArray& data, QImage& out, JpegError& error)
{
    jpeg_decompress_struct cinfo;
    cinfo.err = &error.manager;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&cinfo);
    out = QImage(int(cinfo.output_width), int(cinfo.output_height),
                 cmyk ? QImage::Format_RGB32 : QImage::Format_RGB888);
    if (out.isNull()) {
        std::snprintf(error.message, sizeof error.message, "imagen demasiado grande");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        unsigned char* line = out.scanLine(int(cinfo.output_scanline));
        JSAMPROW row = line;
        jpeg_read_scanlines(&cinfo, &row, 1);
        if (cmyk) {
            // Adobe writes CMYK inverted. Each pixel is read before its own four bytes are overwritten.
            auto* pixel = reinterpret_cast<QRgb*>(line);
            for (int x = 0; x < int(cinfo.output_width); ++x) {
                const unsigned char* c = line + 4 * x;
                const int k = c[3];
                pixel[x] = qRgb(c[0] * k / 255, c[1] * k / 255, c[2] * k / 255);
            }
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

struct JpegBuffer
{
    unsigned char* data = nullptr;
    unsigned long size = 0;
    ~JpegBuffer() { std::free(data); }
};

bool EncodeJpeg(const QImage& rgb, int quality, JpegBuffer& buffer, JpegError& error)
{
    jpeg_compress_struct cinfo;
    cinfo.err = &error.manager;
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer.data, &buffer.size);
    cinfo.image_width = JDIMENSION(rgb.width());
    cinfo.image_height = JDIMENSION(rgb.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(rgb.constScanLine(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

tl::expected<void, QString> SaveBytes(const QString& path, const char* data, qint64 size)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data, size) != size || !file.commit())
        return tl::make_unexpected(WriteError(path, file.errorString()));
    return {};
}

} // namespace

tl::expected<QImage, QString> ReadJpeg(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return tl::make_unexpected(ReadError(path, file.errorString()));
    const QByteArray data = file.readAll();
    QImage image;
    JpegError error;
    InitError(error);
    if (!DecodeJpeg(data, image, error))
        return tl::make_unexpected(ReadError(path, QString::fromLocal8Bit(error.message)));
    return image;
}

tl::expected<void, QString> WriteJpeg(const QImage& image, const QString& path, int quality)
{
    if (image.isNull())
        return tl::make_unexpected(WriteError(path, QStringLiteral("no hay imagen")));
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    JpegBuffer buffer;
    JpegError error;
    InitError(error);
    if (!EncodeJpeg(rgb, quality, buffer, error))
        return tl::make_unexpected(WriteError(path, QString::fromLocal8Bit(error.message)));
    return SaveBytes(path, reinterpret_cast<const char*>(buffer.data), qint64(buffer.size));
}

tl::expected<QImage, QString> ReadPicture(const QString& path)
{
    switch (PictureFormatOf(path)) {
    case PictureFormat::Jpeg:
        return ReadJpeg(path);
    case PictureFormat::Bmp: {
        if (!QFileInfo::exists(path))
            return tl::make_unexpected(ReadError(path, QStringLiteral("no existe")));
        QImage image;
        if (!image.load(path, "BMP"))
            return tl::make_unexpected(ReadError(path, QStringLiteral("no es un fichero BMP válido")));
        return image;
    }
    case PictureFormat::None:
        break;
    }
    return tl::make_unexpected(ReadError(path, QStringLiteral("formato no admitido")));
}

tl::expected<void, QString> WritePicture(const QImage& image, const QString& path)
{
    switch (PictureFormatOf(path)) {
    case PictureFormat::Jpeg:
        return WriteJpeg(image, path);
    case PictureFormat::Bmp: {
        if (image.isNull())
            return tl::make_unexpected(WriteError(path, QStringLiteral("no hay imagen")));
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "BMP") || !file.commit())
            return tl::make_unexpected(WriteError(path, file.errorString()));
        return {};
    }
    case PictureFormat::None:
        break;
    }
    return tl::make_unexpected(WriteError(path, QStringLiteral("formato no admitido")));
}

void StampLabel(QImage& image, const QString& label)
{
    if (image.isNull() || label.isEmpty())
        return;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(QImage::Format_RGB32);
    QPainter painter(&image);
    PaintLabel(painter, label);
}

void PaintLabel(QPainter& painter, const QString& label)
{
    if (label.isEmpty())
        return;
    painter.save();
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    painter.setFont(font);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(Qt::white);
    painter.setPen(Qt::black);
    const QRect box = painter.fontMetrics().boundingRect(label);
    painter.drawText(QRect(QPoint(2, 2), box.size()), Qt::AlignLeft | Qt::AlignTop, label);
    painter.restore();
}

tl::expected<void, QString> QtPictureCodec::Convert(const QString& source, const QString& target,
                                                    const QString& stamp) const
{
    auto image = ReadPicture(source);
    if (!image)
        return tl::make_unexpected(image.error());
    if (PictureFormatOf(target) == PictureFormat::Jpeg)
        StampLabel(*image, stamp);
    return WritePicture(*image, target);
}

tl::expected<void, QString> QtPictureCodec::DrawWeekGraph(const ReportWeekGraph& graph, int width, int height,
                                                          const QString& target) const
{
    return WritePicture(RenderWeekGraph(graph, QSize(width, height)), target);
}

} // namespace gim
