#include "output/DocRender.h"
#include "output/DocRenderCli.h"
#include "support/DocRun.h"
#include "support/SmallDisk.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <sys/stat.h>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

using namespace morvane::output;

namespace {

struct CliRun {
    int status;
    QString err;
    QStringList files;
    bool outMade;
};

CliRun render(const QStringList& args, const QString& password = "DEMO")
{
    const auto r = morvane::test::runDoc(args, "DEMO", password);
    return {r.status, r.err, QDir(r.out).entryList(QDir::Files, QDir::Name), QFileInfo::exists(r.out)};
}

} // namespace

TEST(DocumentCli, WholeOwnerToPdfWithoutSequences)
{
    const CliRun r = render({"--owner", "SCOTT", "--format", "pdf"});
    EXPECT_EQ(r.status, kExitOk) << r.err.toStdString();
    EXPECT_EQ(r.files,
              (QStringList{"SCOTT.BONUS.pdf", "SCOTT.DEPT.pdf", "SCOTT.EMP.pdf", "SCOTT.EMPLOYEES.pdf",
                           "SCOTT.EMP_DEPT_V.pdf", "SCOTT.SALGRADE.pdf", "SCOTT.lower_case_tbl.pdf"}));
    EXPECT_TRUE(r.err.contains("[1/7] SCOTT.BONUS"));
    EXPECT_TRUE(r.err.contains("[7/7] SCOTT.lower_case_tbl"));
}

TEST(DocumentCli, ChosenObjectsToPngOnePerPage)
{
    const CliRun r = render({"--owner", "SALES", "--object", "MONTHLY_SALES", "--format", "png"});
    EXPECT_EQ(r.status, kExitOk) << r.err.toStdString();
    EXPECT_EQ(r.files, (QStringList{"SALES.MONTHLY_SALES-1.png", "SALES.MONTHLY_SALES-2.png",
                                    "SALES.MONTHLY_SALES-3.png"}));
    EXPECT_FALSE(r.err.contains("[1/1]")); // no progress for a single object
}

TEST(DocumentCli, FailuresAreNamedAndTheRestWritten)
{
    struct Case {
        QStringList args;
        QString password;
        int status;
        QString errorPart;
        int files;
    };
    const Case cases[] = {
        {{"--owner", "NOBODY", "--format", "pdf"}, "DEMO", kExitFailed, "unknown owner NOBODY", 0},
        {{"--owner", "SCOTT", "--object", "NOPE", "--object", "DEPT", "--format", "pdf"},
         "DEMO",
         kExitFailed,
         "unknown object SCOTT.NOPE",
         1},
        {{"--owner", "SCOTT", "--object", "EMP_SEQ", "--format", "pdf"},
         "DEMO",
         kExitFailed,
         "unknown object SCOTT.EMP_SEQ",
         0},
        {{"--owner", "SCOTT", "--format", "pdf"}, "WRONG", kExitFailed, "logon to DEMO as SYS failed", 0},
        // A synonym whose target lies in another owner cannot be loaded; the others still are.
        {{"--owner", "SALES", "--format", "pdf"}, "DEMO", kExitFailed, "SALES.STAFF: ", 8},
    };
    for (const auto& k : cases) {
        const CliRun r = render(k.args, k.password);
        SCOPED_TRACE(k.args.join(' ').toStdString());
        EXPECT_EQ(r.status, k.status);
        EXPECT_TRUE(r.err.contains(k.errorPart)) << r.err.toStdString();
        EXPECT_EQ(r.files.size(), k.files) << r.files.join(' ').toStdString();
        // The folder is made only once there is something to write.
        EXPECT_EQ(r.outMade, k.files > 0 || k.errorPart.startsWith("unknown object"));
    }
}

TEST(DocumentCli, UnwritableFolderIsOneLine)
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const CliRun r = render({"--owner", "SCOTT", "--format", "pdf", "--out", dir.filePath("file/sub")});
    EXPECT_EQ(r.status, kExitFailed);
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("output folder"));
}

namespace {
QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

// Links and FIFOs planted at the output names are replaced, never written
// through or opened (a FIFO would block the run for ever).
TEST(DocumentCli, PlantedLinksAndFifosAreReplacedNotFollowed)
{
    QTemporaryDir dir;
    const QString victim = dir.filePath("victim"), out = dir.filePath("out");
    ASSERT_TRUE(QDir().mkpath(out));
    QFile v(victim);
    ASSERT_TRUE(v.open(QIODevice::WriteOnly));
    v.write("precious");
    v.close();
    for (const char* name : {"SCOTT.EMP.pdf", "SCOTT.EMP-1.png"})
        ASSERT_TRUE(QFile::link(victim, out + "/" + name));
    ASSERT_EQ(::mkfifo(QFile::encodeName(out + "/SCOTT.DEPT.pdf").constData(), 0600), 0);

    const CliRun pdf =
        render({"--owner", "SCOTT", "--object", "EMP", "--object", "DEPT", "--format", "pdf", "--out", out});
    const CliRun png = render({"--owner", "SCOTT", "--object", "EMP", "--format", "png", "--out", out});
    EXPECT_EQ(pdf.status, kExitOk) << pdf.err.toStdString();
    EXPECT_EQ(png.status, kExitOk) << png.err.toStdString();
    EXPECT_EQ(bytesOf(victim), "precious");
    for (const char* name : {"SCOTT.EMP.pdf", "SCOTT.DEPT.pdf", "SCOTT.EMP-1.png"}) {
        const QFileInfo f(out + "/" + name);
        EXPECT_TRUE(f.isFile() && !f.isSymLink()) << name;
    }
    EXPECT_TRUE(bytesOf(out + "/SCOTT.DEPT.pdf").startsWith("%PDF"));
    EXPECT_FALSE(QImage(out + "/SCOTT.EMP-1.png").isNull());
}

// Out of space: every object fails with the system's reason and exit 1, no
// partial file is left, and the file of an earlier run stays as it was.
TEST(DocumentCli, AFullDiskFailsEachObjectAndKeepsTheEarlierFile)
{
    morvane::test::SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason().toStdString();
    const QString out = disk.path() + "/out";
    const CliRun first = render({"--owner", "SCOTT", "--object", "EMP", "--format", "pdf", "--out", out});
    ASSERT_EQ(first.status, kExitOk) << first.err.toStdString();
    const QByteArray good = bytesOf(out + "/SCOTT.EMP.pdf");
    ASSERT_TRUE(good.startsWith("%PDF"));
    disk.fill();

    for (const char* format : {"pdf", "png"}) {
        const CliRun r = render({"--owner", "SCOTT", "--object", "EMP", "--object", "lower_case_tbl",
                                 "--format", format, "--out", out});
        SCOPED_TRACE(format);
        EXPECT_EQ(r.status, kExitFailed);
        EXPECT_EQ(r.err.count("No space left on device"), 2) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("SCOTT.lower_case_tbl: ")) << r.err.toStdString();
        EXPECT_EQ(bytesOf(out + "/SCOTT.EMP.pdf"), good);
        EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden), QStringList{"SCOTT.EMP.pdf"});
    }
}
