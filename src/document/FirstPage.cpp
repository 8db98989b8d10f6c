#include "document/PageGeometry.h"
#include "document/PageRoutines.h"
#include "document/Rounding.h"

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

void drawTableLayout(PageContext& page, const DocumentData& d)
{
    const auto& counts = d.rowCounts;
    const int n1 = counts[SlotTables];
    const int n2 = counts[SlotIndexes];
    const int n3 = counts[SlotIndCols];
    page.drawGrid(storageGrid(n1), d.tables);
    const int h2 = n1 + 9;
    page.drawGrid(indexGrid(h2, n2), d.indexes);
    const int h3 = h2 + n2 + 5;
    page.drawGrid(indexColumnGrid(h3, n3), d.indCols);
}

void drawViewLayout(PageContext& page, const DocumentData& d, int viewPitch, bool withRecords)
{
    const GridSpec grid = viewGrid();
    page.drawGridFrame(grid);
    // Objects other than views have nothing loaded in the view query: leave the grid empty.
    if (!withRecords)
        return;
    const ResultSet& views = d.views;
    requireLoaded(views);
    const int Q = viewPitch;
    page.SetFontSize(10);
    for (int r = 0; r < views.rows.size(); ++r) {
        const int band = 8 + r;
        page.drawGridRecord(grid, band, views, r);
        const QStringList lines = splitTextLines(fieldText(views, r, QStringLiteral("TEXT")));
        if (!lines.isEmpty()) {
            page.SetFontSize(9);
            for (int i = 1; i <= lines.size(); ++i) {
                const int y = static_cast<int>(roundHalfEven(Q * i * 0.8 + (band + 1) * Q));
                page.textAt(50, y, lines.at(i - 1));
            }
        }
    }
}

} // namespace

QString firstPageErrorText()
{
    return QStringLiteral("ページイメージ1作成エラー\n\r再起動して下さい。\n\r"
                          "不明の場合ＯＲＡＣＬＥ管理者に確認して下さい。");
}

PageResult DrawFirstPage(ICanvas& canvas, int resolution, const DocumentData& d)
{
    try {
        PageContext page(canvas, resolution);
        page.usePageFace();
        page.SetPenWidth(1);
        const int Q = page.pitchAt(9);
        page.setRowPitch(page.pitchAt(10));
        page.DrawPageHeader(QStringLiteral("データベース定義ファイル１"), d);

        const QString table = QStringLiteral("TABLE");
        const QString view = QStringLiteral("VIEW");
        page.SetFontSize(10);
        if (d.tableType == table || d.synonymTargetType == table)
            drawTableLayout(page, d);
        else
            drawViewLayout(page, d, Q, d.tableType == view || d.synonymTargetType == view);
    } catch (const std::exception& e) {
        return {false, firstPageErrorText(), QString::fromUtf8(e.what())};
    } catch (...) {
        return {false, firstPageErrorText(), QString()};
    }
    return {};
}

} // namespace morvane::document
