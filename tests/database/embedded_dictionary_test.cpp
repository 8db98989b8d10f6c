// Per-object dictionary statements on the demo, and the demo's inner consistency.
#include "embedded_fixture.h"

namespace morvane::testing {
namespace {

using EmbeddedDictionary = EmbeddedDemo;

TEST_F(EmbeddedDictionary, RowCountsPerSection)
{
    struct Case {
        int tag;
        const char* owner;
        const char* name;
        const char* count;
    };
    const Case cases[] = {
        {2, "SCOTT", "EMP", "1"},
        {3, "SCOTT", "EMP", "3"},
        {4, "SCOTT", "EMP", "5"},
        {5, "SCOTT", "EMP", "0"},
        {6, "SCOTT", "EMP", "8"},
        {7, "SCOTT", "EMPLOYEES", "1"},
        {3, "SCOTT", "SALGRADE", "0"},
        {4, "SCOTT", "SALGRADE", "0"},
        {5, "SALES", "V_ORDER_LIST", "1"},
        {6, "SALES", "V_ORDER_LIST", "5"},
        {6, "SALES", "MONTHLY_SALES", "65"},
        {2, "SCOTT", "NO_SUCH", "0"},
    };
    for (const Case& c : cases) {
        const ResultSet rs = run(sql::countRows(c.tag), ownerName(c.owner, c.name));
        ASSERT_EQ(rs.columns.size(), 1);
        EXPECT_EQ(rs.columns[0].name, "COUNT(*)");
        EXPECT_TRUE(rs.columns[0].numeric);
        ASSERT_EQ(rs.rows.size(), 1);
        EXPECT_EQ(rs.rows[0][0], c.count) << c.tag << " " << c.owner << "." << c.name;
    }
}

TEST_F(EmbeddedDictionary, SynonymLookupBindsOwnerTwice)
{
    ResultSet rs = run(sql::synonymLookup(), ownerName("SCOTT", "EMPLOYEES"));
    ASSERT_EQ(rs.rows.size(), 1);
    EXPECT_EQ(rs.rows[0], (QVector<QString>{"SCOTT", "EMPLOYEES", "SCOTT", "EMP", "TABLE"}));
    EXPECT_EQ(rs.columns[4].name, "OLD_TYPE");
    EXPECT_EQ(column(run(sql::synonymLookup(), ownerName("SALES", "ORDER_LIST")), "OLD_TYPE"),
              QStringList{"VIEW"});
    // The target in another owner is outside CAT.OWNER = :OWNER.
    EXPECT_TRUE(run(sql::synonymLookup(), ownerName("HR", "DEPT")).rows.isEmpty());
    EXPECT_EQ(scalar("SELECT TABLE_OWNER FROM ALL_SYNONYMS WHERE OWNER = 'HR' AND SYNONYM_NAME = 'DEPT'"),
              "SCOTT");
}

TEST_F(EmbeddedDictionary, IndexColumnsJoinSharedPrefixTwice)
{
    const BindList binds = {{"OWNER1", "HR"},
                            {"OWNER2", "HR"},
                            {"OWNER3", "HR"},
                            {"TABLE_NAME1", "EMP_LICENSE"},
                            {"TABLE_NAME2", "EMP_LICENSE"}};
    const ResultSet rs = run(sql::indexColumns(), binds);
    QStringList got;
    for (const auto& r : rs.rows)
        got << r[1] + "/" + r[2] + "/" + r[3] + "/" + r[4];
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (QStringList{"IX_LICENSE_ACQUISITION_FROM/LICENSE_ACQUISITION_DATE_/1/7",
                                "IX_LICENSE_ACQUISITION_FROM/LICENSE_ACQUISITION_DATE_/1/7",
                                "PK_EMP_LICENSE/EMP_ID/1/22", "PK_EMP_LICENSE/LICENSE_CODE/2/10"}));
    EXPECT_EQ(rs.columns[2].name, "COLUMN_NAME");
    EXPECT_TRUE(rs.columns[3].numeric);
    // The count does not join the table's columns, so it sees each index column once.
    EXPECT_EQ(run(sql::countRows(4), ownerName("HR", "EMP_LICENSE")).rows[0][0], "3");
}

TEST_F(EmbeddedDictionary, TableSectionsOfAnalysedAndUnanalysedTables)
{
    ResultSet emp = run(sql::tables(), ownerName("SCOTT", "EMP"));
    ASSERT_EQ(emp.rows.size(), 1);
    EXPECT_EQ(emp.rows[0][col(emp, "NUM_ROWS")], "14");
    EXPECT_EQ(emp.rows[0][col(emp, "TABLESPACE_NAME")], "USERS");
    for (const char* figure : {"NUM_ROWS", "BLOCKS", "EMPTY_BLOCKS", "AVG_ROW_LEN"})
        EXPECT_TRUE(emp.columns[col(emp, figure)].numeric) << figure;
    const ResultSet bonus = run(sql::tables(), ownerName("SCOTT", "BONUS"));
    for (const char* figure : {"NUM_ROWS", "BLOCKS", "EMPTY_BLOCKS", "AVG_ROW_LEN"})
        EXPECT_TRUE(bonus.rows[0][col(bonus, figure)].isNull()) << figure;

    const ResultSet ix = run(sql::indexes(), ownerName("SCOTT", "EMP"));
    EXPECT_EQ(column(ix, "INDEX_NAME"), (QStringList{"IX_EMP_DEPT_JOB", "IX_EMP_MGR_HIREDATE", "PK_EMP"}));
    EXPECT_EQ(column(ix, "UNIQUENESS"), (QStringList{"NONUNIQUE", "NONUNIQUE", "UNIQUE"}));
    EXPECT_EQ(column(ix, "BLEVEL"), (QStringList{"0", "0", "0"}));
}

TEST_F(EmbeddedDictionary, ColumnListFollowsColumnId)
{
    const BindList binds = {{"OWNER", "SALES"}, {"OWNER1", "SALES"}, {"TABLE_NAME", "ORDER_DETAIL"}};
    const ResultSet rs = run(sql::tableColumns(), binds);
    EXPECT_EQ(column(rs, "COLUMN_NAME"), (QStringList{"ORDER_NO", "LINE_NO", "PRODUCT_CODE", "QUANTITY",
                                                      "UNIT_PRICE", "AMOUNT", "REMARKS"}));
    const auto& quantity = rs.rows[3];
    EXPECT_EQ(quantity[col(rs, "DATA_TYPE")], "NUMBER");
    EXPECT_EQ(quantity[col(rs, "DATA_LENGTH")], "22");
    EXPECT_TRUE(quantity[col(rs, "DATA_PRECISION")].isNull());
    EXPECT_TRUE(quantity[col(rs, "DATA_SCALE")].isNull());
    EXPECT_EQ(quantity[col(rs, "DEFAULT_LENGTH")], "1");
    EXPECT_EQ(rs.rows[4][col(rs, "DATA_PRECISION")], "10");
    EXPECT_EQ(rs.rows[4][col(rs, "DATA_SCALE")], "2");
    EXPECT_EQ(rs.rows[1][col(rs, "DATA_SCALE")], "0");
    EXPECT_EQ(rs.rows[2][col(rs, "NULLABLE")], "N");
    EXPECT_EQ(rs.rows[2][col(rs, "COMMENTS")], "商品コード");
    EXPECT_FALSE(rs.columns[col(rs, "NULLABLE")].numeric);
    EXPECT_TRUE(rs.columns[col(rs, "COLUMN_ID")].numeric);

    const BindList wide = {{"OWNER", "SALES"}, {"OWNER1", "SALES"}, {"TABLE_NAME", "MONTHLY_SALES"}};
    const QStringList ids = column(run(sql::tableColumns(), wide), "COLUMN_ID");
    ASSERT_EQ(ids.size(), 65);
    for (int i = 0; i < ids.size(); ++i)
        EXPECT_EQ(ids[i], QString::number(i + 1));
}

TEST_F(EmbeddedDictionary, ViewTextIsMultiLine)
{
    const ResultSet rs = run(sql::views(), ownerName("SALES", "V_ORDER_LIST"));
    ASSERT_EQ(rs.rows.size(), 1);
    const QString text = rs.rows[0][col(rs, "TEXT")];
    EXPECT_GE(text.count('\n'), 3);
    EXPECT_TRUE(text.startsWith("SELECT O.ORDER_NO"));
    EXPECT_EQ(rs.rows[0][col(rs, "TEXT_LENGTH")], QString::number(text.toUtf8().size()));
}

TEST_F(EmbeddedDictionary, DemoHasTheAwkwardCases)
{
    EXPECT_EQ(
        scalar("SELECT COMMENTS FROM ALL_TAB_COMMENTS WHERE OWNER = 'SALES' AND TABLE_NAME = 'PRODUCT'"),
        "商品マスタ（\"標準品\", \"特注品\"を含む）\n単価は税抜きで登録する");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM ALL_USERS WHERE USERNAME NOT IN ('SYS', 'SYSTEM')"), "4");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM ALL_TABLES WHERE TABLE_NAME = 'lower_case_tbl'"), "1");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM ALL_TABLES WHERE NUM_ROWS IS NULL"), "2");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM (SELECT OWNER, TABLE_NAME FROM ALL_TAB_COLUMNS "
                     "GROUP BY OWNER, TABLE_NAME, substr(COLUMN_NAME, 1, 25) HAVING COUNT(*) > 1)"),
              "1");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM ALL_TAB_COLUMNS WHERE DATA_TYPE = 'DATE'") != "0", true);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM (SELECT TABLE_NAME FROM ALL_IND_COLUMNS "
                     "GROUP BY INDEX_OWNER, INDEX_NAME HAVING COUNT(*) > 1)")
                      .toInt()
                  >= 3,
              true);
}

