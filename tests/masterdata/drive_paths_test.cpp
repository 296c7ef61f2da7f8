#include "core/drive_paths.h"
#include "records/record_bytes.h" // readable QString failures

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace gim {
namespace {

TEST(DrivePaths, WindowsDrivePathsLieUnderTheParentOfTheDataFolder)
{
    QTemporaryDir dir;
    const QString data = dir.path() + QStringLiteral("/datos");
    ASSERT_TRUE(QDir().mkpath(data));
    // Folders that do not exist yet take the canonical spelling.
    EXPECT_EQ(WebExchangeFolder(data), dir.path() + QStringLiteral("/COPIASEG/VELTWEB"));
    EXPECT_EQ(DrivePath(data + QStringLiteral("/"), QStringLiteral("D:/CopiaSeg")),
              dir.path() + QStringLiteral("/COPIASEG"));
    // An existing folder is found whatever the case of its name.
    ASSERT_TRUE(QDir().mkpath(dir.path() + QStringLiteral("/CopiaSeg/VeltWeb")));
    EXPECT_EQ(WebExchangeFolder(data), dir.path() + QStringLiteral("/CopiaSeg/VeltWeb"));
    // Nothing climbs out of the parent folder.
    EXPECT_EQ(DrivePath(data, QStringLiteral("C:\\..\\..\\etc")), dir.path() + QStringLiteral("/ETC"));
}

} // namespace
} // namespace gim
