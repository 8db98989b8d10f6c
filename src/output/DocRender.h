#pragma once
// Writes the printed table document of the loaded object to files: one PDF
// for the whole document, or one PNG a page showing the sheet as the preview
// does. Both draw with the page routines on a QPainter canvas.
#include "app/AppState.h"
#include "document/Canvas.h"
#include <QImage>
#include <QPageLayout>
#include <QString>
#include <functional>

namespace morvane::output {

// A4 portrait with the printable area of the default printer, or of the
// PDF printer when no printer is installed.
QPageLayout documentPageLayout();

// Page 1 and the column pages.
int documentPageCount(const Session& session);
// Page 1 is the first page; page p > 1 is column page p - 1.
void drawDocumentPage(document::ICanvas& canvas, int resolution, int page, const Session& session);
// The print job's title: "DataBase仕様書( " + name + " )".
QString documentTitle(const Session& session);

// The whole document as one PDF at the given resolution; false and a reason on failure.
bool writeDocumentPdf(const Session& session, const QString& path, const QPageLayout& layout,
                      int resolution, QString* error);

// One page as a picture of the sheet at dpi, the page drawn at the printable
// area's offset and clipped to it.
QImage renderPageImage(const Session& session, int page, int dpi, const QPageLayout& layout);
// Every page as a PNG, pathForPage(p) naming the file of page p.
bool writeDocumentPng(const Session& session, const std::function<QString(int)>& pathForPage,
                      const QPageLayout& layout, int dpi, QString* error);

// Characters that a file name cannot hold become "_".
QString fileNameSafe(const QString& name);

} // namespace morvane::output
