#pragma once
// What every caller of the page routines does around a page: the busy
// cursor while it draws, the page's warning box when it fails.
#include "document/Canvas.h"
#include "document/DocumentData.h"
#include "document/PageRoutines.h"

namespace morvane::output {

// Busy cursor while the page draws; a failed page shows its warning box.
// False when the page failed.
bool drawPageReporting(document::ICanvas& canvas, int resolution, int page,
                       const document::DocumentData& data);

// The print job's title: "DataBase仕様書( " + name + " )".
QString documentTitle(const QString& tableName);

} // namespace morvane::output
