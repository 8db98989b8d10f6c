#include "support/DocumentFixture.h"
#include "document/PageRoutines.h"
#include "support/FakePlatform.h"
#include <gtest/gtest.h>

using namespace morvane;
using namespace morvane::document;
using namespace morvane::test;

namespace {

const int kRules[] = {50, 130, 390, 1180, 1350, 1470, 1590, 1710, 1830, 1950};

// (COLUMN_ID text, y) of the records drawn: texts centred in the first column below the labels.
QVector<QPair<QString, int>> records(const RecordingCanvas& c)
{
    QVector<QPair<QString, int>> r;
    for (const auto& op : textOps(c))
        if (op.y1 > 322 && op.x1 > 50 && op.x1 < 130)
            r.push_back({op.text, op.y1});
    return r;
}

} // namespace

TEST(DocumentColumnPage, WorkedExampleFiftyFiveBySixty)
{
    DocumentSession d;
    d.loadColumns(60);
    ASSERT_EQ(d.s.state.ColumnPageCount, 2);
    RecordingMessages msgs;

    struct Page {
        int n;
        QString title;
        int lastRule;
        int firstId, lastId;
        int lastY;
    };
    const Page pages[] = {{1, "データベース定義ファイル2", 2835, 1, 55, 2797},
                          {2, "データベース定義ファイル3", 585, 56, 60, 547}};
    for (const auto& p : pages) {
        SCOPED_TRACE(p.n);
        RecordingCanvas c;
        DrawColumnPage(c, 254, p.n, d.data());
        EXPECT_TRUE(c.findText(p.title));
        const CanvasOp* heading =
            c.findText(QString("５．テーブル項目情報 Page%1 (All_Table_Columns)").arg(p.n));
        ASSERT_TRUE(heading);
        EXPECT_EQ(heading->x1, 50);
        EXPECT_EQ(heading->y1, 270);
        EXPECT_EQ(horizontalRules(c, 50, 1950), range(315, p.lastRule, 45));
        QVector<VRule> v;
        for (int x : kRules)
            v.push_back({x, 315, p.lastRule});
        EXPECT_EQ(verticalRules(c), v);
        EXPECT_EQ(c.findText("項 目 別 名")->y1, 322);
        EXPECT_EQ(c.findText("ﾃﾞｰﾀ型")->y1, 322);
        const auto r = records(c);
        ASSERT_EQ(r.size(), p.lastId - p.firstId + 1);
        for (int i = 0; i < r.size(); ++i) {
            EXPECT_EQ(r[i].first, QString::number(p.firstId + i));
            EXPECT_EQ(r[i].second, 367 + 45 * i);
        }
        EXPECT_EQ(r.last().second, p.lastY);
    }
    EXPECT_TRUE(msgs.shown.isEmpty());

    // Drawing reads a copy of the rows: the shared query's cursor stays put.
    d.tabCols.first();
    d.tabCols.next();
    const document::DocumentData data = d.data();
    RecordingCanvas c;
    DrawColumnPage(c, 254, 1, data);
    EXPECT_EQ(d.tabCols.currentRow(), 1);
}

TEST(DocumentColumnPage, RecordBandsPerPage)
{
    struct Case {
        int maxRow, columns, page, bands, drawn;
    };
    const Case cases[] = {
        {55, 55, 1, 55, 55},   {55, 56, 2, 1, 1},
        {55, 110, 2, 55, 55},  {0, 56, 2, 1, 1}, // a 0 limit pages by 55
        {10, 25, 3, 5, 5},     {10, 25, 2, 10, 10},
        {100, 500, 1, 56, 56}, {100, 500, 9, 52, 52}, // never more than a page holds
    };
    for (const auto& k : cases) {
        DocumentSession d;
        d.s.settings.MaxPageRow = k.maxRow;
        d.loadColumns(k.columns);
        RecordingCanvas c;
        DrawColumnPage(c, 254, k.page, d.data());
        SCOPED_TRACE(testing::Message() << k.maxRow << "/" << k.columns << "/" << k.page);
        EXPECT_EQ(horizontalRules(c, 50, 1950).size(), k.bands + 2);
        EXPECT_EQ(records(c).size(), k.drawn);
    }
    // Fewer records than the count: the remaining bands stay empty.
    DocumentSession d;
    d.loadColumns(3);
    d.s.state.RowCounts[SlotTabCols] = 5;
    RecordingCanvas c;
    DrawColumnPage(c, 254, 1, d.data());
    EXPECT_EQ(horizontalRules(c, 50, 1950).size(), 7);
    EXPECT_EQ(records(c).size(), 3);
}

