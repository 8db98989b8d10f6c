#include "output/PreviewLayout.h"
#include "document/Rounding.h"

namespace morvane::output {

using document::roundHalfEven;

PreviewLayout previewLayout(const PrinterFigures& f, int screenDpi, int zoomPercent)
{
    PreviewLayout l;
    l.drawResolution = static_cast<int>(document::mulDivHalfAway(screenDpi, zoomPercent, 100));
    if (f.resolution <= 0)
        return l;
    l.scale = double(screenDpi) / double(f.resolution) * zoomPercent / 100.0;
    auto px = [&](int dots) { return static_cast<int>(roundHalfEven(dots * l.scale)); };
    l.sheet = QSize(px(f.sheet.width()), px(f.sheet.height()));
    l.area = QRect(px(f.offset.x()), px(f.offset.y()), px(f.page.width()), px(f.page.height()));
    return l;
}

} // namespace morvane::output
