#include "support/DocumentFixture.h"
#include "document/PageRoutines.h"
#include "support/FakePlatform.h"
#include <gtest/gtest.h>

using namespace morvane;
using namespace morvane::document;
using namespace morvane::test;

namespace {

const QString kStorage = "１．総合テーブル情報 (All_Tables)";
const QString kIndexes = "２．インデックス情報 (All_Indexes)";
const QString kIndCols = "３．インデックス項目情報 (All_Index_Columns)";
const QString kView = "１．総合ビュー情報 (All_Views)";

int yOf(const RecordingCanvas& c, const QString& text)
{
    const CanvasOp* op = c.findText(text);
    return op ? op->y1 : -1;
}

QVector<int> textYs(const RecordingCanvas& c, const QString& text)
{
    QVector<int> ys;
    for (const auto& op : textOps(c))
        if (op.text == text)
            ys.push_back(op.y1);
    return ys;
}

} // namespace

TEST(DocumentFirstPage, WorkedExampleOneTwoThree)
{
    DocumentSession d;
    d.loadTable(1, 2, 3);
    RecordingMessages msgs;
    RecordingCanvas c;
    DrawFirstPage(c, 254, d.data());
    EXPECT_TRUE(msgs.shown.isEmpty());

    EXPECT_EQ(yOf(c, kStorage), 270);
    EXPECT_EQ(yOf(c, kIndexes), 450);
    EXPECT_EQ(yOf(c, kIndCols), 765);
    EXPECT_EQ(horizontalRules(c, 50, 1790), (QVector<int>{315, 360, 405}));
    EXPECT_EQ(horizontalRules(c, 50, 1950), range(495, 720, 45));
    EXPECT_EQ(horizontalRules(c, 50, 1620), range(810, 1080, 45));

    QVector<VRule> expected;
    for (int x : {50, 350, 530, 710, 890, 1070, 1250, 1430, 1610, 1790})
        expected.push_back({x, 315, 405});
    for (int x : {50, 300, 680, 930, 1110, 1270, 1430, 1590, 1770, 1950})
        expected.push_back({x, 495, 720});
    for (int x : {50, 300, 680, 980, 1140, 1300, 1460, 1620})
        expected.push_back({x, 810, 1080});
    EXPECT_EQ(verticalRules(c), expected);

    EXPECT_EQ(textYs(c, "ﾃｰﾌﾞﾙｽﾍﾟｰｽ名"), (QVector<int>{322, 502}));
    EXPECT_EQ(textYs(c, "Pct_Used"), (QVector<int>{322}));
    EXPECT_EQ(textYs(c, "ﾂﾘｰ･ﾚﾍﾞﾙ"), (QVector<int>{502}));
    EXPECT_EQ(textYs(c, "項目位置"), (QVector<int>{817}));
    EXPECT_EQ(textYs(c, "65536"), (QVector<int>{367, 547, 547, 592, 592}));
    EXPECT_EQ(textYs(c, "IX_1"), (QVector<int>{547, 862, 907, 952}));
    EXPECT_EQ(textYs(c, "IX_2"), (QVector<int>{592}));
    EXPECT_EQ(textYs(c, "COL_3"), (QVector<int>{952}));
    // Every grid text is at 10 points.
    EXPECT_EQ(c.findText("COL_3")->fontHeight, 35);
    EXPECT_EQ(c.findText(kIndCols)->fontHeight, 35);
    // The shared queries are not moved by drawing.
    EXPECT_EQ(d.indCols.currentRow(), 0);
    EXPECT_EQ(d.indexes.currentRow(), 0);
}

TEST(DocumentFirstPage, HeadingRowsFollowTheCounts)
{
    struct Case {
        int n1, n2, n3;
        QVector<int> storageRules;
        int indexRow, indColRow;
        int indexRules;
    };
    const Case cases[] = {
        {1, 2, 3, {315, 360, 405}, 10, 17, 6},
        {0, 2, 3, {315, 360}, 9, 16, 6},
        {-1, 2, 3, {315}, 8, 15, 6},
        {1, 0, 0, {315, 360, 405}, 10, 15, 4},
        {3, 20, 0, {315, 360, 405, 450, 495}, 12, 37, 24},
    };
    for (const auto& k : cases) {
        DocumentSession d;
        d.loadTable(std::max(k.n1, 0), k.n2, k.n3);
        d.s.state.RowCounts[SlotTables] = k.n1;
        RecordingCanvas c;
        DrawFirstPage(c, 254, d.data());
        SCOPED_TRACE(testing::Message() << k.n1 << "/" << k.n2 << "/" << k.n3);
        EXPECT_EQ(horizontalRules(c, 50, 1790), k.storageRules);
        // The storage grid's verticals always reach row 9.
        EXPECT_EQ(verticalRules(c).first(), (VRule{50, 315, 405}));
        EXPECT_EQ(yOf(c, kIndexes), k.indexRow * 45);
        EXPECT_EQ(yOf(c, kIndCols), k.indColRow * 45);
        EXPECT_EQ(horizontalRules(c, 50, 1950).size(), k.indexRules);
        EXPECT_EQ(horizontalRules(c, 50, 1620).size(), k.n3 + 4);
    }
}

TEST(DocumentFirstPage, NullStatisticsStayBlank)
{
    DocumentSession d;
    d.loadTable(0, 0, 0);
    d.tables.openWith(makeResult({"TABLESPACE_NAME", "PCT_FREE", "PCT_USED", "INITIAL_EXTENT", "NEXT_EXTENT",
                                  "NUM_ROWS", "BLOCKS", "EMPTY_BLOCKS", "AVG_ROW_LEN"},
                                 {{"USERS", "10", "40", "65536", "65536", {}, {}, {}, {}}}));
    d.s.state.RowCounts[SlotTables] = 1;
    RecordingCanvas c;
    DrawFirstPage(c, 254, d.data());
    QStringList record;
    for (const auto& op : textOps(c))
        if (op.y1 == 367)
            record << op.text;
    EXPECT_EQ(record, (QStringList{"USERS", "10", "40", "65536", "65536", "", "", "", ""}));
}

