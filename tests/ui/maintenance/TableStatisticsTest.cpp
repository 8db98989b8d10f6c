// ANALYZE for the chosen table and for every table of an owner, on the demo
// dictionary with a few tables added where the demo has none of the kind.
#include "app/MainWindow.h"
#include "core/Platform.h"
#include "core/Winplace.h"
#include "database/DataModule.h"
#include "database/SqlTrace.h"
#include "document/DocumentData.h"
#include "document/PageRoutines.h"
#include "document/RecordingCanvas.h"
#include "support/MainWindowParts.h"
#include "support/FakePlatform.h"
#include "support/ScriptedDialogs.h"
#include "support/ScopedDataDir.h"
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace morvane;
using namespace morvane::test;

namespace {

// 販売.売上: a table with Japanese names and rows, never analysed. GUEST gets
// three tables of which the second is missing from ALL_TABLES, so that its
// ANALYZE fails as a dropped table's would.
const char* const kExtraTables = R"(
INSERT INTO ALL_USERS (USERNAME, USER_ID, CREATED) VALUES ('販売', 80, '2024-02-01 09:00:00');
INSERT INTO ALL_TAB_COMMENTS VALUES ('販売', '売上', 'TABLE', '売上実績');
INSERT INTO ALL_CATALOG (OWNER, TABLE_NAME, TABLE_TYPE) VALUES ('販売', '売上', 'TABLE');
INSERT INTO ALL_TABLES (OWNER, TABLE_NAME, TABLESPACE_NAME, PCT_FREE, PCT_USED, INI_TRANS, MAX_TRANS,
                        INITIAL_EXTENT, NEXT_EXTENT, MIN_EXTENTS, MAX_EXTENTS)
  VALUES ('販売', '売上', 'USERS', 10, 40, 1, 255, 65536, 1048576, 1, 2147483645);
INSERT INTO ALL_TAB_COLUMNS (OWNER, TABLE_NAME, COLUMN_NAME, DATA_TYPE, DATA_LENGTH, DATA_PRECISION,
                             DATA_SCALE, NULLABLE, COLUMN_ID)
  VALUES ('販売', '売上', '伝票番号', 'NUMBER', 22, 8, 0, 'N', 1),
         ('販売', '売上', '摘要', 'VARCHAR2', 40, NULL, NULL, 'Y', 2);
INSERT INTO ALL_COL_COMMENTS VALUES ('販売', '売上', '伝票番号', '伝票'), ('販売', '売上', '摘要', NULL);
CREATE TABLE "DATA$販売$売上" (伝票番号, 摘要);
INSERT INTO "DATA$販売$売上" VALUES (1, '東京'), (2, '大阪支店'), (3, NULL);

INSERT INTO ALL_CATALOG (OWNER, TABLE_NAME, TABLE_TYPE)
  VALUES ('GUEST', 'T_A', 'TABLE'), ('GUEST', 'T_B', 'TABLE'), ('GUEST', 'T_C', 'TABLE');
INSERT INTO ALL_TABLES (OWNER, TABLE_NAME, INITIAL_EXTENT) VALUES ('GUEST', 'T_A', 65536), ('GUEST', 'T_C', 65536);
)";

