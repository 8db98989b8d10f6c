// morvane-doc --format csv: the export's files without the question.
#include "core/Cp932.h"
#include "output/DocRender.h"
#include "output/DocRenderCli.h"
#include "support/DocRun.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

using namespace morvane::output;

namespace {

using morvane::test::DocRun;

DocRun renderCsv(const QStringList& args)
{
    return morvane::test::runDoc(QStringList{"--format", "csv"} + args);
}

QStringList linesOf(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {"<missing " + path + ">"};
    return morvane::cp932::decode(f.readAll()).split("\r\n");
}

} // namespace

TEST(CsvCli, ColumnListsPerObjectAndTheTableList)
{
    const DocRun r =
        renderCsv({"--owner", "SCOTT", "--object", "DEPT", "--object", "EMP_DEPT_V", "--encoding", "cp932"});
    EXPECT_EQ(r.status, kExitOk) << r.err.toStdString();
    EXPECT_EQ(QDir(r.out).entryList(QDir::Files, QDir::Name),
              (QStringList{"SCOTT.DEPT.CSV", "SCOTT.EMP_DEPT_V.CSV"}));
    const QStringList dept = linesOf(r.out + "/SCOTT.DEPT.CSV");
    ASSERT_EQ(dept.size(), 5);
    EXPECT_TRUE(dept[0].startsWith("\"COLUMN_ID\",\"COLUMN_NAME\","));
    EXPECT_EQ(dept[3], "\"3\",\"LOC\",\"所在地\",\"VARCHAR2\",\"13\",\"\",\"\",\"Y\",\"\",");

    const DocRun list = renderCsv({"--owner", "SCOTT", "--table-list"});
    EXPECT_EQ(list.status, kExitOk) << list.err.toStdString();
    EXPECT_EQ(QDir(list.out).entryList(QDir::Files), QStringList{"SCOTT.CSV"});
    // Without --encoding (nothing stored): UTF-8 with a byte-order mark on Linux.
    QFile listFile(list.out + "/SCOTT.CSV");
    ASSERT_TRUE(listFile.open(QIODevice::ReadOnly));
    const QByteArray raw = listFile.readAll();
    ASSERT_TRUE(raw.startsWith("\xEF\xBB\xBF"));
    const QStringList rows = QString::fromUtf8(raw.mid(3)).split("\r\n");
    EXPECT_EQ(rows[0], "\"OWNER\",\"テーブル名\",\"テーブルコメント\",");
    // Opening order: tables by name, then views.
    EXPECT_TRUE(rows[1].startsWith("\"SCOTT\",\"BONUS\","));
    EXPECT_TRUE(rows[rows.size() - 2].startsWith("\"SCOTT\",\"EMP_DEPT_V\","));

    DocOptions o;
    QString error;
    EXPECT_FALSE(parseDocArguments({"--server", "DEMO", "--user", "SYS", "--owner", "SCOTT", "--format",
                                    "pdf", "--table-list", "--out", "x"},
                                   &o, &error));
    EXPECT_TRUE(error.contains("--table-list"));
    EXPECT_FALSE(parseDocArguments({"--server", "DEMO", "--user", "SYS", "--owner", "SCOTT", "--format",
                                    "csv", "--encoding", "sjis", "--out", "x"},
                                   &o, &error));
    EXPECT_TRUE(error.contains("--encoding")) << error.toStdString();
}
