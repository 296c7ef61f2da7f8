#include "core/picture_import.h"
#include "platform/qt/jpeg_codec.h"
#include "support/scripted_ui_check.h"
#include "support/test_context.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace gim {
namespace {

// Smooth gradients: JPEG keeps them closely, so a tight tolerance holds.
QImage Sample(int width = 96, int height = 64)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, (x + y) * 255 / (width + height)));
    return image;
}

struct Difference
{
    int max = 0;
    double mean = 0;
};

// Per channel, over the pixels of `area` (the whole picture when empty).
Difference Compare(const QImage& a, const QImage& b, QRect area = {})
{
    if (area.isEmpty())
        area = a.rect();
    Difference d;
    long long sum = 0, count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            for (int c : {std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q))}) {
                d.max = std::max(d.max, c);
                sum += c;
                ++count;
            }
        }
    }
    d.mean = count ? double(sum) / double(count) : 0.0;
    return d;
}

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class JpegCodecTest : public ::testing::Test
{
protected:
    QString Path(const QString& name) const { return m_dir.path() + QLatin1Char('/') + name; }
    QTemporaryDir m_dir;
};

TEST_F(JpegCodecTest, WriteThenReadKeepsTheSizeAndThePixelsWithinJpegTolerance)
{
    const QImage original = Sample();
    const QString path = Path(QStringLiteral("foto.jpg"));
    ASSERT_TRUE(WriteJpeg(original, path).has_value());

    const QByteArray bytes = FileBytes(path);
    ASSERT_GT(bytes.size(), 4);
    EXPECT_EQ(bytes.left(3), QByteArray("\xFF\xD8\xFF", 3)); // a JPEG stream
    EXPECT_EQ(bytes.right(2), QByteArray("\xFF\xD9", 2));

    const auto back = ReadJpeg(path);
    ASSERT_TRUE(back.has_value()) << back.error().toStdString();
    EXPECT_EQ(back->size(), original.size());
    const Difference d = Compare(original, *back);
    EXPECT_LE(d.max, 12);
    EXPECT_LT(d.mean, 2.0);
    EXPECT_GT(d.max, 0); // really encoded, not stored

    // Another decoder reads the same picture from the file.
    QImageReader reader(path);
    if (reader.canRead()) {
        const QImage other = reader.read().convertToFormat(QImage::Format_RGB32);
        EXPECT_LE(Compare(*back, other).max, 4);
    }
}

TEST_F(JpegCodecTest, GreyscalePicturesComeBackAsRgb)
{
    QImage grey(40, 30, QImage::Format_Grayscale8);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            grey.setPixel(x, y, qRgb(x * 6, x * 6, x * 6));
    const QString path = Path(QStringLiteral("gris.jpg"));
    ASSERT_TRUE(grey.save(path, "JPEG", 95) || WriteJpeg(grey, path).has_value());
    const auto back = ReadJpeg(path);
    ASSERT_TRUE(back.has_value()) << back.error().toStdString();
    EXPECT_EQ(back->size(), QSize(40, 30));
    const QRgb p = back->pixel(20, 15);
    EXPECT_EQ(qRed(p), qGreen(p));
    EXPECT_EQ(qGreen(p), qBlue(p));
    EXPECT_NEAR(qRed(p), 120, 8);
}

