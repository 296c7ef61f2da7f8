#include "core/sub_folders.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace gim {
namespace {

class SubFoldersTest : public ::testing::Test
{
protected:
    QString Base() const { return m_dir.path(); }
    void MakeDir(const QString& relative) const { ASSERT_TRUE(QDir(Base()).mkpath(relative)); }
    QStringList DirsIn(const QString& relative) const
    {
        return QDir(Base() + QLatin1Char('/') + relative)
            .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    }

    QTemporaryDir m_dir;
};

TEST_F(SubFoldersTest, NamesSplitAtEitherSlashAndStayBelowTheBase)
{
    EXPECT_EQ(SubFolderNames(QStringLiteral("\\MAQUINAS\\PORTAL\\")),
              QStringList({QStringLiteral("MAQUINAS"), QStringLiteral("PORTAL")}));
    EXPECT_EQ(SubFolderNames(QStringLiteral("/Maquinas//./x/")),
              QStringList({QStringLiteral("Maquinas"), QStringLiteral("x")}));
    EXPECT_EQ(SubFolderNames(QStringLiteral("\\..\\..\\etc")), QStringList({QStringLiteral("etc")}));
    EXPECT_TRUE(SubFolderNames(QStringLiteral("\\")).isEmpty());
    EXPECT_EQ(ResolveSubFolder(Base(), QStringLiteral("\\..\\x")), Base() + QStringLiteral("/X"));
    EXPECT_EQ(ResolveSubFolder(Base(), QString()), QDir::cleanPath(Base()));
}

TEST_F(SubFoldersTest, MissingFoldersTakeTheCanonicalSpelling)
{
    EXPECT_EQ(ResolveSubFolder(Base(), QStringLiteral("\\Maquinas\\portal\\")),
              Base() + QStringLiteral("/MAQUINAS/PORTAL"));
    EXPECT_EQ(MakeSubFolder(Base(), QStringLiteral("\\procedim\\Portal\\")),
              Base() + QStringLiteral("/PROCEDIM/PORTAL"));
    EXPECT_EQ(DirsIn(QString()), QStringList({QStringLiteral("PROCEDIM")}));
    EXPECT_EQ(DirsIn(QStringLiteral("PROCEDIM")), QStringList({QStringLiteral("PORTAL")}));
}

TEST_F(SubFoldersTest, EverySpellingFindsTheFolderThatExists)
{
    MakeDir(QStringLiteral("Maquinas/portal"));
    for (const char* spelling : {"\\MAQUINAS\\PORTAL\\", "\\Maquinas\\Portal", "/maquinas/portal/"}) {
        SCOPED_TRACE(spelling);
        EXPECT_EQ(ResolveSubFolder(Base(), QString::fromLatin1(spelling)),
                  Base() + QStringLiteral("/Maquinas/portal"));
    }
    // Creating below it keeps the existing folders and adds only what is missing.
    EXPECT_EQ(MakeSubFolder(Base(), QStringLiteral("\\MAQUINAS\\PORTAL\\Fotos\\")),
              Base() + QStringLiteral("/Maquinas/portal/FOTOS"));
    EXPECT_EQ(DirsIn(QString()), QStringList({QStringLiteral("Maquinas")}));
    EXPECT_EQ(DirsIn(QStringLiteral("Maquinas")), QStringList({QStringLiteral("portal")}));
}

TEST_F(SubFoldersTest, SeveralSpellingsOnDiskPreferTheSameThenTheCanonicalThenTheFirst)
{
    MakeDir(QStringLiteral("Maquinas"));
    MakeDir(QStringLiteral("MAQUINAS"));
    MakeDir(QStringLiteral("maquinaS"));
    EXPECT_EQ(ResolveSubFolder(Base(), QStringLiteral("\\Maquinas")), Base() + QStringLiteral("/Maquinas"));
    EXPECT_EQ(ResolveSubFolder(Base(), QStringLiteral("\\maquinas")), Base() + QStringLiteral("/MAQUINAS"));
    ASSERT_TRUE(QDir(Base()).rmdir(QStringLiteral("MAQUINAS")));
    EXPECT_EQ(ResolveSubFolder(Base(), QStringLiteral("\\maquinas")), Base() + QStringLiteral("/Maquinas"));
}

TEST_F(SubFoldersTest, AFileInTheWayIsNotAFolder)
{
    QFile file(Base() + QStringLiteral("/MAQUINAS"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(MakeSubFolder(Base(), QStringLiteral("\\Maquinas\\PORTAL")), std::nullopt);
}

} // namespace
} // namespace gim