TEST(DocumentColumnPage, CommentsShowTheirFirstLineAt400)
{
    DocumentSession d;
    const QString longComment = QString(60, QChar(0x3042)); // far wider than its column
    d.loadColumns(5, {"社員番号\r\n二行目", "", "\r\n二行目だけ", longComment, "名前\n\r後"});
    RecordingCanvas c;
    DrawColumnPage(c, 254, 1, d.data());
    QStringList shown;
    for (const auto& op : textOps(c))
        if (op.x1 == 400)
            shown << op.text;
    EXPECT_EQ(shown, (QStringList{"社員番号", "", longComment, "名前"}));
    EXPECT_FALSE(c.findText("二行目"));
    EXPECT_FALSE(c.findText("二行目だけ"));

    // The data type drawn after a long comment lays its background over it.
    int commentAt = -1, typeAt = -1;
    const auto texts = textOps(c);
    for (int i = 0; i < texts.size(); ++i) {
        if (texts[i].text == longComment)
            commentAt = i;
        if (commentAt >= 0 && typeAt < 0 && texts[i].text == "NUMBER")
            typeAt = i;
    }
    EXPECT_GT(typeAt, commentAt);
    EXPECT_GT(texts[typeAt].x1, 1180);
    EXPECT_EQ(texts[typeAt].brushColor, QColor(Qt::white));
}

TEST(DocumentColumnPage, ClearsFirstAndCentresValues)
{
    DocumentSession d;
    d.tabCols.openWith(
        makeResult({"COLUMN_ID", "COLUMN_NAME", "COMMENTS", "DATA_TYPE", "DATA_LENGTH", "DATA_PRECISION",
                    "DATA_SCALE", "NULLABLE", "DEFAULT_LENGTH"},
                   {{"1", "A_VERY_LONG_COLUMN_NAME_XX", "", "VARCHAR2", "4000", {}, {}, "N", {}}}));
    d.s.state.RowCounts[SlotTabCols] = 1;
    d.s.state.ColumnPageCount = 1;
    RecordingCanvas c;
    DrawColumnPage(c, 254, 1, d.data());
    const auto rects = c.ofKind(CanvasOp::Kind::Rect);
    ASSERT_EQ(rects.size(), 3);
    EXPECT_EQ(rects[0].x2, 1990);
    EXPECT_EQ(rects[0].y2, 2800);
    EXPECT_EQ(rects[0].penColor, QColor(Qt::white));
    EXPECT_EQ(rects[1].penColor, QColor(Qt::black)); // the title shadow, after the erase
    // Before the header: face, erase, pen.
    EXPECT_EQ(c.ops()[0].kind, CanvasOp::Kind::FontFace);
    EXPECT_EQ(c.ops()[0].text, "ＭＳ 明朝,MS Mincho,IPAMincho,Noto Serif CJK JP");

    EXPECT_EQ(c.findText("A_VERY_LONG_COLUMN_NAME_XX")->x1, 133);
    const CanvasOp* type = c.findText("VARCHAR2");
    const int w = c.textWidth("VARCHAR2");
    EXPECT_EQ(type->x1, 1180 + static_cast<int>(std::nearbyint((170 - w) / 2.0)));
    QStringList row;
    for (const auto& op : textOps(c))
        if (op.y1 == 367)
            row << op.text;
    EXPECT_EQ(row, (QStringList{"1", "A_VERY_LONG_COLUMN_NAME_XX", "VARCHAR2", "4000", "", "", "N", ""}));
}

TEST(DocumentColumnPage, ErrorNamesTheDocumentPage)
{
    DocumentSession d;
    d.loadColumns(60);
    d.tabCols.close();
    RecordingMessages msgs;
    RecordingCanvas c;
    const PageResult r = DrawColumnPage(c, 254, 2, d.data());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.warning, "ページイメージ3作成エラー。");
    // The cause follows the warning, so a report says why.
    EXPECT_FALSE(r.cause.isEmpty());
    EXPECT_TRUE(r.message().startsWith("ページイメージ3作成エラー。\n\r"));
    // The routine itself shows nothing.
    EXPECT_TRUE(msgs.shown.isEmpty());
    // The frame was drawn before the record walk failed.
    EXPECT_EQ(horizontalRules(c, 50, 1950).size(), 7);
}
