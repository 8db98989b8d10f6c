#include "document/PageRoutines.h"

namespace morvane::document {

QString PageResult::message() const
{
    if (ok)
        return QString();
    return cause.isEmpty() ? warning : warning + QStringLiteral("\n\r") + cause;
}

PageResult drawDocumentPage(ICanvas& canvas, int resolution, int page, const DocumentData& data)
{
    return page <= 1 ? DrawFirstPage(canvas, resolution, data)
                     : DrawColumnPage(canvas, resolution, page - 1, data);
}

} // namespace morvane::document
