// The dictionary load of one object: statement texts and binds in order,
// synonym resolution, page counts, failures and the wait dialog's steps.
#include "database/DataModule.h"
#include "database/SqlTrace.h"
#include "database/Statements.h"
#include "support/FakeDriver.h"
#include "support/FakePlatform.h"
#include <gtest/gtest.h>

using namespace morvane;
using namespace morvane::test;

namespace {

class RecordingWait : public IWaitDialog {
public:
    void showProgress(int maximum) override { steps << QStringLiteral("show %1").arg(maximum); }
    void setProgress(int p) override { steps << QString::number(p); }
    void hideProgress() override { steps << "hide"; }
    QStringList steps;
};

QString joined(const QStringList& l) { return l.join('\n'); }

// A small dictionary: SCOTT.EMP (table), SCOTT.EMP_V (view), synonyms.
struct Dictionary {
    int columnCount = 3;
    bool failCount = false;
    bool failColumns = false;
    ResultSet answer(const QString& sql, const BindList& binds)
    {
        auto bind = [&](const char* n) {
            for (const auto& b : binds)
                if (b.first == QLatin1String(n))
                    return b.second;
            return QString();
        };
        if (sql.startsWith("SELECT COUNT(*)")) {
            if (failCount)
                throw DbError("ORA-00942: table or view does not exist");
            int n = 1;
            if (sql.contains("ALL_TAB_COLUMNS"))
                n = columnCount;
            if (sql.contains("ALL_IND_COLUMNS"))
                n = 2;
            return oneRow({"COUNT(*)"}, {QString::number(n)});
        }
        if (sql == joined(sql::synonymLookup())) {
            if (bind("TABLE_NAME") == "EMP_SYN" && bind("OWNER") == "SCOTT")
                return oneRow({"OWNER", "SYNONYM_NAME", "TABLE_OWNER", "TABLE_NAME", "OLD_TYPE"},
                              {"SCOTT", "EMP_SYN", "SCOTT", "EMP", "TABLE"});
            return noRows({"OWNER", "SYNONYM_NAME", "TABLE_OWNER", "TABLE_NAME", "OLD_TYPE"});
        }
        if (sql == joined(sql::tables()))
            return oneRow({"TABLESPACE_NAME", "NUM_ROWS"},
                          {"USERS", bind("TABLE_NAME") == "EMP" ? "14" : "0"});
        if (sql == joined(sql::indexes()))
            return oneRow({"OWNER", "INDEX_NAME"}, {"SCOTT", "PK_" + bind("TABLE_NAME")});
        if (sql == joined(sql::indexColumns()))
            return oneRow({"INDEX_OWNER", "INDEX_NAME", "COLUMN_NAME"}, {"SCOTT", "PK_EMP", "EMPNO"});
        if (sql == joined(sql::views()))
            return oneRow({"OWNER", "VIEW_NAME", "TEXT_LENGTH", "TEXT"},
                          {"SCOTT", bind("TABLE_NAME"), "20", "select * from emp"});
        if (sql == joined(sql::tableColumns())) {
            if (failColumns)
                throw DbError("ORA-03113: end-of-file on communication channel");
            ResultSet rs = noRows({"COLUMN_ID", "COLUMN_NAME", "COMMENTS", "DATA_TYPE"});
            for (int i = 1; i <= columnCount; ++i)
                rs.rows.push_back({QString::number(i), QStringLiteral("C%1").arg(i), "", "TIMESTAMP(6)"});
            return rs;
        }
        if (sql == joined(sql::adjustColumnWidths())) {
            ResultSet rs = noRows({"TABLE_NAME", "COLUMN_NAME", "DATA_LENGTH"});
            rs.rows.push_back({"ALL_COL_COMMENTS", "COMMENTS", "4000"});
            rs.rows.push_back({"ALL_TAB_COLUMNS", "DATA_TYPE", "106"});
            return rs;
        }
        throw DbError("ORA-00900: invalid SQL statement");
    }
};

class LoadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dm.Database1_ADO.setDriverForTesting(std::make_unique<FakeDriver>(
            [this](const QString& s, const BindList& b) { return dict.answer(s, b); }));
        dm.Database1_ADO.open();
        dm.waitDialog = &wait;
        session.settings.MaxPageRow = 55;
        session.settings.LAST_OWNER = "SCOTT";
    }
    bool load(const QString& name, const QString& type)
    {
        session.state.TableName = name;
        session.state.TableType = type;
        return dm.LoadTableDictionary();
    }
    Session session;
    TDataModule2 dm{session};
    Dictionary dict;
    RecordingWait wait;
    RecordingMessages messages;
};

struct Sent {
    QString query;
    QStringList lines;
    BindList binds;
};

QVector<Sent> sent(const TraceRecorder& r)
{
    QVector<Sent> out;
    for (const auto& e : r.entries())
        out.push_back({e.queryName, e.sql.split('\n'), e.binds});
    return out;
}

} // namespace

