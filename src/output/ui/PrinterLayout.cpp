#include "output/ui/PrinterLayout.h"
#include <QPrinter>
#include <QPrinterInfo>
#include <memory>

namespace morvane::output {

QPageLayout documentPageLayout()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    // Without an installed printer QPrinter silently turns into a PDF printer;
    // take that one's printable area on purpose instead.
    std::unique_ptr<QPrinter> printer = info.isNull()
                                            ? std::make_unique<QPrinter>(QPrinter::HighResolution)
                                            : std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    if (info.isNull())
        printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setPageSize(QPageSize(QPageSize::A4));
    printer->setPageOrientation(QPageLayout::Portrait);
    return printer->pageLayout();
}
} // namespace morvane::output