class TableStatisticsTest : public ::testing::Test, protected MainWindowParts {
protected:
    void SetUp() override
    {
        session.settings.MaxPageRow = 55;
        logOn();
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(data.path() + "/DEMO.db").constData(), &db), SQLITE_OK);
        char* err = nullptr;
        EXPECT_EQ(sqlite3_exec(db, kExtraTables, nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "");
        sqlite3_free(err);
        sqlite3_close(db);
        dm.AdjustColumnWidths();
        main.FormShow();
    }
    void chooseOwner(const QString& owner)
    {
        main.ComboBox1->setEditText(owner);
        main.ComboBox1Change();
        session.settings.LAST_OWNER = owner;
    }
    // As a choice in the table list leaves it: chosen, loaded, buttons set.
    void chooseTable(const QString& owner, const QString& table)
    {
        chooseOwner(owner);
        session.state.TableName = table;
        session.state.TableType = "TABLE";
        main.Edit2->setText(table);
        ASSERT_TRUE(dm.LoadTableDictionary());
        main.BitBtn6->setEnabled(true);
    }
    QStringList analyzeStatements() const
    {
        QStringList l;
        for (const TraceEntry& e : trace.entries())
            if (e.kind == "execute")
                l << e.sql;
        return l;
    }
    QString tableFigure(const QString& field)
    {
        const document::DocumentData d = document::documentDataFrom(session);
        return d.tables.rows.isEmpty() ? QString("<none>") : document::fieldText(d.tables, 0, field);
    }
    QStringList firstPageTexts()
    {
        document::RecordingCanvas canvas;
        EXPECT_TRUE(document::DrawFirstPage(canvas, 96, document::documentDataFrom(session)).ok);
        QStringList texts;
        for (const auto& op : canvas.ofKind(document::CanvasOp::Kind::Text))
            texts << op.text;
        return texts;
    }

    TraceRecorder trace;
};

} // namespace

TEST_F(TableStatisticsTest, OneTableIsAnalysedReloadedAndItsFiguresPrinted)
{
    chooseTable("SCOTT", "BONUS");
    EXPECT_EQ(tableFigure("NUM_ROWS"), "");
    const QStringList before = firstPageTexts();
    trace.clear();
    main.BitBtn9Click();
    EXPECT_EQ(analyzeStatements(), QStringList({"ANALYZE TABLE SCOTT.BONUS COMPUTE STATISTICS"}));
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.texts().join("/").toStdString();
    EXPECT_EQ(tableFigure("NUM_ROWS"), "6");
    const QStringList after = firstPageTexts();
    EXPECT_NE(before, after);
    EXPECT_GT(after.count("6"), before.count("6"));
    for (QPushButton* b : {main.BitBtn1, main.BitBtn3, main.BitBtn4, main.BitBtn9})
        EXPECT_TRUE(b->isEnabled()) << b->text().toStdString();
    EXPECT_FALSE(main.BitBtn6->isEnabled());
    EXPECT_FALSE(platform::isBusyCursor());
}

TEST_F(TableStatisticsTest, JapaneseNamesNeedNoQuotes)
{
    chooseTable("販売", "売上");
    trace.clear();
    main.BitBtn9Click();
    EXPECT_EQ(analyzeStatements(), QStringList({"ANALYZE TABLE 販売.売上 COMPUTE STATISTICS"}));
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.texts().join("/").toStdString();
    EXPECT_EQ(tableFigure("NUM_ROWS"), "3");
    EXPECT_NE(tableFigure("AVG_ROW_LEN"), "");
}

TEST_F(TableStatisticsTest, ALowerCaseNameIsAnalysedUnderQuotes)
{
    chooseTable("SCOTT", "lower_case_tbl");
    trace.clear();
    main.BitBtn9Click();
    EXPECT_EQ(analyzeStatements(),
              QStringList({"ANALYZE TABLE \"SCOTT\".\"lower_case_tbl\" COMPUTE STATISTICS"}));
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.texts().join("/").toStdString();
    EXPECT_NE(tableFigure("NUM_ROWS"), "");
    EXPECT_FALSE(platform::isBusyCursor());
}

TEST_F(TableStatisticsTest, AFailedAnalyzeIsNotReloaded)
{
    // T_B is in the catalog but not in ALL_TABLES: its ANALYZE fails.
    chooseTable("GUEST", "T_B");
    main.BitBtn9->setEnabled(false);
    trace.clear();
    main.BitBtn9Click();
    // The fixed text, then the server's reason.
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.startsWith("ANALYZE TABLEエラー\n\rORA-"))
        << messages.shown[0].text.toStdString();
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Error);
    for (const TraceEntry& e : trace.entries())
        EXPECT_NE(e.queryName, "AQ_Tab_Cols") << "reloaded after a failed ANALYZE";
    EXPECT_FALSE(main.BitBtn9->isEnabled());
    EXPECT_TRUE(main.BitBtn6->isEnabled());
    EXPECT_FALSE(platform::isBusyCursor());
}

