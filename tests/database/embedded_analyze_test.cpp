// ANALYZE TABLE on the embedded engine: figures from the stored rows, Oracle's errors.
#include "embedded_fixture.h"
#include "database/embedded/Analyze.h"
#include "database/Statements.h"
#include "database/embedded/DictionaryGenerator.h"

namespace morvane::testing {
namespace {

using EmbeddedAnalyze = EmbeddedDemo;

QMap<QString, QString> figures(const ResultSet& rs)
{
    QMap<QString, QString> m;
    if (!rs.rows.isEmpty())
        for (int c = 0; c < rs.columns.size(); ++c)
            m[rs.columns[c].name] = rs.rows[0][c].isNull() ? QString("<null>") : rs.rows[0][c];
    return m;
}

TEST_F(EmbeddedAnalyze, ComputesFiguresOfNeverAnalysedTable)
{
    const BindList bonus = ownerName("SCOTT", "BONUS");
    EXPECT_EQ(figures(run(sql::tables(), bonus))["NUM_ROWS"], "<null>");
    EXPECT_EQ(figures(run(sql::indexes(), bonus))["LEAF_BLOCKS"], "<null>");

    driver->execute(sql::analyzeTable("SCOTT", "BONUS"), {});

    const auto t = figures(run(sql::tables(), bonus));
    EXPECT_EQ(t["NUM_ROWS"], "6");
    EXPECT_EQ(t["BLOCKS"], "1");
    EXPECT_EQ(t["EMPTY_BLOCKS"], "7"); // 64 KB initial extent = 8 blocks
    // 3 header + ENAME (1+9..11) + JOB (1+5..9) + SAL (1+2..3) + COMM (1+2..3) + PAY_DATE (1+7)
    const int avg = t["AVG_ROW_LEN"].toInt();
    EXPECT_GE(avg, 35);
    EXPECT_LE(avg, 42);
    const auto ix = figures(run(sql::indexes(), bonus));
    EXPECT_EQ(ix["BLEVEL"], "0");
    EXPECT_EQ(ix["LEAF_BLOCKS"], "1");
}

TEST_F(EmbeddedAnalyze, RowLengthFollowsOracleStorage)
{
    // DEPT rows: NUMBER 10..40 takes 2 bytes, texts their CP932 bytes, each with a length byte:
    // 3+3+7+5, 3+3+11+5, 3+3+7+7, 3+3+7+5 = 78 bytes for 4 rows.
    rawExec("UPDATE ALL_TABLES SET NUM_ROWS = NULL, AVG_ROW_LEN = NULL WHERE TABLE_NAME = 'DEPT'");
    driver->execute("ANALYZE TABLE SCOTT.DEPT COMPUTE STATISTICS", {});
    const auto t = figures(run(sql::tables(), ownerName("SCOTT", "DEPT")));
    EXPECT_EQ(t["NUM_ROWS"], "4");
    EXPECT_EQ(t["AVG_ROW_LEN"], "20"); // 19.5 rounded
    EXPECT_EQ(t["BLOCKS"], "1");

    struct Case {
        const char* value;
        int bytes;
    };
    const Case numbers[] = {{"0", 1},  {"7", 2},      {"10", 2},   {"100", 2},   {"7369", 3},
                            {"-3", 3}, {"1300.5", 4}, {"0.25", 2}, {"12.50", 3}, {"1e-5", 2}};
    for (const Case& c : numbers)
        EXPECT_EQ(embedded::oracleNumberBytes(c.value), c.bytes) << c.value;
}

TEST_F(EmbeddedAnalyze, ManyRowsGrowBlocksAndIndexLevels)
{
    rawExec("WITH RECURSIVE N(I) AS (SELECT 1 UNION ALL SELECT I + 1 FROM N WHERE I < 20000) "
            "INSERT INTO \"DATA$SCOTT$BONUS\" SELECT 'ENAME_' || I, 'CLERK', 1000 + I, NULL, "
            "'2024-01-01' FROM N");
    driver->execute("analyze table scott.bonus compute statistics", {});
    const auto t = figures(run(sql::tables(), ownerName("SCOTT", "BONUS")));
    EXPECT_EQ(t["NUM_ROWS"], "20006");
    const int blocks = t["BLOCKS"].toInt();
    const int avg = t["AVG_ROW_LEN"].toInt();
    // Rows fill 90 % of each block (PCT_FREE 10).
    EXPECT_GE(blocks, 20006 * avg / 8192);
    EXPECT_LE(blocks, 20006 * (avg + 2) / (8192 * 0.85) + 1);
    EXPECT_EQ(t["EMPTY_BLOCKS"], "0");
    const auto ix = figures(run(sql::indexes(), ownerName("SCOTT", "BONUS")));
    EXPECT_GT(ix["LEAF_BLOCKS"].toInt(), 1);
    EXPECT_EQ(ix["BLEVEL"], "1");

    rawExec("DELETE FROM \"DATA$SCOTT$BONUS\"");
    driver->execute("ANALYZE TABLE SCOTT.BONUS COMPUTE STATISTICS", {});
    const auto empty = figures(run(sql::tables(), ownerName("SCOTT", "BONUS")));
    EXPECT_EQ(empty["NUM_ROWS"], "0");
    EXPECT_EQ(empty["BLOCKS"], "0");
    EXPECT_EQ(empty["EMPTY_BLOCKS"], "8");
    EXPECT_EQ(empty["AVG_ROW_LEN"], "0");
    EXPECT_EQ(figures(run(sql::indexes(), ownerName("SCOTT", "BONUS")))["LEAF_BLOCKS"], "0");
}

TEST_F(EmbeddedAnalyze, RejectsWhatOracleRejects)
{
    struct Case {
        QString sql;
        const char* code;
    };
    const Case cases[] = {
        {sql::analyzeTable("SCOTT", "NO_SUCH_TABLE"), "ORA-00942"},
        {"ANALYZE TABLE SCOTT.lower_case_tbl COMPUTE STATISTICS", "ORA-00942"}, // upper-cased unquoted
        {sql::analyzeTable("SCOTT", "EMP_DEPT_V"), "ORA-00942"},                // a view has no statistics
        {sql::analyzeTable("NOBODY", "EMP"), "ORA-00942"},
        {sql::analyzeTable("", "EMP"), "ORA-01490"},
        {"ANALYZE TABLE SCOTT.EMP", "ORA-01490"},
        {"ANALYZE INDEX SCOTT.PK_EMP COMPUTE STATISTICS", "ORA-01490"},
    };
    for (const Case& c : cases) {
        try {
            driver->execute(c.sql, {});
            ADD_FAILURE() << "accepted: " << c.sql.toStdString();
        } catch (const DbError& e) {
            EXPECT_TRUE(e.message().startsWith(c.code)) << e.message().toStdString();
        }
    }
    EXPECT_EQ(figures(run(sql::tables(), ownerName("SCOTT", "lower_case_tbl")))["NUM_ROWS"], "<null>");
    // Quoted, the lower-case name is found.
    driver->execute("ANALYZE TABLE \"SCOTT\".\"lower_case_tbl\" COMPUTE STATISTICS", {});
    EXPECT_EQ(figures(run(sql::tables(), ownerName("SCOTT", "lower_case_tbl")))["NUM_ROWS"], "3");
}

TEST(EmbeddedAnalyzeGenerated, TableWithoutStoredRowsIsEmpty)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("GEN.db");
    embedded::GeneratorOptions o;
    o.owners = 1;
    o.objectsPerOwner = 3;
    embedded::generateDictionary(path, o);
    SqliteDriver d(path);
    d.logon({"GEN", "SYS", "DEMO"});
    d.execute(sql::analyzeTable("OWNER01", "T_00001"), {});
    const ResultSet rs = d.query(sql::tables().join('\n'), {{"OWNER", "OWNER01"}, {"TABLE_NAME", "T_00001"}});
    const auto t = figures(rs);
    EXPECT_EQ(t["NUM_ROWS"], "0");
    EXPECT_EQ(t["BLOCKS"], "0");
    EXPECT_EQ(t["EMPTY_BLOCKS"], "8");
}

} // namespace
} // namespace morvane::testing

