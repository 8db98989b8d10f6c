#include "document/PageRoutines.h"
#include "core/PageRows.h"
#include "document/FrontPages.h"
#include <algorithm>

namespace morvane::document {

QString PageResult::message() const
{
    if (ok)
        return QString();
    return cause.isEmpty() ? warning : warning + QStringLiteral("\n\r") + cause;
}

PageResult drawDocumentPage(ICanvas& canvas, int resolution, int page, const DocumentData& data)
{
    const int front = frontPageCount(data);
    return page <= front ? DrawFrontPage(canvas, resolution, std::max(page, 1), data)
                         : DrawColumnPage(canvas, resolution, page - front, data);
}

int documentPageCount(const DocumentData& data)
{
    return frontPageCount(data) + columnPageCount(data.rowCounts[SlotTabCols], data.maxPageRow);
}

} // namespace morvane::document