TEST_F(TableStatisticsTest, AllTablesGoOnAfterAFailedOne)
{
    chooseOwner("GUEST");
    trace.clear();
    QStringList shownNames;
    QObject::connect(main.Edit2, &QLineEdit::textChanged, [&](const QString& t) { shownNames << t; });
    main.BitBtn8Click();
    EXPECT_EQ(analyzeStatements(), QStringList({"ANALYZE TABLE GUEST.T_A COMPUTE STATISTICS",
                                                "ANALYZE TABLE GUEST.T_B COMPUTE STATISTICS",
                                                "ANALYZE TABLE GUEST.T_C COMPUTE STATISTICS"}));
    // No box stopped the run: one summary at its end names the failed table and why.
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Warning);
    const QStringList lines = messages.shown[0].text.split("\n\r");
    ASSERT_EQ(lines.size(), 2) << messages.shown[0].text.toStdString();
    EXPECT_EQ(lines[0], "3件中1件のオブジェクトを処理できませんでした。");
    EXPECT_TRUE(lines[1].startsWith("・GUEST.T_B：ANALYZE TABLEエラー ORA-")) << lines[1].toStdString();
    EXPECT_TRUE(shownNames.contains("T_B"));
    // Both fields cleared; the last table stays the current one.
    EXPECT_EQ(main.Edit2->text(), "");
    EXPECT_EQ(main.Edit1->text(), "");
    EXPECT_EQ(session.state.TableName, "T_C");
    EXPECT_FALSE(main.BitBtn3->isEnabled());
    EXPECT_FALSE(main.BitBtn9->isEnabled());
    EXPECT_FALSE(main.BitBtn6->isEnabled());
    EXPECT_FALSE(dm.AQ_Catalog.isOpen());
    EXPECT_FALSE(platform::isBusyCursor());

    // The first and the third now carry figures, the second has none to carry.
    for (const QString& t : {QString("T_A"), QString("T_C")}) {
        session.state.TableName = t;
        ASSERT_TRUE(dm.LoadTableDictionary());
        EXPECT_EQ(tableFigure("NUM_ROWS"), "0") << t.toStdString();
    }
}

TEST_F(TableStatisticsTest, AnOwnerWithoutTablesAnalysesNothing)
{
    for (const QString& owner : {QString("NOBODY"), QString("")}) {
        chooseOwner(owner);
        main.ComboBox1->setEditText(owner); // as a user-defined owner list shows it
        main.Edit2->setText("X");
        main.Edit1->setText("Y");
        trace.clear();
        main.BitBtn8Click();
        EXPECT_TRUE(analyzeStatements().isEmpty());
        if (owner.isEmpty()) {
            // An empty field asks for an owner rather than running for a hidden one.
            EXPECT_EQ(messages.texts(), QStringList({"ＯＷＮＥＲを選択して下さい。"}));
            continue;
        }
        EXPECT_TRUE(messages.shown.isEmpty());
        EXPECT_EQ(main.Edit2->text(), "");
        EXPECT_EQ(main.Edit1->text(), "");
        EXPECT_FALSE(dm.AQ_Catalog.isOpen());
    }
}

TEST_F(TableStatisticsTest, AFailingCatalogEndsTheRunCleanly)
{
    chooseOwner("SCOTT");
    dm.Database1_ADO.close();
    runGuarded([this] { main.BitBtn8Click(); });
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Application);
    EXPECT_FALSE(dm.AQ_Catalog.isOpen());
    EXPECT_FALSE(platform::isBusyCursor());
}
