#include "output/DocRender.h"
#include "output/DocRenderCli.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

using namespace morvane::output;

namespace {

struct CliRun {
    int status;
    QString err;
    QStringList files;
};

CliRun render(QStringList args, const QString& password = "DEMO")
{
    static QTemporaryDir root;
    static int serial = 0;
    const QString out = root.filePath(QString("out%1").arg(++serial));
    if (!args.contains("--out"))
        args << "--out" << out;
    DocOptions o;
    QString error;
    EXPECT_TRUE(parseDocArguments(QStringList{"--server", "DEMO", "--user", "SYS"} + args, &o, &error))
        << error.toStdString();
    QString err;
    QTextStream stream(&err);
    const int status = runDocRenderer(o, password, stream, pdfPageLayout());
    stream.flush();
    return {status, err, QDir(o.outDir).entryList(QDir::Files, QDir::Name)};
}

} // namespace

TEST(DocumentCli, WholeOwnerToPdfWithoutSequences)
{
    const CliRun r = render({"--owner", "SCOTT", "--format", "pdf"});
    EXPECT_EQ(r.status, kExitOk) << r.err.toStdString();
    EXPECT_EQ(r.files, (QStringList{"SCOTT.BONUS.pdf", "SCOTT.DEPT.pdf", "SCOTT.EMP.pdf", "SCOTT.EMPLOYEES.pdf",
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
    EXPECT_FALSE(r.err.contains("[1/1]"));   // no progress for a single object
}

TEST(DocumentCli, FailuresAreNamedAndTheRestWritten)
{
    struct Case { QStringList args; QString password; int status; QString errorPart; int files; };
    const Case cases[] = {
        {{"--owner", "NOBODY", "--format", "pdf"}, "DEMO", kExitFailed, "unknown owner NOBODY", 0},
        {{"--owner", "SCOTT", "--object", "NOPE", "--object", "DEPT", "--format", "pdf"}, "DEMO", kExitFailed,
         "unknown object SCOTT.NOPE", 1},
        {{"--owner", "SCOTT", "--object", "EMP_SEQ", "--format", "pdf"}, "DEMO", kExitFailed,
         "unknown object SCOTT.EMP_SEQ", 0},
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
