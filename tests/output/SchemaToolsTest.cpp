// morvane-diff's run: the text a reviewer reads, CSV and PDF, and the
// statuses of diff(1); morvane-snapshot's arguments.
#include "output/SchemaTools.h"
#include "support/ChangedSnapshot.h"
#include "support/ScopedDataDir.h"
#include <gtest/gtest.h>
#include <QBuffer>
#include <QTextStream>

using namespace morvane;
using namespace morvane::output;

namespace {

class DiffRun : public ::testing::Test {
protected:
    void SetUp() override { test::makeChangedSnapshots(data.path()); }
    int run(QStringList args)
    {
        args << "--owner"
             << "SCOTT"
             << "--user"
             << "SYS";
        DiffOptions o;
        QString why;
        EXPECT_TRUE(parseDiffArguments(args, &o, &why)) << why.toStdString();
        out.close();
        bytes.clear();
        out.open(QIODevice::WriteOnly);
        errors.clear();
        QTextStream err(&errors);
        return runDiff(o, "DEMO", "DEMO", out, err);
    }
    test::ScopedDataDir data;
    QByteArray bytes;
    QBuffer out{&bytes};
    QString errors;
};

} // namespace

TEST_F(DiffRun, TextListsTheChangesAndStatusSaysWhether)
{
    EXPECT_EQ(run({"--from", "OLD", "--to", "NEW"}), kDiffDiffers);
    QStringList lines = QString::fromUtf8(bytes).split('\n');
    ASSERT_GT(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("--- OLD (snapshot of DEMO as SYS, taken ")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("+++ NEW (snapshot of DEMO as SYS, taken "));
    EXPECT_EQ(lines.mid(2),
              (QStringList{"SCOTT.BONUS (TABLE)", "  dropped TABLE", "SCOTT.EMP (TABLE)",
                           "  column 2 ENAME COMMENTS: \"社員氏名\" -> \"氏名\"",
                           "  column 9 EMAIL added: VARCHAR2(80) \"メールアドレス\"",
                           "  index IX_EMP_MGR_HIREDATE dropped: NONUNIQUE (MGR, HIREDATE) USERS",
                           "SCOTT.EMPLOYEES (SYNONYM)", "  synonym TARGET: SCOTT.EMP -> SCOTT.DEPT",
                           "SCOTT.EMP_DEPT_V (VIEW)", "  view text changed:", "    @@ -1,3 +1,3 @@",
                           "    -SELECT E.EMPNO, E.ENAME, E.JOB, D.DNAME, D.LOC",
                           "    +SELECT E.EMPNO, E.ENAME, E.JOB, D.DNAME, D.LOC, E.SAL",
                           "       FROM EMP E, DEPT D", "      WHERE E.DEPTNO = D.DEPTNO", ""}));

    EXPECT_EQ(run({"--from", "NEW", "--to", "NEW"}), kDiffSame);
    EXPECT_TRUE(bytes.isEmpty());
    EXPECT_EQ(run({"--from", "DEMO", "--to", "OLD", "--storage"}), kDiffSame);

    EXPECT_EQ(run({"--from", "OLD", "--to", "NOSUCHSERVER"}), kDiffError);
    EXPECT_TRUE(errors.contains("NOSUCHSERVER"));
}

TEST_F(DiffRun, CsvAndPdfFiles)
{
    const QString csv = data.path() + "/diff.csv";
    EXPECT_EQ(run({"--from", "OLD", "--to", "NEW", "--format", "csv", "--out", csv}), kDiffDiffers);
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray written = f.readAll();
    // As the program writes CSV here: UTF-8 with a byte-order mark.
    ASSERT_TRUE(written.startsWith("\xEF\xBB\xBF"));
    const QList<QByteArray> rows = written.mid(3).split('\n');
    EXPECT_EQ(rows[0],
              "\"OBJECT\",\"OBJECT_TYPE\",\"SECTION\",\"POSITION\",\"ITEM\",\"CHANGE\",\"ATTRIBUTE\","
              "\"FROM\",\"TO\",\r");
    EXPECT_EQ(rows[1], "\"BONUS\",\"TABLE\",\"object\",\"0\",\"\",\"dropped\",\"\",\"TABLE\",\"\",\r");
    EXPECT_TRUE(rows[2].contains("社員"));

    const QString pdf = data.path() + "/diff.pdf";
    EXPECT_EQ(run({"--from", "OLD", "--to", "NEW", "--format", "pdf", "--out", pdf}), kDiffDiffers);
    QFile p(pdf);
    ASSERT_TRUE(p.open(QIODevice::ReadOnly));
    EXPECT_TRUE(p.read(5) == "%PDF-");
    EXPECT_EQ(
        run({"--from", "OLD", "--to", "NEW", "--format", "pdf", "--out", data.path() + "/no/dir/x.pdf"}),
        kDiffError);
}

TEST(SchemaToolArguments, UsageErrors)
{
    QString why;
    SnapshotOptions s;
    EXPECT_TRUE(parseSnapshotArguments(
        {"--server", "prod", "--user", "sys", "--owner", "A", "--owner=B", "--out", "x.db"}, &s, &why));
    EXPECT_EQ(s.server, "PROD");
    EXPECT_EQ(s.owners, (QStringList{"A", "B"}));
    SnapshotOptions s2;
    EXPECT_FALSE(parseSnapshotArguments({"--server", "P", "--user", "U", "--out", "x.db"}, &s2, &why));
    EXPECT_TRUE(why.contains("--owner"));
    EXPECT_FALSE(parseSnapshotArguments({"--password", "x"}, &s2, &why));
    DiffOptions d;
    EXPECT_FALSE(parseDiffArguments(
        {"--from", "A", "--to", "B", "--owner", "O", "--user", "U", "--format", "pdf"}, &d, &why));
    EXPECT_TRUE(why.contains("--out"));
    EXPECT_FALSE(parseDiffArguments(
        {"--from", "A", "--to", "B", "--owner", "O", "--user", "U", "--format", "xls"}, &d, &why));
}
