#pragma once
// Page 1 and the pages that continue it: which grid bands and which view text
// lines each of them holds. What fits on page 1 stays where it always was;
// the rest goes on continuation pages that repeat the section's heading and
// labels, before the column pages.
#include "document/DocumentData.h"
#include <QStringList>
#include <QVector>
#include <functional>

namespace morvane::document {

enum class FrontGrid { Storage, Indexes, IndexColumns };

// The part of one grid on one page.
struct GridPart {
    FrontGrid grid = FrontGrid::Storage;
    int headingRow = 6;
    int firstBand = 0; // first record band of the grid shown here, from 0
    int bands = 0;     // record bands shown here (records and empty ones)
};

struct FrontPage {
    QVector<GridPart> grids; // table layout
    int firstLine = 0;       // view layout: the text lines shown here
    int lines = 0;
};

struct FrontPlan {
    bool tableLayout = false;
    bool viewRecords = false; // a view whose rows were loaded
    QStringList viewLines;    // the first view's text, split and wrapped
    QVector<FrontPage> pages; // at least one
};

FrontPlan planFrontPages(const DocumentData& data);
// Page 1 and its continuation pages.
int frontPageCount(const DocumentData& data);

// View text lines that fit below the view grid on one page.
int viewLinesPerPage();

// Widest view text line, in page units: from x = 50 to the rightmost rule.
constexpr double kViewTextWidth = 1900.0;

// The lines of a view text: split at line breaks, then each line wider than
// width page units (at 9 points) broken onto further lines, after a blank when
// one stands in its second half. No character is dropped.
QStringList viewTextLines(const QString& text, double width = kViewTextWidth);
// The same for a given measure of one character's width in page units.
QStringList wrapLine(const QString& line, double width, const std::function<double(char32_t)>& advance);

} // namespace morvane::document
