#include "output/DocRender.h"
#include "document/PageRoutines.h"
#include "document/QPainterCanvas.h"
#include "document/Rounding.h"
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace morvane::output {

using document::roundHalfEven;

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

int documentPageCount(const Session& session)
{
    return 1 + std::max(session.state.ColumnPageCount, 0);
}

void drawDocumentPage(document::ICanvas& canvas, int resolution, int page, const Session& session)
{
    if (page <= 1)
        document::DrawFirstPage(canvas, resolution, session);
    else
        document::DrawColumnPage(canvas, resolution, page - 1, session);
}

QString documentTitle(const Session& session)
{
    return QStringLiteral("DataBase仕様書( ") + session.state.TableName + QStringLiteral(" )");
}

bool writeDocumentPdf(const Session& session, const QString& path, const QPageLayout& layout,
                      int resolution, QString* error)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageLayout(layout);
    printer.setResolution(resolution);   // before begin(), or it is ignored
    printer.setDocName(documentTitle(session));
    printer.setCreator(QStringLiteral("Morvane"));
    QPainter painter;
    if (!painter.begin(&printer)) {
        if (error)
            *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    document::QPainterCanvas canvas(painter);
    const int pages = documentPageCount(session);
    for (int p = 1; p <= pages; ++p) {
        if (p > 1 && !printer.newPage()) {
            painter.end();
            if (error)
                *error = QStringLiteral("cannot start page %1 of %2").arg(p).arg(path);
            return false;
        }
        drawDocumentPage(canvas, printer.logicalDpiY(), p, session);
    }
    if (!painter.end() || QFileInfo(path).size() <= 0) {
        if (error)
            *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    return true;
}

namespace {
// Millimetres, since the point sizes of the paper sizes are rounded to whole points.
int mmToPixels(double mm, int dpi)
{
    return static_cast<int>(roundHalfEven(mm * dpi / 25.4));
}
} // namespace

QImage renderPageImage(const Session& session, int page, int dpi, const QPageLayout& layout)
{
    const QRectF sheet = layout.fullRect(QPageLayout::Millimeter);
    const QRectF area = layout.paintRect(QPageLayout::Millimeter);
    QImage image(mmToPixels(sheet.width(), dpi), mmToPixels(sheet.height(), dpi),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    const int dotsPerMetre = static_cast<int>(roundHalfEven(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    QPainter painter(&image);
    painter.translate(mmToPixels(area.left(), dpi), mmToPixels(area.top(), dpi));
    painter.setClipRect(0, 0, mmToPixels(area.width(), dpi), mmToPixels(area.height(), dpi));
    document::QPainterCanvas canvas(painter);
    drawDocumentPage(canvas, dpi, page, session);
    painter.end();
    return image;
}

bool writeDocumentPng(const Session& session, const std::function<QString(int)>& pathForPage,
                      const QPageLayout& layout, int dpi, QString* error)
{
    const int pages = documentPageCount(session);
    for (int p = 1; p <= pages; ++p) {
        const QString path = pathForPage(p);
        if (!renderPageImage(session, p, dpi, layout).save(path, "PNG")) {
            if (error)
                *error = QStringLiteral("cannot write %1").arg(path);
            return false;
        }
    }
    return true;
}

QString fileNameSafe(const QString& name)
{
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    QString out;
    out.reserve(name.size());
    for (const QChar c : name)
        out += (c.unicode() < 0x20 || c.unicode() == 0x7f || forbidden.contains(c)) ? QChar('_') : c;
    // "." and ".." name folders, not files.
    if (out == QLatin1String(".") || out == QLatin1String(".."))
        out.fill(QChar('_'));
    return out;
}

} // namespace morvane::output
