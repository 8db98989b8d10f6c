#pragma once
// The two page routines of the printed table document. Each draws one page
// from nothing on the canvas at the resolution (dots per inch) it is given,
// from the loaded data of one object. They show nothing and set no cursor: a
// page that fails stops where it is and says why to the caller.
#include "document/Canvas.h"
#include "document/DocumentData.h"

namespace morvane::document {

struct PageResult {
    bool ok = true;
    QString warning; // the page's own warning text
    QString cause;   // what went wrong
    // The warning followed by its cause, for a report in one line or box.
    QString message() const;
};

// Page 1: storage figures, indexes and index columns of a table, or the view grid and text.
PageResult DrawFirstPage(ICanvas& canvas, int resolution, const DocumentData& data);
// Page p of page 1 and its continuation pages (frontPageCount of them), which
// carry on the index rows, index-column rows or view text lines that page 1 cannot hold.
PageResult DrawFrontPage(ICanvas& canvas, int resolution, int p, const DocumentData& data);
// Column page n (1-based), document page frontPageCount + n.
PageResult DrawColumnPage(ICanvas& canvas, int resolution, int n, const DocumentData& data);
// Page 1 .. documentPageCount: the front pages, then the column pages.
PageResult drawDocumentPage(ICanvas& canvas, int resolution, int page, const DocumentData& data);

// Page 1 and its continuation pages.
int frontPageCount(const DocumentData& data);

// The warning texts of a failed page: page 1, and any other document page.
QString firstPageErrorText();
QString pageErrorText(int page);

} // namespace morvane::document
