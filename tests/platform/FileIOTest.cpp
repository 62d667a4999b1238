#include "platform/Exceptions.h"
#include "platform/FileIO.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(FileIO, WriteAtomically_ReplacesTheWholeFileAndLeavesNoTemporaryFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Account.dat"));
    FileIO::writeAtomically(path, QByteArray("first version, longer"));
    FileIO::writeAtomically(path, QByteArray("second"));
    EXPECT_EQ(FileIO::readAll(path), QByteArray("second"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Account.dat")});
}

TEST(FileIO, WriteAtomically_IntoAMissingFolderFailsAndCreatesNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/Account.dat"));
    EXPECT_THROW(FileIO::writeAtomically(path, QByteArray("x")), EFileError);
    EXPECT_FALSE(QFile::exists(path));
}

TEST(FileIO, WriteAtomically_OverAFolderKeepsItAndRemovesTheTemporaryFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Account.dat"));
    ASSERT_TRUE(QDir().mkpath(path + QStringLiteral("/inner")));
    EXPECT_THROW(FileIO::writeAtomically(path, QByteArray("x")), EFileError);
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());
}

TEST(FileIO, ReadAll_OfAMissingFileNamesIt)
{
    try {
        FileIO::readAll(QStringLiteral("/nonexistent/Account.dat"));
        FAIL();
    } catch (const EFOpenError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Cannot open file /nonexistent/Account.dat"));
    }
}

} // namespace
