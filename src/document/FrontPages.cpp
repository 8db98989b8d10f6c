#include "document/FrontPages.h"
#include "core/PageRows.h"
#include "document/Fonts.h"
#include "document/PageGeometry.h"
#include "document/Rounding.h"
#include <QFontMetricsF>
#include <QHash>
#include <cmath>

namespace morvane::document {

namespace {

constexpr int kRowPitch = 45;
constexpr int kViewLinePitch = 42;
// The first page's view text starts below the record in band 8.
constexpr int kViewRecordBand = 8;

int loadedRows(const ResultSet& rows) { return rows.columns.isEmpty() ? 0 : int(rows.rows.size()); }

// Record bands that fit below the label band of a grid headed at row h.
int bandsFitting(int h) { return kLastPageRow - h - 2; }

// Places one grid from heading row h on, over as many pages as it needs.
// Bands past the last record are empty: those that do not fit are left off
// rather than carried to a page of their own.
void flowGrid(FrontPlan& plan, int& h, FrontGrid grid, int total, int filled)
{
    int from = 0;
    for (;;) {
        if (bandsFitting(h) < 1) {
            plan.pages.push_back({});
            h = 6;
        }
        const int fit = bandsFitting(h);
        const int remaining = std::max(total - from, 0);
        const int recordsLeft = std::max(filled - from, 0);
        if (remaining <= fit || recordsLeft <= fit) {
            const int shown = std::min(remaining, fit);
            plan.pages.last().grids.push_back({grid, h, from, shown});
            h += shown + 3; // the label band, the bottom rule and one empty band
            return;
        }
        plan.pages.last().grids.push_back({grid, h, from, fit});
        from += fit;
        plan.pages.push_back({});
        h = 6;
    }
}

void planTable(FrontPlan& plan, const DocumentData& d)
{
    const int n1 = d.rowCounts[SlotTables];
    plan.pages.last().grids.push_back({FrontGrid::Storage, 6, 0, n1});
    int h = n1 + 9;
    // The counts size the grids; rows beyond the count and its two empty bands get bands of their own.
    const int rows2 = loadedRows(d.indexes);
    flowGrid(plan, h, FrontGrid::Indexes, std::max(d.rowCounts[SlotIndexes] + 2, rows2), rows2);
    const int rows3 = loadedRows(d.indCols);
    flowGrid(plan, h, FrontGrid::IndexColumns, std::max(d.rowCounts[SlotIndCols] + 2, rows3), rows3);
}

void planView(FrontPlan& plan, const DocumentData& d)
{
    if (!plan.viewRecords || loadedRows(d.views) == 0)
        return;
    try {
        plan.viewLines = viewTextLines(fieldText(d.views, 0, QStringLiteral("TEXT")));
    } catch (const std::exception&) {
        return; // drawing the page reports the missing field
    }
    const int perPage = viewLinesPerPage();
    const int total = plan.viewLines.size();
    for (int first = 0; first < total; first += perPage) {
        if (first > 0)
            plan.pages.push_back({});
        plan.pages.last().firstLine = first;
        plan.pages.last().lines = std::min(perPage, total - first);
    }
}

// Width in page units of one character at 9 points, measured once on a large
// face so that every device wraps at the same place.
double advanceAt9Points(char32_t c)
{
    static QHash<char32_t, double> known;
    const auto it = known.constFind(c);
    if (it != known.constEnd())
        return it.value();
    constexpr int kReferencePixels = 508; // 9 points are 31.75 page units: 1/16 of it
    const QFontMetricsF fm(minchoFont(kReferencePixels));
    const QString text = c == U'\t' ? QStringLiteral("    ") : QString::fromUcs4(&c, 1);
    const double w = fm.horizontalAdvance(text) * (9 * 254.0 / 72.0) / kReferencePixels;
    known.insert(c, w);
    return w;
}

} // namespace

int viewLinesPerPage()
{
    const int bottom = kLastPageRow * kRowPitch;
    const int lineHeight = static_cast<int>(std::ceil(kViewLinePitch * 0.8));
    int n = 0;
    while (roundHalfEven(kViewLinePitch * (n + 1) * 0.8 + (kViewRecordBand + 1) * kViewLinePitch) + lineHeight
           <= bottom)
        ++n;
    return n;
}

QStringList wrapLine(const QString& line, double width, const std::function<double(char32_t)>& advance)
{
    QStringList out;
    int start = 0;
    double used = 0;
    int blankEnd = -1; // just after the last blank of the piece
    double usedAtBlank = 0;
    int i = 0;
    while (i < line.size()) {
        char32_t c = line.at(i).unicode();
        int len = 1;
        if (line.at(i).isHighSurrogate() && i + 1 < line.size() && line.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(line.at(i), line.at(i + 1));
            len = 2;
        }
        const double w = advance(c);
        if (used + w > width && i > start) {
            if (blankEnd > start && usedAtBlank * 2 >= width) {
                out << line.mid(start, blankEnd - start);
                used -= usedAtBlank;
                start = blankEnd;
            } else {
                out << line.mid(start, i - start);
                used = 0;
                start = i;
            }
            blankEnd = -1;
            continue; // the same character against the new line
        }
        used += w;
        i += len;
        if (c == U' ' || c == U'\t') {
            blankEnd = i;
            usedAtBlank = used;
        }
    }
    out << line.mid(start);
    return out;
}

QStringList viewTextLines(const QString& text, double width)
{
    QStringList out;
    for (const QString& line : splitTextLines(text))
        out << wrapLine(line, width, advanceAt9Points);
    return out;
}

FrontPlan planFrontPages(const DocumentData& d)
{
    const QString table = QStringLiteral("TABLE");
    const QString view = QStringLiteral("VIEW");
    FrontPlan plan;
    plan.tableLayout = d.tableType == table || d.synonymTargetType == table;
    plan.viewRecords = !plan.tableLayout && (d.tableType == view || d.synonymTargetType == view);
    plan.pages.push_back({});
    if (plan.tableLayout)
        planTable(plan, d);
    else
        planView(plan, d);
    return plan;
}

int frontPageCount(const DocumentData& data) { return int(planFrontPages(data).pages.size()); }

} // namespace morvane::document
