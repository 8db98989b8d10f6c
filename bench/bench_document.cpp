// Page drawing cost: a full column page and a first page with 20 indexes,
// to PDF at 600 dpi and on the recording canvas.
#include "Bench.h"
#include "core/AppState.h"
#include "database/Query.h"
#include "document/PageRoutines.h"
#include "document/QPainterCanvas.h"
#include "document/RecordingCanvas.h"
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <memory>

using namespace morvane;

namespace {

struct BenchSession {
    Query tables{"AQ_Tables", SlotTables}, indexes{"AQ_Indexes", SlotIndexes},
        indCols{"AQ_Ind_Cols", SlotIndCols}, views{"AQ_Views", SlotViews},
        tabCols{"AQ_Tab_Cols", SlotTabCols};
    Session s;
    QTemporaryDir dir;

    static ResultSet rows(const QStringList& columns, int n, const std::function<QStringList(int)>& row)
    {
        ResultSet rs;
        for (const auto& c : columns)
            rs.columns.push_back({c, false});
        for (int i = 1; i <= n; ++i) {
            const QStringList r = row(i);
            rs.rows.push_back(QVector<QString>(r.begin(), r.end()));
        }
        return rs;
    }

    BenchSession()
    {
        auto& st = s.state;
        st.QueryTable[SlotTables] = &tables;
        st.QueryTable[SlotIndexes] = &indexes;
        st.QueryTable[SlotIndCols] = &indCols;
        st.QueryTable[SlotViews] = &views;
        st.QueryTable[SlotTabCols] = &tabCols;
        s.settings = AppSettings{};
        s.settings.LAST_OWNER = "SALES";
        s.settings.PRINT_NAME = "山田 太郎";
        s.settings.MaxPageRow = 55;
        st.TableName = "ORDER_LINES";
        st.TableType = "TABLE";
        st.TableComment = "(受注明細)";
        tables.openWith(rows({"TABLESPACE_NAME", "PCT_FREE", "PCT_USED", "INITIAL_EXTENT", "NEXT_EXTENT",
                              "NUM_ROWS", "BLOCKS", "EMPTY_BLOCKS", "AVG_ROW_LEN"},
                             1, [](int) {
                                 return QStringList{"USERS",  "10",  "40", "65536", "1048576",
                                                    "120000", "880", "16", "64"};
                             }));
        indexes.openWith(rows({"OWNER", "INDEX_NAME", "TABLESPACE_NAME", "UNIQUENESS", "PCT_FREE",
                               "INITIAL_EXTENT", "NEXT_EXTENT", "BLEVEL", "LEAF_BLOCKS"},
                              20, [](int i) {
                                  return QStringList{"SALES",   QString("ORDER_LINES_IX%1").arg(i),
                                                     "INDX",    "NONUNIQUE",
                                                     "10",      "65536",
                                                     "1048576", "1",
                                                     "240"};
                              }));
        indCols.openWith(rows({"INDEX_OWNER", "INDEX_NAME", "COLUMN_NAME", "COLUMN_POSITION", "COLUMN_LENGTH",
                               "DATA_PRECISION", "DATA_SCALE"},
                              22, [](int i) {
                                  return QStringList{"SALES",
                                                     QString("ORDER_LINES_IX%1").arg((i + 1) / 2),
                                                     QString("COLUMN_%1").arg(i),
                                                     "1",
                                                     "22",
                                                     "10",
                                                     "0"};
                              }));
        tabCols.openWith(rows({"COLUMN_ID", "COLUMN_NAME", "COMMENTS", "DATA_TYPE", "DATA_LENGTH",
                               "DATA_PRECISION", "DATA_SCALE", "NULLABLE", "DEFAULT_LENGTH"},
                              55, [](int i) {
                                  return QStringList{QString::number(i),
                                                     QString("COLUMN_%1").arg(i),
                                                     QString("受注明細の項目 %1").arg(i),
                                                     "VARCHAR2",
                                                     "200",
                                                     {},
                                                     {},
                                                     "Y",
                                                     {}};
                              }));
        st.RowCounts[SlotTables] = 1;
        st.RowCounts[SlotIndexes] = 20;
        st.RowCounts[SlotIndCols] = 22;
        st.RowCounts[SlotTabCols] = 55;
        st.ColumnPageCount = 1;
        data = document::documentDataFrom(s);
    }
    document::DocumentData data;

    void toPdf(bool firstPage)
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("bench.pdf"));
        printer.setResolution(600);
        QPainter painter(&printer);
        document::QPainterCanvas canvas(painter);
        if (firstPage)
            document::DrawFirstPage(canvas, 600, data);
        else
            document::DrawColumnPage(canvas, 600, 1, data);
    }
};

std::unique_ptr<BenchSession> g;
const int torn = bench::addTeardown([] { g.reset(); });
void setup()
{
    if (!g)
        g = std::make_unique<BenchSession>();
}

int r1 = bench::add({"document column page (55 rows) to PDF 600 dpi", 30, setup, [] { g->toPdf(false); }});
int r2 = bench::add({"document first page (20 indexes) to PDF 600 dpi", 30, setup, [] { g->toPdf(true); }});
// The file and the embedded face cost once a document: ten pages in one file.
int r5 = bench::add({"document 10 column pages in one PDF 600 dpi", 10, setup, [] {
                         QPrinter printer(QPrinter::HighResolution);
                         printer.setOutputFormat(QPrinter::PdfFormat);
                         printer.setOutputFileName(g->dir.filePath("bench10.pdf"));
                         printer.setResolution(600);
                         QPainter painter(&printer);
                         document::QPainterCanvas canvas(painter);
                         for (int i = 0; i < 10; ++i) {
                             if (i > 0)
                                 printer.newPage();
                             document::DrawColumnPage(canvas, 600, 1, g->data);
                         }
                     }});
int r3 = bench::add({"document column page (55 rows) recording canvas", 200, setup, [] {
                         document::RecordingCanvas c;
                         document::DrawColumnPage(c, 600, 1, g->data);
                     }});
int r4 = bench::add({"document first page (20 indexes) recording canvas", 200, setup, [] {
                         document::RecordingCanvas c;
                         document::DrawFirstPage(c, 600, g->data);
                     }});

} // namespace