TEST_F(JpegCodecTest, BrokenMissingAndUnwritableFilesAreErrors)
{
    QFile broken(Path(QStringLiteral("roto.jpg")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("\xFF\xD8\xFF\xE0 not really a jpeg");
    broken.close();
    const auto bad = ReadJpeg(Path(QStringLiteral("roto.jpg")));
    ASSERT_FALSE(bad.has_value());
    EXPECT_TRUE(bad.error().startsWith(QStringLiteral("No se puede leer la imagen ")))
        << bad.error().toStdString();

    EXPECT_FALSE(ReadJpeg(Path(QStringLiteral("no_existe.jpg"))).has_value());
    EXPECT_FALSE(ReadPicture(Path(QStringLiteral("no_existe.bmp"))).has_value());

    const QString nowhere = Path(QStringLiteral("no/hay/carpeta.jpg"));
    const auto unwritten = WriteJpeg(Sample(), nowhere);
    ASSERT_FALSE(unwritten.has_value());
    EXPECT_TRUE(unwritten.error().startsWith(QStringLiteral("No se puede grabar la imagen ")));
    EXPECT_FALSE(QFileInfo::exists(nowhere));
    EXPECT_FALSE(WriteJpeg(QImage(), Path(QStringLiteral("vacia.jpg"))).has_value());

    // A picture that fails half-way leaves the old file as it was.
    const QString kept = Path(QStringLiteral("kept.jpg"));
    ASSERT_TRUE(WriteJpeg(Sample(), kept).has_value());
    const QByteArray before = FileBytes(kept);
    EXPECT_FALSE(WriteJpeg(QImage(), kept).has_value());
    EXPECT_EQ(FileBytes(kept), before);
}

TEST_F(JpegCodecTest, FormatsByExtension)
{
    const QImage original = Sample(33, 21);
    ASSERT_TRUE(WritePicture(original, Path(QStringLiteral("a.BMP"))).has_value());
    const auto bmp = ReadPicture(Path(QStringLiteral("a.BMP")));
    ASSERT_TRUE(bmp.has_value());
    EXPECT_EQ(Compare(original, *bmp).max, 0); // BMP keeps every pixel

    ASSERT_TRUE(WritePicture(original, Path(QStringLiteral("a.JPG"))).has_value());
    EXPECT_EQ(FileBytes(Path(QStringLiteral("a.JPG"))).left(2), QByteArray("\xFF\xD8", 2));

    // ".jpeg" is not one of the picture names the program reads or writes.
    ASSERT_TRUE(WriteJpeg(original, Path(QStringLiteral("a.jpeg"))).has_value());
    EXPECT_FALSE(ReadPicture(Path(QStringLiteral("a.jpeg"))).has_value());
    EXPECT_FALSE(WritePicture(original, Path(QStringLiteral("a.png"))).has_value());
}

TEST_F(JpegCodecTest, ConvertStampsTheLabelOnJpegsOnly)
{
    const QImage original = Sample(120, 80);
    ASSERT_TRUE(WritePicture(original, Path(QStringLiteral("IMG_2026.bmp"))).has_value());
    QtPictureCodec codec;

    ASSERT_TRUE(codec
                    .Convert(Path(QStringLiteral("IMG_2026.bmp")), Path(QStringLiteral("#M001.jpg")),
                             QStringLiteral("IMG_2026"))
                    .has_value());
    const auto jpeg = ReadJpeg(Path(QStringLiteral("#M001.jpg")));
    ASSERT_TRUE(jpeg.has_value());
    EXPECT_EQ(jpeg->size(), original.size());
    // The label sits at the top left; the rest is the picture.
    EXPECT_GT(Compare(original, *jpeg, QRect(0, 0, 40, 14)).max, 100);
    EXPECT_LT(Compare(original, *jpeg, QRect(0, 30, 120, 50)).mean, 3.0);

    ASSERT_TRUE(codec
                    .Convert(Path(QStringLiteral("IMG_2026.bmp")), Path(QStringLiteral("copia.bmp")),
                             QStringLiteral("IMG_2026"))
                    .has_value());
    const auto bmp = ReadPicture(Path(QStringLiteral("copia.bmp")));
    ASSERT_TRUE(bmp.has_value());
    EXPECT_EQ(Compare(original, *bmp).max, 0);

    const auto missing = codec.Convert(Path(QStringLiteral("nada.bmp")), Path(QStringLiteral("x.jpg")), {});
    ASSERT_FALSE(missing.has_value());
    EXPECT_FALSE(QFileInfo::exists(Path(QStringLiteral("x.jpg"))));
}

// A BMP picked as a machine photo is stored under the machine's ".jpg" name through the JPEG encoder.
TEST(PictureImportWithCodecTest, BmpPickedForAMachineIsStoredAsItsJpeg)
{
    test::TestContext t;
    t.ctx.st.PhotoAssignFlag = 1;
    const QString source = t.dir.path() + QStringLiteral("/camara/foto.bmp");
    ASSERT_TRUE(QDir().mkpath(t.dir.path() + QStringLiteral("/camara")));
    ASSERT_TRUE(WritePicture(Sample(64, 48), source).has_value());

    const QString target = t.dir.path() + QStringLiteral("/MAQUINAS/PORTAL/#BOMBA01.jpg");
    t.ui.ExpectChooseFile(target);
    QtPictureCodec codec;
    const auto stored = ImportPictureFile(t.ctx, codec, QStringLiteral("\\Maquinas\\PORTAL\\"),
                                          PhotoFileNameFor(QStringLiteral("BOMBA01")), source);
    EXPECT_SCRIPT_DONE(t.ui);
    ASSERT_EQ(stored, target);
    EXPECT_EQ(FileBytes(target).left(2), QByteArray("\xFF\xD8", 2));
    const auto back = ReadJpeg(target);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->size(), QSize(64, 48));
    EXPECT_EQ(t.ctx.st.PhotoAssignFlag, 0);
}

} // namespace
} // namespace gim
