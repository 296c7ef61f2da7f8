#pragma once

#include "platform/picture_codec.h"

#include <QImage>
#include <QString>
#include <tl/expected.hpp>

class QPainter;

namespace gim {

// JPEG files through libjpeg, BMP through QImage. Errors come back as Spanish texts naming the file.

// Quality of the JPEG encoder, as the pictures were always written.
inline constexpr int kJpegQuality = 90;

// Decodes a JPEG file (greyscale, RGB or CMYK) into an RGB image.
tl::expected<QImage, QString> ReadJpeg(const QString& path);
// Encodes the image as a baseline RGB JPEG; the file is replaced only once the whole picture is written.
tl::expected<void, QString> WriteJpeg(const QImage& image, const QString& path, int quality = kJpegQuality);

// By extension (PictureFormatOf): ".jpg" through libjpeg, ".bmp" as BMP; other names are refused.
tl::expected<QImage, QString> ReadPicture(const QString& path);
tl::expected<void, QString> WritePicture(const QImage& image, const QString& path);

// Writes the label of a picture at its top-left corner (2, 2), black on white as the viewer shows it.
void StampLabel(QImage& image, const QString& label);
void PaintLabel(QPainter& painter, const QString& label);

// The codec the program stores photos with.
class QtPictureCodec final : public PictureCodec
{
public:
    tl::expected<void, QString> Convert(const QString& source, const QString& target,
                                        const QString& stamp) const override;
    tl::expected<void, QString> DrawWeekGraph(const ReportWeekGraph& graph, int width, int height,
                                              const QString& target) const override;
};

} // namespace gim
