#include "output/PageOutput.h"
#include "core/Platform.h"

namespace morvane::output {

bool drawPageReporting(document::ICanvas& canvas, int resolution, int page,
                       const document::DocumentData& data)
{
    platform::setBusyCursor();
    const document::PageResult result = document::drawDocumentPage(canvas, resolution, page, data);
    platform::setNormalCursor();
    if (!result.ok) {
        if (!result.cause.isEmpty())
            qWarning("Morvane: %s: %s", qPrintable(result.warning.section(QLatin1Char('\n'), 0, 0)),
                     qPrintable(result.cause));
        platform::warning(result.warning);
    }
    return result.ok;
}

QString documentTitle(const QString& tableName)
{
    return QStringLiteral("DataBase仕様書( ") + tableName + QStringLiteral(" )");
}

} // namespace morvane::output
