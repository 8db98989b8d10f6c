// The catalog forms and owner list on the demo dictionary, with the exact texts the program sends.
#include "embedded_fixture.h"

namespace morvane::testing {
namespace {

using EmbeddedCatalog = EmbeddedDemo;

QStringList typed(const ResultSet& rs)
{
    QStringList out;
    for (const auto& r : rs.rows)
        out << r[1] + ":" + r[2] + ":" + (r[3].isNull() ? QString("<null>") : r[3]);
    return out;
}

TEST_F(EmbeddedCatalog, OwnerListLeavesOutSysAndSystem)
{
    EXPECT_EQ(column(run(sql::ownerList()), "USERNAME"), (QStringList{"GUEST", "HR", "SALES", "SCOTT"}));
}

TEST_F(EmbeddedCatalog, ThreeFormsKeepOrDropSynonymsLikeOracle)
{
    struct Case {
        const char* name;
        QStringList lines;
        BindList binds;
        QStringList expected;
    };
    const QStringList scottTables = {"BONUS:TABLE:賞与実績（統計情報未取得）", "DEPT:TABLE:部門マスタ",
                                     "EMP:TABLE:社員マスタ", "SALGRADE:TABLE:給与等級",
                                     "lower_case_tbl:TABLE:引用符付きの小文字名で作成された表"};
    const Case cases[] = {
        // ATC.OWNER without the marker turns the outer join into an inner one.
        {"table list",
         sql::catalogTableList("SCOTT", "TABLE_TYPE, TABLE_NAME"),
         {},
         scottTables + QStringList{"EMP_DEPT_V:VIEW:社員部門ビュー"}},
        {"all objects",
         sql::catalogAllObjects(),
         {{"OWNER", "SCOTT"}},
         {"BONUS:TABLE:賞与実績（統計情報未取得）", "DEPT:TABLE:部門マスタ", "EMP:TABLE:社員マスタ",
          "EMPLOYEES:SYNONYM:<null>", "EMP_DEPT_V:VIEW:社員部門ビュー", "SALGRADE:TABLE:給与等級",
          "lower_case_tbl:TABLE:引用符付きの小文字名で作成された表"}},
        {"tables only", sql::catalogTablesOnly(), {{"OWNER", "SCOTT"}}, scottTables},
        {"guest list", sql::catalogTableList("GUEST", "TABLE_TYPE, TABLE_NAME"), {}, {}},
        {"guest all", sql::catalogAllObjects(), {{"OWNER", "GUEST"}}, {"EMP:SYNONYM:<null>"}},
        {"empty owner", sql::catalogAllObjects(), {{"OWNER", ""}}, {}},
    };
    for (const Case& c : cases) {
        const ResultSet rs = run(c.lines, c.binds);
        EXPECT_EQ(typed(rs), c.expected) << c.name;
        ASSERT_EQ(rs.columns.size(), 4) << c.name;
        EXPECT_EQ(rs.columns[3].name, "COMMENTS") << c.name;
    }
}

TEST_F(EmbeddedCatalog, SequencesNeverListed)
{
    for (const char* owner : {"SCOTT", "SALES", "HR"}) {
        const ResultSet all = run(sql::catalogAllObjects(), {{"OWNER", owner}});
        EXPECT_FALSE(column(all, "TABLE_TYPE").contains("SEQUENCE")) << owner;
        EXPECT_FALSE(all.rows.isEmpty()) << owner;
    }
    // They are in the catalog all the same.
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM ALL_CATALOG WHERE TABLE_TYPE = 'SEQUENCE'"), "4");
}

TEST_F(EmbeddedCatalog, CommentSortPutsMissingCommentsLast)
{
    const ResultSet rs = run(sql::catalogTableList("HR", "COMMENTS"));
    const QStringList comments = column(rs, "COMMENTS");
    ASSERT_GE(comments.size(), 3);
    EXPECT_TRUE(comments.last().isNull());
    EXPECT_EQ(rs.rows.last()[1], "WORK_IMPORT");
    QStringList present = comments.mid(0, comments.size() - 1);
    QStringList sorted = present;
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        return a.toUtf8() < b.toUtf8(); // SQLite's BINARY collation
    });
    EXPECT_EQ(present, sorted);
    for (const QString& c : present)
        EXPECT_FALSE(c.isNull());
}

TEST_F(EmbeddedCatalog, QuotedOwnerSelectsThatOwnersRows)
{
    // An owner with a quote is written into the text doubled; it must match literally.
    EXPECT_TRUE(run(sql::catalogTableList("SC'OTT", "TABLE_NAME")).rows.isEmpty());
    EXPECT_TRUE(run(sql::catalogTableList("' OR 'A' = 'A", "TABLE_NAME")).rows.isEmpty());
    rawExec("INSERT INTO ALL_CATALOG VALUES ('O''NEIL', 'MEMO', 'TABLE');"
            "INSERT INTO ALL_TAB_COMMENTS VALUES ('O''NEIL', 'MEMO', 'TABLE', 'メモ');");
    const ResultSet rs = run(sql::catalogTableList("O'NEIL", "TABLE_NAME"));
    EXPECT_EQ(typed(rs), QStringList{"MEMO:TABLE:メモ"});
    EXPECT_EQ(typed(run(sql::catalogAllObjects(), {{"OWNER", "O'NEIL"}})), typed(rs));
}

TEST_F(EmbeddedCatalog, ColumnWidthsFromSysRows)
{
    const ResultSet rs = run(sql::adjustColumnWidths());
    QStringList got;
    for (const auto& r : rs.rows)
        got << r[0] + "." + r[1] + "=" + r[2];
    EXPECT_EQ(got, (QStringList{"ALL_COL_COMMENTS.COMMENTS=4000", "ALL_TAB_COLUMNS.DATA_TYPE=106"}));
    EXPECT_TRUE(rs.columns[2].numeric);
    EXPECT_FALSE(rs.columns[1].numeric);
}

} // namespace
} // namespace morvane::testing
