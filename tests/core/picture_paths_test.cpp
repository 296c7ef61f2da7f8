#include "core/picture_import.h"
#include "platform/picture_codec.h"
#include "support/scripted_ui_check.h"
#include "support/test_context.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace gim {
namespace {

// Copies the bytes and remembers what it was asked; a set error makes it fail.
class CopyingCodec final : public PictureCodec
{
public:
    tl::expected<void, QString> Convert(const QString& source, const QString& target,
                                        const QString& stamp) const override
    {
        calls << source + QStringLiteral(" -> ") + target + QStringLiteral(" [") + stamp + QLatin1Char(']');
        if (!error.isEmpty())
            return tl::make_unexpected(error);
        QFile::remove(target);
        if (!QFile::copy(source, target))
            return tl::make_unexpected(QStringLiteral("copy failed"));
        return {};
    }
    mutable QStringList calls;
    QString error;
};

class PictureImportTest : public ::testing::Test
{
protected:
    PictureImportTest()
    {
        t.ctx.st.CurrentEnvironment = QStringLiteral("PORTAL");
        t.ctx.st.PhotoAssignFlag = 1;
        m_source = t.dir.path() + QStringLiteral("/camara/IMG_20261207.bmp");
        QDir().mkpath(QFileInfo(m_source).absolutePath());
        QFile f(m_source);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("BMP bytes");
    }
    QString Base() const { return t.dir.path(); }

