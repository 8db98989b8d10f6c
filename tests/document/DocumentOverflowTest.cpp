// Content that one page cannot hold goes on further pages, whole.
#include "support/DocumentFixture.h"
#include "document/Fonts.h"
#include "document/FrontPages.h"
#include "document/PageRoutines.h"
#include "support/FakePlatform.h"
#include <QFontMetrics>
#include <gtest/gtest.h>

using namespace morvane;
using namespace morvane::document;
using namespace morvane::test;

namespace {

// At 254 dpi a device pixel is a page unit; row 64 is the lowest a page draws on.
constexpr int kBottom = 64 * 45;

QVector<RecordingCanvas> drawAll(const DocumentData& data)
{
    QVector<RecordingCanvas> pages(documentPageCount(data));
    for (int p = 1; p <= pages.size(); ++p)
        EXPECT_TRUE(drawDocumentPage(pages[p - 1], 254, p, data).ok) << p;
    return pages;
}

int lowestLine(const RecordingCanvas& c)
{
    int y = 0;
    for (const auto& op : c.ofKind(CanvasOp::Kind::Line))
        y = std::max({y, op.y1, op.y2});
    return y;
}

// Texts drawn between two x rules below the labels, as page -> texts.
QStringList cellTexts(const RecordingCanvas& c, int left, int right, int minY = 323)
{
    QStringList t;
    for (const auto& op : textOps(c))
        if (op.x1 > left && op.x1 < right && op.y1 >= minY)
            t << op.text;
    return t;
}

} // namespace

TEST(DocumentOverflow, IndexRowsCarryOnBeforeTheColumnPages)
{
    DocumentSession d;
    // N1 = 1: the grids fit while N2 + N3 is 45 or less; past that the
    // last grid's empty bands give way first, then its records move on.
    struct Fit {
        int n3, pages;
    } fits[] = {{25, 1}, {27, 1}, {28, 2}};
    for (const Fit& f : fits) {
        d.loadTable(1, 20, f.n3);
        EXPECT_EQ(frontPageCount(d.data()), f.pages) << f.n3;
    }

    d.loadTable(1, 45, 89);
    d.loadColumns(60);
    const DocumentData data = d.data();
    ASSERT_EQ(frontPageCount(data), 3);
    ASSERT_EQ(documentPageCount(data), 5);
    const auto pages = drawAll(data);

    QStringList indexColumns; // "COL_k" in the index-column grid's name column
    for (int p = 0; p < 3; ++p) {
        SCOPED_TRACE(p + 1);
        EXPECT_LE(lowestLine(pages[p]), kBottom);
        for (const QString& t : cellTexts(pages[p], 680, 980))
            if (t.startsWith("COL_"))
                indexColumns << t;
    }
    QStringList expected;
    for (int k = 1; k <= 89; ++k)
        expected << QString("COL_%1").arg(k);
    EXPECT_EQ(indexColumns, expected);

    // Page 1 ends with the start of the index-column grid; page 2 repeats its heading and labels.
    const CanvasOp* heading = pages[1].findText("３．インデックス項目情報 (All_Index_Columns)");
    ASSERT_TRUE(heading);
    EXPECT_EQ(heading->y1, 270);
    EXPECT_EQ(pages[1].findText("項目位置")->y1, 322);
    EXPECT_TRUE(pages[1].findText("データベース定義ファイル2"));
    EXPECT_TRUE(pages[1].findText("◎ＯＷＮＥＲ：｢SCOTT｣  テーブル名：｢EMP｣ "));
    EXPECT_FALSE(pages[1].findText("２．インデックス情報 (All_Indexes)"));
    // Column pages number on in the title and keep their own number in the heading.
    EXPECT_TRUE(pages[3].findText("データベース定義ファイル4"));
    EXPECT_TRUE(pages[3].findText("５．テーブル項目情報 Page1 (All_Table_Columns)"));
    EXPECT_TRUE(pages[4].findText("データベース定義ファイル5"));

    // A failing continuation page names its own page.
    d.indCols.close();
    RecordingMessages msgs;
    RecordingCanvas c;
    const PageResult r = DrawFrontPage(c, 254, 2, d.data());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.warning, "ページイメージ2作成エラー。");
}

TEST(DocumentOverflow, EveryColumnReachesAColumnPage)
{
    DocumentSession d;
    d.s.settings.MaxPageRow = 100;
    d.loadTable(1, 0, 0);
    d.loadColumns(500);
    const DocumentData data = d.data();
    ASSERT_EQ(documentPageCount(data), 1 + 9);
    const auto pages = drawAll(data);
    QStringList ids;
    for (int p = 1; p < pages.size(); ++p) {
        EXPECT_LE(lowestLine(pages[p]), kBottom) << p;
        ids << cellTexts(pages[p], 50, 130);
    }
    QStringList expected;
    for (int k = 1; k <= 500; ++k)
        expected << QString::number(k);
    EXPECT_EQ(ids, expected);
    EXPECT_TRUE(pages.last().findText("データベース定義ファイル10"));
}

