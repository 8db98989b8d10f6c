#pragma once
// The two page routines of the printed table document. Each draws one page
// from nothing on the canvas at the resolution (dots per inch) it is given,
// from the queries the dictionary load left open. Errors end the page with a
// warning box; the caller is not told.
#include "app/AppState.h"
#include "document/Canvas.h"

namespace morvane::document {

// Page 1: storage figures, indexes and index columns of a table, or the view grid and text.
void DrawFirstPage(ICanvas& canvas, int resolution, const Session& session);
// Column page n (1-based), document page n + 1.
void DrawColumnPage(ICanvas& canvas, int resolution, int n, const Session& session);

// The warning texts of a failed page.
QString firstPageErrorText();
QString columnPageErrorText(int n);

} // namespace morvane::document
