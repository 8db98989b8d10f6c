#include "document/FrontPages.h"
#include "document/PageGeometry.h"
#include "document/PageRoutines.h"
#include "document/Rounding.h"
#include <stdexcept>

namespace morvane::document {

namespace {

GridSpec storageGrid(int n1)
{
    return {6,
            QStringLiteral("１．総合テーブル情報 (All_Tables)"),
            {50, 350, 530, 710, 890, 1070, 1250, 1430, 1610, 1790},
            n1 + 1,
            2,
            {{QStringLiteral("ﾃｰﾌﾞﾙｽﾍﾟｰｽ名"), QStringLiteral("TABLESPACE_NAME")},
             {QStringLiteral("Pct_Free"), QStringLiteral("PCT_FREE")},
             {QStringLiteral("Pct_Used"), QStringLiteral("PCT_USED")},
             {QStringLiteral("Ini_Ext"), QStringLiteral("INITIAL_EXTENT")},
             {QStringLiteral("Next_Ext"), QStringLiteral("NEXT_EXTENT")},
             {QStringLiteral("行数"), QStringLiteral("NUM_ROWS")},
             {QStringLiteral("使用Block"), QStringLiteral("BLOCKS")},
             {QStringLiteral("空きBlock"), QStringLiteral("EMPTY_BLOCKS")},
             {QStringLiteral("平均列長"), QStringLiteral("AVG_ROW_LEN")}}};
}

GridSpec indexGrid(int h, int n2)
{
    return {h,
            QStringLiteral("２．インデックス情報 (All_Indexes)"),
            {50, 300, 680, 930, 1110, 1270, 1430, 1590, 1770, 1950},
            n2 + 3,
            n2 + 3,
            {{QStringLiteral("オーナー名"), QStringLiteral("OWNER")},
             {QStringLiteral("ｲﾝﾃﾞｯｸｽ名"), QStringLiteral("INDEX_NAME")},
             {QStringLiteral("ﾃｰﾌﾞﾙｽﾍﾟｰｽ名"), QStringLiteral("TABLESPACE_NAME")},
             {QStringLiteral("一意"), QStringLiteral("UNIQUENESS")},
             {QStringLiteral("Pct_Free"), QStringLiteral("PCT_FREE")},
             {QStringLiteral("Ini_Ext"), QStringLiteral("INITIAL_EXTENT")},
             {QStringLiteral("Next_Ext"), QStringLiteral("NEXT_EXTENT")},
             {QStringLiteral("ﾂﾘｰ･ﾚﾍﾞﾙ"), QStringLiteral("BLEVEL")},
             {QStringLiteral("ﾘｰﾌ･ﾌﾞﾛｯｸ"), QStringLiteral("LEAF_BLOCKS")}}};
}

GridSpec indexColumnGrid(int h, int n3)
{
    return {h,
            QStringLiteral("３．インデックス項目情報 (All_Index_Columns)"),
            {50, 300, 680, 980, 1140, 1300, 1460, 1620},
            n3 + 3,
            n3 + 3,
            {{QStringLiteral("オーナー名"), QStringLiteral("INDEX_OWNER")},
             {QStringLiteral("ｲﾝﾃﾞｯｸｽ名"), QStringLiteral("INDEX_NAME")},
             {QStringLiteral("項目名"), QStringLiteral("COLUMN_NAME")},
             {QStringLiteral("項目位置"), QStringLiteral("COLUMN_POSITION")},
             {QStringLiteral("項目長"), QStringLiteral("COLUMN_LENGTH")},
             {QStringLiteral("数値長"), QStringLiteral("DATA_PRECISION")},
             {QStringLiteral("小数点"), QStringLiteral("DATA_SCALE")}}};
}

GridSpec viewGrid()
{
    return {6,
            QStringLiteral("１．総合ビュー情報 (All_Views)"),
            {50, 300, 750, 900},
            2,
            2,
            {{QStringLiteral("ユーザー名"), QStringLiteral("OWNER")},
             {QStringLiteral("ビュー名"), QStringLiteral("VIEW_NAME")},
             {QStringLiteral("項目長"), QStringLiteral("TEXT_LENGTH")}}};
}

GridSpec gridOf(const GridPart& part, int n1)
{
    switch (part.grid) {
    case FrontGrid::Storage: return storageGrid(n1);
    case FrontGrid::Indexes: return indexGrid(part.headingRow, part.bands - 2);
    case FrontGrid::IndexColumns: break;
    }
    return indexColumnGrid(part.headingRow, part.bands - 2);
}

const ResultSet& rowsOf(const GridPart& part, const DocumentData& d)
{
    switch (part.grid) {
    case FrontGrid::Storage: return d.tables;
    case FrontGrid::Indexes: return d.indexes;
    case FrontGrid::IndexColumns: break;
    }
    return d.indCols;
}

void drawTableLayout(PageContext& page, const DocumentData& d, const FrontPage& plan)
{
    for (const GridPart& part : plan.grids) {
        const GridSpec grid = gridOf(part, d.rowCounts[SlotTables]);
        const ResultSet& rows = rowsOf(part, d);
        if (part.grid == FrontGrid::Storage) {
            page.drawGrid(grid, rows);
            continue;
        }
        page.drawGridFrame(grid);
        requireLoaded(rows);
        for (int b = 0; b < part.bands; ++b) {
            const int r = part.firstBand + b;
            if (r < rows.rows.size())
                page.drawGridRecord(grid, part.headingRow + 2 + b, rows, r);
        }
    }
}

// Line i (from 1) below the record in band.
int viewLineY(int viewPitch, int band, int i)
{
    return static_cast<int>(roundHalfEven(viewPitch * i * 0.8 + (band + 1) * viewPitch));
}

void drawViewLayout(PageContext& page, const DocumentData& d, int viewPitch, const FrontPlan& plan, int p)
{
    const GridSpec grid = viewGrid();
    page.drawGridFrame(grid);
    // Objects other than views have nothing loaded in the view query: leave the grid empty.
    if (!plan.viewRecords)
        return;
    const ResultSet& views = d.views;
    requireLoaded(views);
    const int Q = viewPitch;
    page.SetFontSize(10);
    // A continuation page repeats the first record above the lines it carries on.
    const int records = p == 1 ? int(views.rows.size()) : std::min<int>(1, views.rows.size());
    for (int r = 0; r < records; ++r) {
        const int band = 8 + r;
        page.drawGridRecord(grid, band, views, r);
        if (r == 0) {
            const FrontPage& part = plan.pages.at(p - 1);
            if (part.lines > 0) {
                page.SetFontSize(9);
                for (int i = 1; i <= part.lines; ++i)
                    page.textAt(50, viewLineY(Q, band, i), plan.viewLines.at(part.firstLine + i - 1));
            }
            continue;
        }
        // Views have one row; any further row keeps to page 1.
        const QStringList lines = splitTextLines(fieldText(views, r, QStringLiteral("TEXT")));
        if (!lines.isEmpty()) {
            page.SetFontSize(9);
            for (int i = 1; i <= lines.size(); ++i)
                page.textAt(50, viewLineY(Q, band, i), lines.at(i - 1));
        }
    }
}

} // namespace

QString firstPageErrorText()
{
    return QStringLiteral("ページイメージ1作成エラー\n\r再起動して下さい。\n\r"
                          "不明の場合ＯＲＡＣＬＥ管理者に確認して下さい。");
}

QString pageErrorText(int page)
{
    return QStringLiteral("ページイメージ") + QString::number(page) + QStringLiteral("作成エラー。");
}

PageResult DrawFrontPage(ICanvas& canvas, int resolution, int p, const DocumentData& d)
{
    const QString warning = p == 1 ? firstPageErrorText() : pageErrorText(p);
    try {
        const FrontPlan plan = planFrontPages(d);
        if (p < 1 || p > plan.pages.size())
            throw std::out_of_range("no such page");
        PageContext page(canvas, resolution);
        page.usePageFace();
        page.SetPenWidth(1);
        const int Q = page.pitchAt(9);
        page.setRowPitch(page.pitchAt(10));
        page.DrawPageHeader(p == 1 ? QStringLiteral("データベース定義ファイル１")
                                   : QStringLiteral("データベース定義ファイル") + QString::number(p),
                            d);
        page.SetFontSize(10);
        if (plan.tableLayout)
            drawTableLayout(page, d, plan.pages.at(p - 1));
        else
            drawViewLayout(page, d, Q, plan, p);
    } catch (const std::exception& e) {
        return {false, warning, QString::fromUtf8(e.what())};
    } catch (...) {
        return {false, warning, QString()};
    }
    return {};
}

PageResult DrawFirstPage(ICanvas& canvas, int resolution, const DocumentData& d)
{
    return DrawFrontPage(canvas, resolution, 1, d);
}

} // namespace morvane::document