TEST(DocumentOverflow, ViewLinesWrapAndCarryOn)
{
    QStringList lines;
    for (int k = 1; k <= 1000; ++k)
        lines << QString("L%1 SELECT COL_%1").arg(k, 4, 10, QChar('0'));
    QString longLine;
    for (int k = 1; k <= 5000; ++k)
        longLine += QString("C%1, ").arg(k, 5, 10, QChar('0'));
    lines << longLine;
    DocumentSession d;
    d.s.state.TableType = "VIEW";
    d.loadView("BIG_V", lines.join("\r\n"));
    const DocumentData data = d.data();
    const int perPage = viewLinesPerPage();
    EXPECT_EQ(perPage, 73);
    const auto pages = drawAll(data);

    QStringList drawn;
    for (const auto& page : pages) {
        EXPECT_EQ(page.findText("BIG_V")->y1, 367); // the view's record repeats
        for (const auto& op : textOps(page)) {
            if (op.fontHeight != 32 || op.y1 < 400)
                continue;
            drawn << op.text;
            EXPECT_LE(op.y1 + 34, kBottom);
            EXPECT_LE(op.x1 + QFontMetrics(minchoFont(32)).horizontalAdvance(op.text), 1990)
                << op.text.left(20).toStdString();
        }
    }
    ASSERT_GT(drawn.size(), 1001);
    EXPECT_EQ(drawn.mid(0, 1000), lines.mid(0, 1000));
    EXPECT_EQ(drawn.mid(1000).join(QString()), longLine);
    EXPECT_EQ(pages.size(), (drawn.size() + perPage - 1) / perPage);
    EXPECT_TRUE(pages[1].findText("データベース定義ファイル2"));
    EXPECT_EQ(pages[1].findText("L0074 SELECT COL_0074")->y1, 412);
}

TEST(DocumentOverflow, WrapBreaksAfterABlankOrWhereTheLineIsFull)
{
    // Half-width characters 1 wide, everything else 2.
    const auto advance = [](char32_t c) { return c < 0x2E80 ? 1.0 : 2.0; };
    struct Case {
        QString line;
        double width;
        QStringList pieces;
    } cases[] = {
        {"", 4, {""}},
        {"abcd", 4, {"abcd"}},
        {"abcdef", 4, {"abcd", "ef"}},
        {"ab cdefg", 5, {"ab ", "cdefg"}},   // the blank stands in the second half
        {"a bcdefgh", 6, {"a bcde", "fgh"}}, // in the first half: broken where full
        {"𠮷𠮷𠮷", 4, {"𠮷𠮷", "𠮷"}},       // pairs stay whole
        {"ＡＢ", 1, {"Ａ", "Ｂ"}},           // a character wider than the line still moves on
    };
    for (const Case& c : cases)
        EXPECT_EQ(wrapLine(c.line, c.width, advance), c.pieces) << c.line.toStdString();
}

TEST(DocumentOverflow, TheTableNameIsNeverCut)
{
    const QString wide = "全角三十文字の表名ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵ";
    const QString bytes128 = QString("T").repeated(124) + "_END";
    struct Case {
        QString owner, name;
        bool smaller;
    } cases[] = {
        {"SCOTT", "EMP", false},
        {"ODD", wide, true},
        {"ODD", bytes128, true},
        {bytes128, bytes128, true},
    };
    for (const Case& k : cases) {
        DocumentSession d;
        d.s.settings.LAST_OWNER = k.owner;
        d.s.state.TableName = k.name;
        d.s.state.TableComment = "(" + QString("長い注釈").repeated(40) + ")";
        d.loadTable(1, 0, 0);
        RecordingCanvas c;
        ASSERT_TRUE(DrawFirstPage(c, 254, d.data()).ok);
        const QString named = "◎ＯＷＮＥＲ：｢" + k.owner + "｣  テーブル名：｢" + k.name + "｣";
        const CanvasOp* line = c.findText(named + " " + d.s.state.TableComment);
        ASSERT_TRUE(line) << k.name.toStdString();
        EXPECT_EQ(line->fontHeight < 46, k.smaller) << line->fontHeight;
        EXPECT_LE(50 + QFontMetrics(minchoFont(line->fontHeight)).horizontalAdvance(named), 1950);
        // Only the owner line: the date line after it is at 9 points again.
        EXPECT_EQ(c.findText("作成者：TARO")->fontHeight, 32);
    }
}
