#pragma once
// How many rows a page lists and which: the one rule that the dictionary load
// (the column page count it keeps) and the page drawing share.
#include <algorithm>

namespace morvane {

// Rows a column page lists unless the settings say otherwise.
constexpr int kDefaultMaxPageRow = 55;

// Pages are ruled on a raster of rows 45 page units apart. Row 64 (288 mm
// below the top of the printable area) is the lowest a page may draw on: A4
// leaves that much printable on common printers and in the PDF layout.
constexpr int kLastPageRow = 64;
// Column records start in band 8, under the heading (row 6) and the labels.
constexpr int kFirstRecordBand = 8;
// The most records a column page holds: 56, the default 55 and one more.
constexpr int kColumnPageCapacity = kLastPageRow - kFirstRecordBand;

// Records a column page lists with the setting maxPageRow: the default for 0
// or less, never more than the page holds.
inline int columnRowsPerPage(int maxPageRow)
{
    return maxPageRow < 1 ? kDefaultMaxPageRow : std::min(maxPageRow, kColumnPageCapacity);
}

// Column pages for rowCount records; none for 0 or a failed count (-1).
inline int columnPageCount(int rowCount, int maxPageRow)
{
    if (rowCount <= 0)
        return 0;
    const int perPage = columnRowsPerPage(maxPageRow);
    return (rowCount + perPage - 1) / perPage;
}

struct PageRowSpan {
    int first = 1; // number of the first record, from 1
    int count = 0; // records on the page
};

// The records of column page n (from 1); none outside 1 .. columnPageCount.
inline PageRowSpan columnPageRows(int n, int rowCount, int maxPageRow)
{
    const int perPage = columnRowsPerPage(maxPageRow);
    PageRowSpan span;
    span.first = (n - 1) * perPage + 1;
    if (n >= 1 && n <= columnPageCount(rowCount, maxPageRow))
        span.count = std::min(perPage, rowCount - span.first + 1);
    return span;
}

} // namespace morvane