TEST_F(LoadTest, TableSendsEveryStatementInOrderWithItsBinds)
{
    TraceRecorder trace;
    ASSERT_TRUE(load("EMP", "TABLE"));
    const BindList ownerName = {{"OWNER", "SCOTT"}, {"TABLE_NAME", "EMP"}};
    const QVector<Sent> expected = {
        {"AQ_Count", sql::countRows(2), ownerName},
        {"AQ_Tables", sql::tables(), ownerName},
        {"AQ_Count", sql::countRows(3), ownerName},
        {"AQ_Indexes", sql::indexes(), ownerName},
        {"AQ_Count", sql::countRows(4), ownerName},
        {"AQ_Ind_Cols",
         sql::indexColumns(),
         {{"OWNER1", "SCOTT"},
          {"OWNER2", "SCOTT"},
          {"OWNER3", "SCOTT"},
          {"TABLE_NAME1", "EMP"},
          {"TABLE_NAME2", "EMP"}}},
        {"AQ_Count", sql::countRows(6), ownerName},
        {"AQ_Tab_Cols",
         sql::tableColumns(),
         {{"OWNER", "SCOTT"}, {"OWNER1", "SCOTT"}, {"TABLE_NAME", "EMP"}}},
    };
    const QVector<Sent> got = sent(trace);
    ASSERT_EQ(got.size(), expected.size());
    for (int i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].query, expected[i].query) << i;
        EXPECT_EQ(got[i].lines, expected[i].lines) << i;
        EXPECT_EQ(got[i].binds, expected[i].binds) << i;
    }
    EXPECT_EQ(wait.steps, QStringList({"show 4", "1", "2", "3", "4", "hide"}));
    EXPECT_EQ(dm.Tag, 6);
    EXPECT_EQ(session.state.RowCounts[2], 1);
    EXPECT_EQ(session.state.RowCounts[4], 2);
    EXPECT_FALSE(session.state.IsSynonym);
    EXPECT_TRUE(messages.shown.isEmpty());
    // Results stay open for the page routines.
    EXPECT_TRUE(dm.AQ_Tables.isOpen());
    EXPECT_EQ(dm.AQ_Tab_Cols.recordCount(), 3);
}

TEST_F(LoadTest, ExactStatementTextsOfTheDictionaryLoad)
{
    // Spot checks on the texts themselves, line by line.
    EXPECT_EQ(sql::countRows(7), QStringList({"SELECT COUNT(*)", "FROM ALL_SYNONYMS",
                                              "WHERE OWNER = :OWNER AND", "SYNONYM_NAME = :TABLE_NAME"}));
    EXPECT_EQ(sql::countRows(5).at(3), "VIEW_NAME = :TABLE_NAME");
    EXPECT_TRUE(sql::countRows(1).isEmpty());
    EXPECT_EQ(sql::synonymLookup().at(7), "SYN.TABLE_NAME  = CAT.TABLE_NAME");
    EXPECT_EQ(sql::indexColumns().size(), 10);
    EXPECT_EQ(sql::indexColumns().at(2),
              "  FROM (select TABLE_OWNER, TABLE_NAME, INDEX_OWNER, INDEX_NAME, substr(COLUMN_NAME, 1, "
              "25) COLUMN_NAME, COLUMN_POSITION, COLUMN_LENGTH");
    EXPECT_EQ(sql::tableColumns().at(2), "DEFAULT_LENGTH");
    EXPECT_EQ(sql::analyzeTable("SCOTT", "EMP"), "ANALYZE TABLE SCOTT.EMP COMPUTE STATISTICS");
}

TEST_F(LoadTest, ViewKeepsTheEarlierTableSectionsAndCountsItsColumns)
{
    ASSERT_TRUE(load("EMP", "TABLE"));
    wait.steps.clear();
    TraceRecorder trace;
    dict.columnCount = 56;
    ASSERT_TRUE(load("EMP_V", "VIEW"));
    QStringList queries;
    for (const auto& s : sent(trace))
        queries << s.query;
    EXPECT_EQ(queries, QStringList({"AQ_Count", "AQ_Views", "AQ_Count", "AQ_Tab_Cols"}));
    EXPECT_EQ(wait.steps, QStringList({"show 4", "2", "4", "hide"}));
    EXPECT_EQ(dm.AQ_Views.text("VIEW_NAME"), "EMP_V");
    dm.AQ_Tables.first();
    EXPECT_EQ(dm.AQ_Tables.text("NUM_ROWS"), "14"); // the table's rows, untouched
    EXPECT_EQ(session.state.RowCounts[6], 56);
    EXPECT_EQ(session.state.ColumnPageCount, 2);
}

TEST_F(LoadTest, ObjectNeitherTableNorViewGetsNoStaleViewRows)
{
    ASSERT_TRUE(load("EMP_V", "VIEW"));
    ASSERT_TRUE(load("EMP_SEQ_LIKE", "PACKAGE"));
    EXPECT_TRUE(dm.AQ_Views.isOpen());
    EXPECT_EQ(dm.AQ_Views.recordCount(), 0);
    EXPECT_EQ(session.state.RowCounts[5], 0);
}

