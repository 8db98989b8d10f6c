#pragma once
// Writes the printed table document of the loaded object to files: one PDF
// for the whole document, or one PNG a page showing the sheet as the preview
// does. Both draw with the page routines on a QPainter canvas.
#include "document/Canvas.h"
#include "document/DocumentData.h"
#include "document/PageRoutines.h"
#include <QImage>
#include <QPageLayout>
#include <QString>
#include <functional>

class QIODevice;

namespace morvane::output {

// A4 portrait with Qt's default 10-point margins: the sheet of a PDF
// printer, for when no printer tells its own printable area.
QPageLayout pdfPageLayout();

// A failed page stops nothing: the rest is written, and its report goes here.
using PageFailureSink = std::function<void(int page, const document::PageResult& result)>;

// The whole document as one PDF at the given resolution; false and a reason
// when the file cannot be written.
bool writeDocumentPdf(const document::DocumentData& data, const QString& path, const QPageLayout& layout,
                      int resolution, QString* error, const PageFailureSink& pageFailed = {});

// One page as a picture of the sheet at dpi, the page drawn at the printable
// area's offset and clipped to it.
QImage renderPageImage(const document::DocumentData& data, int page, int dpi, const QPageLayout& layout,
                       document::PageResult* result = nullptr);
// The picture a PNG stores: 8-bit grey when the page holds only greys (the
// same pixels), else the page as it is.
QImage pngImage(const QImage& page);
// The page as a PNG file of that picture; false when the device refuses.
bool savePng(const QImage& page, QIODevice* device);
// Every page as a PNG, pathForPage(p) naming the file of page p.
bool writeDocumentPng(const document::DocumentData& data, const std::function<QString(int)>& pathForPage,
                      const QPageLayout& layout, int dpi, QString* error,
                      const PageFailureSink& pageFailed = {});

// Creates dir and the folders above it; false with "path: the system's reason".
bool makeFolder(const QString& dir, QString* reason);
// Empty when a new file can be made in folder, else "folder: the system's reason".
QString folderRefusal(const QString& folder);

// Characters that a file name cannot hold become "_".
QString fileNameSafe(const QString& name);

} // namespace morvane::output