namespace morvane::testing {
namespace {

TEST(EmbeddedAnalyzeParse, UnquotedNamesInAnyScript)
{
    struct Case {
        QString sql;
        QString owner, table;
    } cases[] = {
        {"ANALYZE TABLE 販売.売上 COMPUTE STATISTICS", "販売", "売上"},
        {"analyze table scott.emp_2$ compute statistics", "SCOTT", "EMP_2$"},
        {"ANALYZE TABLE 受注明細 COMPUTE STATISTICS", "SYS", "受注明細"},
        {"ANALYZE TABLE \"販売\".\"売上 表\" DELETE STATISTICS", "販売", "売上 表"},
    };
    for (const Case& c : cases) {
        const auto cmd = embedded::parseAnalyze(c.sql, "sys");
        ASSERT_TRUE(cmd.has_value()) << c.sql.toStdString();
        EXPECT_EQ(cmd->owner, c.owner);
        EXPECT_EQ(cmd->table, c.table);
    }
    // A name may not start with a digit or a sign, in any script.
    for (const QString& bad : {QString("ANALYZE TABLE 販売.1売上 COMPUTE STATISTICS"),
                               QString("ANALYZE TABLE 販売.＃売上 COMPUTE STATISTICS")})
        EXPECT_THROW(embedded::parseAnalyze(bad, "SYS"), DbError) << bad.toStdString();
}

// Names go into the statement as data: plain ones as they stand, any other
// quoted, and the engine reads back exactly the stored names.
TEST(AnalyzeStatement, PlainNamesStandOthersAreQuoted)
{
    struct Case {
        QString owner, table, sql;
    } cases[] = {
        {"SCOTT", "EMP", "ANALYZE TABLE SCOTT.EMP COMPUTE STATISTICS"},
        {"販売", "売上", "ANALYZE TABLE 販売.売上 COMPUTE STATISTICS"},
        {"SYS", "T$1#_X", "ANALYZE TABLE SYS.T$1#_X COMPUTE STATISTICS"},
        {"SCOTT", "lower_case_tbl", "ANALYZE TABLE \"SCOTT\".\"lower_case_tbl\" COMPUTE STATISTICS"},
        {"INJ", "T DELETE STATISTICS --",
         "ANALYZE TABLE \"INJ\".\"T DELETE STATISTICS --\" COMPUTE STATISTICS"},
        {"O\"X", "TABLE", "ANALYZE TABLE \"O\"\"X\".\"TABLE\" COMPUTE STATISTICS"},
        {"SCOTT", "1ST", "ANALYZE TABLE \"SCOTT\".\"1ST\" COMPUTE STATISTICS"},
        {"scott", "EMP", "ANALYZE TABLE \"scott\".\"EMP\" COMPUTE STATISTICS"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table.toStdString());
        EXPECT_EQ(sql::analyzeTable(c.owner, c.table), c.sql);
        const auto cmd = embedded::parseAnalyze(c.sql, "SYS");
        ASSERT_TRUE(cmd.has_value());
        EXPECT_EQ(cmd->owner, c.owner);
        EXPECT_EQ(cmd->table, c.table);
        EXPECT_FALSE(cmd->remove);
    }
}

} // namespace
} // namespace morvane::testing
