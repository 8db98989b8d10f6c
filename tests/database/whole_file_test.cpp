#include "core/WholeFile.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace morvane;

namespace {
QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}
QStringList entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}
} // namespace

// The target holds its old bytes until commit, and the new ones after; large
// and small writes arrive in order; nothing is left beside it.
TEST(WholeFile, ReplacesTheTargetOnlyOnCommitAndLeavesNothingBehind)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("doc.pdf");
    ASSERT_TRUE(writeWholeFile(target, "old", nullptr));
    WholeFile f(target);
    ASSERT_TRUE(f.open());
    const QByteArray big(200 * 1024, 'x');
    ASSERT_EQ(f.write("head"), 4);
    ASSERT_EQ(f.write(big), big.size());
    ASSERT_EQ(f.write("tail"), 4);
    EXPECT_EQ(readAll(target), "old");
    ASSERT_TRUE(f.commit()) << f.errorText().toStdString();
    EXPECT_EQ(readAll(target), "head" + big + "tail");
    EXPECT_EQ(entries(dir.path()), QStringList{"doc.pdf"});

    WholeFile dropped(target);
    ASSERT_TRUE(dropped.open());
    dropped.write("new");
    dropped.discard();
    EXPECT_EQ(readAll(target), "head" + big + "tail");
    EXPECT_EQ(entries(dir.path()), QStringList{"doc.pdf"});
}

// A link or FIFO planted at the target is replaced, never written through or opened.
TEST(WholeFile, PlantedLinkAndFifoAreReplacedNotFollowed)
{
    QTemporaryDir dir;
    const QString victim = dir.filePath("victim");
    ASSERT_TRUE(writeWholeFile(victim, "precious", nullptr));
    const QString link = dir.filePath("OWNER.T.pdf");
    ASSERT_EQ(::symlink(QFile::encodeName(victim).constData(), QFile::encodeName(link).constData()), 0);
    ASSERT_TRUE(writeWholeFile(link, "document", nullptr));
    EXPECT_EQ(readAll(victim), "precious");
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readAll(link), "document");

    const QString fifo = dir.filePath("OWNER.T-1.png");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(writeWholeFile(fifo, "picture", nullptr)); // would block for ever if opened
    EXPECT_TRUE(QFileInfo(fifo).isFile());
    EXPECT_EQ(readAll(fifo), "picture");
}

// A folder that cannot take the file names the system's reason, and the old file stays.
TEST(WholeFile, FailureNamesTheSystemReasonAndKeepsThePreviousFile)
{
    QString error;
    EXPECT_FALSE(writeWholeFile("/nonexistent-morvane/x.pdf", "x", &error));
    EXPECT_TRUE(error.contains("No such file or directory")) << error.toStdString();

    QTemporaryDir dir;
    const QString target = dir.filePath("sub");
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub")); // a folder where the file should go
    EXPECT_FALSE(writeWholeFile(target, "x", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(error.contains("Unknown error"));
    EXPECT_TRUE(QFileInfo(target).isDir());
    EXPECT_EQ(entries(dir.path()), QStringList{"sub"});
}
