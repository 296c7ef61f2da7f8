#pragma once

#include <QString>
#include <tl/expected.hpp>

namespace gim {

struct ReportWeekGraph;

enum class PictureFormat { None, Jpeg, Bmp };

// The format a picture file is read and written in, by its extension: ".jpg" is JPEG and ".bmp" is BMP,
// in any letter case. Anything else, ".jpeg" included, is neither.
inline PictureFormat PictureFormatOf(const QString& path)
{
    if (path.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive))
        return PictureFormat::Jpeg;
    if (path.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive))
        return PictureFormat::Bmp;
    return PictureFormat::None;
}

// Turns one picture file into another, so that feature code can store photos without a graphics library.
// The Qt backend decodes and encodes; tests may only copy.
class PictureCodec
{
public:
    virtual ~PictureCodec() = default;
    // Reads `source` and writes it to `target` in the target's format. A JPEG target also carries `stamp`
    // written at its top-left corner (the viewer labels the picture it shows, and a JPEG is saved from what
    // it shows); a BMP target is the plain picture. On failure nothing is left at `target` and the
    // error text says why.
    virtual tl::expected<void, QString> Convert(const QString& source, const QString& target,
                                                const QString& stamp) const = 0;
    // Draws the weekly graph on a white picture of width x height pixels and writes it to `target` in the
    // target's format. A codec that only moves files draws nothing and says so.
    virtual tl::expected<void, QString> DrawWeekGraph(const ReportWeekGraph& graph, int width, int height,
                                                      const QString& target) const
    {
        (void)graph, (void)width, (void)height, (void)target;
        return tl::unexpected(QStringLiteral("no se pueden dibujar gráficos"));
    }
};

} // namespace gim