TEST(DocumentFirstPage, ViewTextLines)
{
    DocumentSession d;
    d.s.state.TableType = "VIEW";
    d.loadView("EMP_V", "SELECT\r\n  A,\n  B\r  FROM T\n\r  WHERE 1=1\r\n");
    RecordingCanvas c;
    DrawFirstPage(c, 254, d.data());

    EXPECT_EQ(yOf(c, kView), 270);
    EXPECT_EQ(horizontalRules(c, 50, 900), (QVector<int>{315, 360, 405}));
    EXPECT_EQ(verticalRules(c).size(), 4);
    EXPECT_EQ(yOf(c, "ユーザー名"), 322);
    EXPECT_EQ(yOf(c, "EMP_V"), 367);
    EXPECT_EQ(c.findText("EMP_V")->fontHeight, 35);

    const QStringList lines{"SELECT", "  A,", "  B", "  FROM T", "", "  WHERE 1=1"};
    const int ys[] = {412, 445, 479, 512, 546, 580};
    const auto texts = textOps(c);
    ASSERT_GE(texts.size(), 6);
    for (int i = 0; i < 6; ++i) {
        const auto& op = texts[texts.size() - 6 + i];
        EXPECT_EQ(op.text, lines[i]);
        EXPECT_EQ(op.x1, 50);
        EXPECT_EQ(op.y1, ys[i]);
        EXPECT_EQ(op.fontHeight, 32);
    }
}

TEST(DocumentFirstPage, ViewOddCases)
{
    DocumentSession d;
    // A view with an empty text: the grid only, still at 10 points.
    d.s.state.TableType = "VIEW";
    d.loadView("EMPTY_V", "");
    RecordingCanvas empty;
    DrawFirstPage(empty, 254, d.data());
    EXPECT_EQ(textOps(empty).last().text, "0"); // the text length is the last text
    EXPECT_EQ(empty.ofKind(CanvasOp::Kind::FontHeight).last().x1, 35);

    // Text outside Shift-JIS is drawn as it is.
    d.loadView("V", "SELECT '😀ẞ' FROM DUAL");
    RecordingCanvas wide;
    DrawFirstPage(wide, 254, d.data());
    EXPECT_TRUE(wide.findText("SELECT '😀ẞ' FROM DUAL"));

    // A synonym of a view gets the view's rows.
    d.s.state.TableType = "SYNONYM";
    d.s.state.SynonymTargetType = "VIEW";
    RecordingCanvas syn;
    DrawFirstPage(syn, 254, d.data());
    EXPECT_EQ(yOf(syn, "V"), 367);

    // Neither table nor view: the view grid empty, not another object's rows,
    // also when the view query is closed.
    d.s.state.SynonymTargetType.clear();
    d.s.state.TableType = "PACKAGE";
    RecordingMessages msgs;
    RecordingCanvas other;
    DrawFirstPage(other, 254, d.data());
    EXPECT_TRUE(other.findText(kView));
    EXPECT_FALSE(other.findText("V"));
    d.views.close();
    DrawFirstPage(other, 254, d.data());
    EXPECT_TRUE(msgs.shown.isEmpty());
}

TEST(DocumentFirstPage, SynonymOfTableGetsTableLayout)
{
    DocumentSession d;
    d.loadTable(1, 1, 1);
    d.s.state.TableType = "SYNONYM";
    d.s.state.SynonymTargetType = "TABLE";
    d.s.state.IsSynonym = true;
    d.s.state.SynonymOwner = "APP";
    d.s.state.SynonymName = "EMP_S";
    RecordingCanvas c;
    DrawFirstPage(c, 254, d.data());
    EXPECT_TRUE(c.findText(kIndCols));
    EXPECT_TRUE(c.findText("◎ＯＷＮＥＲ：｢APP｣  テーブル名：｢EMP_S｣"));
    // Case matters in the type comparison.
    d.s.state.SynonymTargetType = "table";
    RecordingCanvas lower;
    DrawFirstPage(lower, 254, d.data());
    EXPECT_FALSE(lower.findText(kStorage));
    EXPECT_TRUE(lower.findText(kView));
}

TEST(DocumentFirstPage, ErrorStopsThePageAndTheCallerShowsIt)
{
    DocumentSession d;
    d.loadTable(1, 2, 3);
    d.indexes.close();
    const QString warning = "ページイメージ1作成エラー\n\r再起動して下さい。\n\r"
                            "不明の場合ＯＲＡＣＬＥ管理者に確認して下さい。";
    RecordingMessages msgs;
    RecordingCanvas plain;
    const PageResult r = DrawFirstPage(plain, 254, d.data());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.warning, warning);
    EXPECT_FALSE(r.cause.isEmpty());
    EXPECT_TRUE(msgs.shown.isEmpty());
    // What came before the failing grid stays; nothing after it is drawn.
    EXPECT_TRUE(plain.findText(kStorage));
    EXPECT_TRUE(plain.findText(kIndexes));
    EXPECT_FALSE(plain.findText(kIndCols));

    RecordingCanvas bad;
    EXPECT_FALSE(DrawFirstPage(bad, 0, d.data()).ok);
    EXPECT_TRUE(bad.ops().isEmpty());
    EXPECT_TRUE(msgs.shown.isEmpty());
}
