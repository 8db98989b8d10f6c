#include "core/PageRows.h"
#include "document/PageGeometry.h"
#include "document/PageRoutines.h"

namespace morvane::document {

namespace {

constexpr int kCommentX = 400;

GridSpec columnGrid(int n, int recordBands)
{
    return {6,
            QStringLiteral("５．テーブル項目情報 Page") + QString::number(n)
                + QStringLiteral(" (All_Table_Columns)"),
            {50, 130, 390, 1180, 1350, 1470, 1590, 1710, 1830, 1950},
            recordBands + 1,
            recordBands + 1,
            {{QStringLiteral("列順"), QStringLiteral("COLUMN_ID")},
             {QStringLiteral("項 目 名"), QStringLiteral("COLUMN_NAME")},
             // The comment is not centred: the record walk draws it itself.
             {QStringLiteral("項 目 別 名"), QString()},
             {QStringLiteral("ﾃﾞｰﾀ型"), QStringLiteral("DATA_TYPE")},
             {QStringLiteral("ﾃﾞｰﾀ長"), QStringLiteral("DATA_LENGTH")},
             {QStringLiteral("数値長"), QStringLiteral("DATA_PRECISION")},
             {QStringLiteral("小数点"), QStringLiteral("DATA_SCALE")},
             {QStringLiteral("NULL"), QStringLiteral("NULLABLE")},
             {QStringLiteral("標準長"), QStringLiteral("DEFAULT_LENGTH")}}};
}

void drawRecords(PageContext& page, const GridSpec& grid, const ResultSet& columns, int first, int maxRows)
{
    requireLoaded(columns);
    int band = 8;
    for (int row = 0; row < columns.rows.size(); ++row) {
        if (fieldInteger(columns, row, QStringLiteral("COLUMN_ID")) < first)
            continue;
        const int y = page.ToDevice(band * page.RowPitch() + 7);
        const auto& r = grid.rules;
        page.DrawCellText(r[0], r[1], y, fieldText(columns, row, QStringLiteral("COLUMN_ID")));
        page.DrawCellText(r[1], r[2], y, fieldText(columns, row, QStringLiteral("COLUMN_NAME")));
        const QStringList comment = splitTextLines(fieldText(columns, row, QStringLiteral("COMMENTS")));
        if (!comment.isEmpty())
            page.canvas().textOut(page.ToDevice(kCommentX), y, comment.first());
        // Drawn after the comment, so their backgrounds cover a comment that runs on.
        for (int c = 3; c < grid.columns.size(); ++c)
            page.DrawCellText(r[c], r[c + 1], y, fieldText(columns, row, grid.columns[c].field));
        ++band;
        if (band - 8 >= maxRows)
            return;
    }
}

} // namespace

PageResult DrawColumnPage(ICanvas& canvas, int resolution, int n, const DocumentData& d)
{
    // Titles and warnings name the page of the whole document.
    const int documentPage = frontPageCount(d) + n;
    try {
        PageContext page(canvas, resolution);
        page.usePageFace();
        page.EraseArea(0, 0, 1990, 2800);
        page.SetPenWidth(1);
        page.setRowPitch(page.pitchAt(10));
        page.DrawPageHeader(QStringLiteral("データベース定義ファイル") + QString::number(documentPage), d);
        page.SetFontSize(10);

        // The same split as the page count of the dictionary load.
        const PageRowSpan span = columnPageRows(n, d.rowCounts[SlotTabCols], d.maxPageRow);
        const GridSpec grid = columnGrid(n, span.count);
        page.drawGridFrame(grid);
        drawRecords(page, grid, d.tabCols, span.first, columnRowsPerPage(d.maxPageRow));
    } catch (const std::exception& e) {
        return {false, pageErrorText(documentPage), QString::fromUtf8(e.what())};
    } catch (...) {
        return {false, pageErrorText(documentPage), QString()};
    }
    return {};
}

} // namespace morvane::document
