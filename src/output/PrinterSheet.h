#pragma once
// The sheet of the default printer as the documents are laid out on it,
// found without the windowing toolkit's printing module, so that headless
// tools need no widgets.
#include <QByteArray>
#include <QMarginsF>
#include <QPageLayout>
#include <optional>

namespace morvane::output {

// A4 portrait with the printable area of the default printer, or the PDF
// sheet (pdfPageLayout()) when no printer is installed.
QPageLayout documentPageLayout();

// A4's unprintable margins in points as a PPD declares them (left, top,
// right, bottom), from its ImageableArea and PaperDimension; none when the
// PPD does not describe A4.
std::optional<QMarginsF> ppdA4Margins(const QByteArray& ppd);

// The printer's sheet: Qt's default margins of 10 points, widened where the
// printer cannot print that close to the edge.
QPageLayout sheetWithMinimumMargins(const QMarginsF& minimum);

} // namespace morvane::output