TEST_F(LoadTest, SynonymInTheSameOwnerResolvesToItsTable)
{
    TraceRecorder trace;
    ASSERT_TRUE(load("EMP_SYN", "SYNONYM"));
    const auto got = sent(trace);
    ASSERT_FALSE(got.isEmpty());
    EXPECT_EQ(got[0].query, "AQ_Synonyms");
    EXPECT_EQ(got[0].binds, (BindList{{"OWNER", "SCOTT"}, {"TABLE_NAME", "EMP_SYN"}}));
    EXPECT_EQ(got[2].query, "AQ_Tables");
    EXPECT_EQ(got[2].binds, (BindList{{"OWNER", "SCOTT"}, {"TABLE_NAME", "EMP"}}));
    const SharedState& st = session.state;
    EXPECT_TRUE(st.IsSynonym);
    EXPECT_EQ(st.SynonymName, "EMP_SYN");
    EXPECT_EQ(st.SynonymOwner, "SCOTT");
    EXPECT_EQ(st.SynonymTargetType, "TABLE");
    EXPECT_EQ(st.TableName, "EMP");
    EXPECT_EQ(session.settings.LAST_OWNER, "SCOTT");
    EXPECT_EQ(wait.steps, QStringList({"show 4", "2", "1", "2", "3", "4", "hide"}));
}

TEST_F(LoadTest, UnresolvableSynonymFailsAndKeepsOwnerAndName)
{
    ASSERT_TRUE(load("EMP", "TABLE"));
    TraceRecorder trace;
    EXPECT_FALSE(load("DEPT_SYN", "SYNONYM"));
    EXPECT_EQ(session.settings.LAST_OWNER, "SCOTT");
    EXPECT_EQ(session.state.TableName, "DEPT_SYN");
    EXPECT_EQ(trace.entries().size(), 1); // the lookup only
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Error);
    EXPECT_TRUE(messages.shown[0].text.contains("SCOTT.DEPT_SYN"));
    EXPECT_EQ(wait.steps.last(), "hide");
}

TEST_F(LoadTest, ColumnPageCountRoundsUpAndSurvivesFailedCountsAndZeroLimit)
{
    struct Case {
        int columns;
        int maxPageRow;
        int pages;
    } cases[] = {{55, 55, 1},
                 {56, 55, 2},
                 {0, 55, 0},
                 {110, 55, 2},
                 {25, 10, 3},
                 {56, 0, 2},
                 {56, -3, 2},
                 {1, 1, 1},
                 // A page holds 56 rows whatever the setting asks for.
                 {56, 56, 1},
                 {57, 57, 2},
                 {500, 100, 9},
                 {500, 999, 9}};
    for (const Case& c : cases) {
        dict.columnCount = c.columns;
        session.settings.MaxPageRow = c.maxPageRow;
        ASSERT_TRUE(load("EMP", "TABLE"));
        EXPECT_EQ(session.state.ColumnPageCount, c.pages) << c.columns << "/" << c.maxPageRow;
    }
    dict.failCount = true;
    messages.shown.clear();
    ASSERT_TRUE(load("EMP", "TABLE")); // a failed count does not stop the load
    EXPECT_EQ(session.state.RowCounts[6], -1);
    EXPECT_EQ(session.state.RowCounts[2], -1);
    EXPECT_EQ(session.state.ColumnPageCount, 0);
    EXPECT_EQ(messages.texts().count("レコード数カウントエラー"), 4);
}

TEST_F(LoadTest, StatementFailureHidesTheWaitDialogAndReports)
{
    dict.failColumns = true;
    EXPECT_FALSE(load("EMP", "TABLE"));
    EXPECT_EQ(messages.texts(),
              QStringList({"データベースＯＰＥＮ失敗\n\rORA-03113: end-of-file on communication channel"}));
    EXPECT_EQ(wait.steps.last(), "hide");
    EXPECT_TRUE(dm.AQ_Tables.isOpen()); // what was reloaded before the failure stays
}

TEST_F(LoadTest, AdjustColumnWidthsWidensTheColumnListFields)
{
    bool cleared = false;
    dm.clearOwnerField = [&] { cleared = true; };
    ASSERT_TRUE(load("EMP", "TABLE"));
    dm.AQ_Tab_Cols.first();
    EXPECT_EQ(dm.AQ_Tab_Cols.text("DATA_TYPE"), "TIMESTAMP(6)"); // whole before as after
    dm.AdjustColumnWidths();
    EXPECT_TRUE(cleared);
    EXPECT_EQ(dm.Tag, 7);
    EXPECT_EQ(dm.AQ_Tab_Cols.fieldSize("COMMENTS"), 4000);
    EXPECT_EQ(dm.AQ_Tab_Cols.fieldSize("DATA_TYPE"), 106);
    EXPECT_FALSE(dm.AQ_Synonyms.isOpen());
    ASSERT_TRUE(load("EMP", "TABLE"));
    dm.AQ_Tab_Cols.first();
    EXPECT_EQ(dm.AQ_Tab_Cols.text("DATA_TYPE"), "TIMESTAMP(6)");
}