    test::TestContext t;
    CopyingCodec codec;
    QString m_source;
};

TEST(PhotoNamesTest, FoldersAndNamesOfEachOwner)
{
    const QString env = QStringLiteral("PORTAL");
    EXPECT_EQ(PhotoSubFolder(PhotoOwner::Machine, env), QStringLiteral("\\MAQUINAS\\PORTAL\\"));
    EXPECT_EQ(PhotoSubFolder(PhotoOwner::Person, env), QStringLiteral("\\PERSONAL\\PORTAL\\"));
    EXPECT_EQ(PhotoSubFolder(PhotoOwner::WorkOrder, env), QStringLiteral("\\REPARACIONES\\PORTAL\\"));
    EXPECT_EQ(PhotoSubFolder(PhotoOwner::Breakdown, env), QStringLiteral("\\AVERIAS\\PORTAL\\"));
    EXPECT_EQ(PhotoSubFolder(PhotoOwner::WorkReport, env), QStringLiteral("\\PARTES\\PORTAL\\"));
    EXPECT_EQ(PhotoSubFolder(PhotoOwner::SparePart, env, QStringLiteral("BOMBA01")),
              QStringLiteral("\\REPUESTOS\\PORTAL\\BOMBA01\\"));

    EXPECT_EQ(PhotoFileNameFor(QStringLiteral("BOMBA01")), QStringLiteral("#BOMBA01.jpg"));
    EXPECT_EQ(PhotoFileNameFor(QStringLiteral("A/B\\C")), QStringLiteral("#A_B_C.jpg"));
    // PhotoFileName holds 34 characters.
    EXPECT_EQ(PhotoFileNameFor(QString(40, QLatin1Char('x'))),
              QLatin1Char('#') + QString(33, QLatin1Char('x')));

    EXPECT_EQ(PictureLabel(QStringLiteral("/datos/MAQUINAS/#BOMBA0123.jpg")), QStringLiteral("#BOMBA01"));
    EXPECT_EQ(PictureLabel(QStringLiteral("/datos/a.bmp")), QStringLiteral("a.bmp"));
}

TEST(PhotoNamesTest, DialogFiltersAndFormats)
{
    const FileDialogRequest open = PictureOpenRequest(QStringLiteral("/d"), QStringLiteral("#M.jpg"));
    EXPECT_FALSE(open.save);
    EXPECT_EQ(open.filters, QStringList({QStringLiteral("Imagenes JPG (*.jpg *.JPG)"),
                                         QStringLiteral("Imagenes JPEG (*.jpeg *.JPEG)"),
                                         QStringLiteral("Imagenes BMP (*.bmp *.BMP)")}));
    const FileDialogRequest save = PictureSaveRequest(QStringLiteral("/d"), QStringLiteral("#M.jpg"));
    EXPECT_TRUE(save.save);
    EXPECT_EQ(save.filters, QStringList({QStringLiteral("Imagenes JPG (*.jpg *.JPG)"),
                                         QStringLiteral("Imagenes BMP (*.bmp *.BMP)")}));

    EXPECT_EQ(PictureFormatOf(QStringLiteral("a.jpg")), PictureFormat::Jpeg);
    EXPECT_EQ(PictureFormatOf(QStringLiteral("a.JPG")), PictureFormat::Jpeg);
    EXPECT_EQ(PictureFormatOf(QStringLiteral("a.bmp")), PictureFormat::Bmp);
    EXPECT_EQ(PictureFormatOf(QStringLiteral("a.BMP")), PictureFormat::Bmp);
    EXPECT_EQ(PictureFormatOf(QStringLiteral("a.jpeg")), PictureFormat::None); // offered, never read
    EXPECT_EQ(PictureFormatOf(QStringLiteral("a.png")), PictureFormat::None);
    EXPECT_EQ(PictureFormatOf(QStringLiteral("jpg")), PictureFormat::None);
}

TEST_F(PictureImportTest, ThePictureChosenOnTheCardIsStoredUnderTheOwnersName)
{
    const QString target = Base() + QStringLiteral("/MAQUINAS/PORTAL/#BOMBA01.jpg");
    t.ui.ExpectChooseFile(target);
    const auto stored =
        ImportPictureFile(t.ctx, codec, PhotoSubFolder(PhotoOwner::Machine, QStringLiteral("PORTAL")),
                          PhotoFileNameFor(QStringLiteral("BOMBA01")), m_source);
    EXPECT_SCRIPT_DONE(t.ui);
    ASSERT_EQ(stored, target);
    EXPECT_EQ(codec.calls,
              QStringList({m_source + QStringLiteral(" -> ") + target + QStringLiteral(" [IMG_2026]")}));
    EXPECT_TRUE(QFileInfo::exists(target));
    EXPECT_EQ(t.ctx.st.PhotoAssignFlag, 0);

    ASSERT_EQ(t.ui.FileRequests().size(), 1u);
    const FileDialogRequest& r = t.ui.FileRequests()[0];
    EXPECT_TRUE(r.save);
    EXPECT_EQ(r.caption, QStringLiteral("Salvar Imagen"));
    EXPECT_EQ(r.folder, Base() + QStringLiteral("/MAQUINAS/PORTAL"));
    EXPECT_EQ(r.fileName, QStringLiteral("#BOMBA01.jpg"));
    EXPECT_EQ(r.filters, PictureSaveFilters());
}

TEST_F(PictureImportTest, ExistingFoldersAreFoundWhateverTheirCase)
{
    ASSERT_TRUE(QDir(Base()).mkpath(QStringLiteral("Averias/portal")));
    const QString target = Base() + QStringLiteral("/Averias/portal/BOMBA01#1.jpg");
    t.ui.ExpectChooseFile(target);
    const auto stored = ImportPictureFile(t.ctx, codec, QStringLiteral("\\AVERIAS\\PORTAL\\"),
                                          QStringLiteral("BOMBA01#1.jpg"), m_source);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(stored, target);
    ASSERT_EQ(t.ui.FileRequests().size(), 1u);
    EXPECT_EQ(t.ui.FileRequests()[0].folder, Base() + QStringLiteral("/Averias/portal"));
    // No second folder in another spelling.
    EXPECT_EQ(QDir(Base()).entryList({QStringLiteral("*")}, QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList({QStringLiteral("Averias"), QStringLiteral("camara")}));
}

TEST_F(PictureImportTest, WithoutAPictureTheOpenDialogComesFirst)
{
    const QString target = Base() + QStringLiteral("/PERSONAL/PORTAL/#000123.jpg");
    t.ui.ExpectChooseFile(m_source).ExpectChooseFile(target);
    const auto stored =
        ImportPictureFile(t.ctx, codec, PhotoSubFolder(PhotoOwner::Person, QStringLiteral("PORTAL")),
                          PhotoFileNameFor(QStringLiteral("000123")));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(stored, target);
    ASSERT_EQ(t.ui.FileRequests().size(), 2u);
    const FileDialogRequest& open = t.ui.FileRequests()[0];
    EXPECT_FALSE(open.save);
    EXPECT_EQ(open.caption, QStringLiteral("Recuperar Imagen"));
    EXPECT_EQ(open.folder, Base() + QStringLiteral("/PERSONAL/PORTAL"));
    EXPECT_EQ(open.fileName, QStringLiteral("#000123.jpg"));
    EXPECT_EQ(open.filters, PictureOpenFilters());
}

TEST_F(PictureImportTest, CancelledDialogsStoreNothing)
{
    t.ui.ExpectChooseFile(std::nullopt);
    EXPECT_EQ(ImportPictureFile(t.ctx, codec, QStringLiteral("\\PARTES\\PORTAL\\"), QStringLiteral("#P.jpg")),
              std::nullopt);
    EXPECT_EQ(t.ctx.st.PhotoAssignFlag, 0);

    t.ctx.st.PhotoAssignFlag = 1;
    t.ui.ExpectChooseFile(std::nullopt);
    EXPECT_EQ(ImportPictureFile(t.ctx, codec, QStringLiteral("\\PARTES\\PORTAL\\"), QStringLiteral("#P.jpg"),
                                m_source),
              std::nullopt);
    EXPECT_EQ(t.ctx.st.PhotoAssignFlag, 0);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_TRUE(codec.calls.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(Base() + QStringLiteral("/PARTES")));
}

TEST_F(PictureImportTest, OnlyJpgAndBmpNamesAreStored)
{
    t.ui.ExpectChooseFile(Base() + QStringLiteral("/REPARACIONES/PORTAL/#42.png"));
    EXPECT_EQ(ImportPictureFile(t.ctx, codec, QStringLiteral("\\REPARACIONES\\PORTAL\\"),
                                QStringLiteral("#42.jpg"), m_source),
              std::nullopt);
    EXPECT_TRUE(codec.calls.isEmpty());

    const QString bmp = Base() + QStringLiteral("/REPARACIONES/PORTAL/#42.BMP");
    t.ui.ExpectChooseFile(bmp);
    EXPECT_EQ(ImportPictureFile(t.ctx, codec, QStringLiteral("\\REPARACIONES\\PORTAL\\"),
                                QStringLiteral("#42.jpg"), m_source),
              bmp);
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(PictureImportTest, AFailedConversionIsShownAndStoresNothing)
{
    codec.error = QStringLiteral("No se puede leer la imagen x");
    t.ui.ExpectChooseFile(Base() + QStringLiteral("/MAQUINAS/PORTAL/#M.jpg"))
        .ExpectMessage(QStringLiteral("No se puede leer la imagen x"));
    EXPECT_EQ(ImportPictureFile(t.ctx, codec, QStringLiteral("\\MAQUINAS\\PORTAL\\"),
                                QStringLiteral("#M.jpg"), m_source),
              std::nullopt);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ctx.st.PhotoAssignFlag, 0);
}

} // namespace
} // namespace gim