// Every view of the dictionary agrees with the others, and the analysed figures with the rows.
TEST_F(EmbeddedDictionary, DemoIsConsistent)
{
    const char* const none[] = {
        // catalog tables and views have exactly one comments row, and nothing else has one
        "SELECT OWNER, TABLE_NAME FROM ALL_CATALOG WHERE TABLE_TYPE IN ('TABLE', 'VIEW') "
        "EXCEPT SELECT OWNER, TABLE_NAME FROM ALL_TAB_COMMENTS",
        "SELECT OWNER, TABLE_NAME, TABLE_TYPE FROM ALL_TAB_COMMENTS "
        "EXCEPT SELECT OWNER, TABLE_NAME, TABLE_TYPE FROM ALL_CATALOG",
        "SELECT OWNER, TABLE_NAME FROM ALL_TABLES "
        "EXCEPT SELECT OWNER, TABLE_NAME FROM ALL_CATALOG WHERE TABLE_TYPE = 'TABLE'",
        "SELECT OWNER, TABLE_NAME FROM ALL_CATALOG WHERE TABLE_TYPE = 'TABLE' "
        "EXCEPT SELECT OWNER, TABLE_NAME FROM ALL_TABLES",
        "SELECT OWNER, TABLE_NAME FROM ALL_CATALOG WHERE TABLE_TYPE = 'VIEW' "
        "EXCEPT SELECT OWNER, VIEW_NAME FROM ALL_VIEWS",
        "SELECT OWNER, TABLE_NAME FROM ALL_CATALOG WHERE TABLE_TYPE = 'SYNONYM' "
        "EXCEPT SELECT OWNER, SYNONYM_NAME FROM ALL_SYNONYMS",
        "SELECT TABLE_OWNER, TABLE_NAME FROM ALL_SYNONYMS "
        "EXCEPT SELECT OWNER, TABLE_NAME FROM ALL_CATALOG",
        // every table and view has columns, each with a comments row
        "SELECT OWNER, TABLE_NAME FROM ALL_CATALOG WHERE TABLE_TYPE IN ('TABLE', 'VIEW') "
        "EXCEPT SELECT OWNER, TABLE_NAME FROM ALL_TAB_COLUMNS",
        "SELECT OWNER, TABLE_NAME, COLUMN_NAME FROM ALL_TAB_COLUMNS "
        "EXCEPT SELECT OWNER, TABLE_NAME, COLUMN_NAME FROM ALL_COL_COMMENTS",
        // index columns exist in their tables, with the column's length
        "SELECT TABLE_OWNER, TABLE_NAME, COLUMN_NAME, COLUMN_LENGTH FROM ALL_IND_COLUMNS "
        "EXCEPT SELECT OWNER, TABLE_NAME, COLUMN_NAME, DATA_LENGTH FROM ALL_TAB_COLUMNS",
        "SELECT OWNER, INDEX_NAME FROM ALL_INDEXES EXCEPT SELECT INDEX_OWNER, INDEX_NAME FROM ALL_IND_COLUMNS",
        "SELECT TABLE_OWNER, TABLE_NAME FROM ALL_INDEXES EXCEPT SELECT OWNER, TABLE_NAME FROM ALL_TABLES",
        // column ids run 1..n
        "SELECT OWNER, TABLE_NAME FROM ALL_TAB_COLUMNS GROUP BY OWNER, TABLE_NAME "
        "HAVING MIN(COLUMN_ID) <> 1 OR MAX(COLUMN_ID) <> COUNT(*)",
    };
    for (const char* q : none)
        EXPECT_TRUE(driver->query(q, {}).rows.isEmpty()) << q;

    // Stored rows: one data table per demo table, with the dictionary's columns in order.
    const ResultSet tables = driver->query("SELECT OWNER, TABLE_NAME, NUM_ROWS FROM ALL_TABLES "
                                           "WHERE OWNER <> 'SYS'",
                                           {});
    ASSERT_GE(tables.rows.size(), 12);
    for (const auto& t : tables.rows) {
        const QString store = "\"DATA$" + t[0] + "$" + t[1] + "\"";
        const QStringList stored = column(
            driver->query("SELECT name FROM pragma_table_info('" + store.mid(1, store.size() - 2) + "')", {}),
            "name");
        const QStringList described =
            column(run(sql::tableColumns(), {{"OWNER", t[0]}, {"OWNER1", t[0]}, {"TABLE_NAME", t[1]}}),
                   "COLUMN_NAME");
        EXPECT_EQ(stored, described) << t[1].toStdString();
        if (!t[2].isNull()) {
            EXPECT_EQ(scalar("SELECT COUNT(*) FROM " + store), t[2]) << t[1].toStdString();
        }
    }
}

} // namespace
} // namespace morvane::testing
