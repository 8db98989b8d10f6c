#include "output/DocRender.h"
#include "document/PageRoutines.h"
#include "document/QPainterCanvas.h"
#include "document/Rounding.h"
#include "document/Fonts.h"
#include "output/PageOutput.h"
#include "output/PdfToUnicode.h"
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>

namespace morvane::output {

using document::roundHalfEven;

QPageLayout pdfPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Point);
}

bool writeDocumentPdf(const document::DocumentData& data, const QString& path,
                      const QPageLayout& layout, int resolution, QString* error,
                      const PageFailureSink& pageFailed)
{
    // Opened here, so that the system's reason reaches the caller.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    QPdfWriter writer(&file);
    writer.setPageLayout(layout);
    writer.setResolution(resolution);   // before the painter begins, or it is ignored
    writer.setTitle(documentTitle(data.tableName));
    writer.setCreator(QStringLiteral("Morvane"));
    QPainter painter;
    if (!painter.begin(&writer)) {
        if (error)
            *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    document::QPainterCanvas pageCanvas(painter);
    TextKeepingCanvas canvas(pageCanvas);
    const int pages = document::documentPageCount(data);
    for (int p = 1; p <= pages; ++p) {
        if (p > 1 && !writer.newPage()) {
            painter.end();
            if (error)
                *error = QStringLiteral("cannot start page %1 of %2").arg(p).arg(path);
            return false;
        }
        const document::PageResult r = document::drawDocumentPage(canvas, writer.logicalDpiY(), p, data);
        if (!r.ok && pageFailed)
            pageFailed(p, r);
    }
    painter.end();
    file.close();
    if (file.error() != QFileDevice::NoError || QFileInfo(path).size() <= 0) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    if (canvas.beyondBmp() && !completeToUnicode(path, canvas.drawn())) {
        if (error)
            *error = QStringLiteral("cannot complete the text map of %1").arg(path);
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

QImage renderPageImage(const document::DocumentData& data, int page, int dpi,
                       const QPageLayout& layout, document::PageResult* result)
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
    const document::PageResult r = document::drawDocumentPage(canvas, dpi, page, data);
    painter.end();
    if (result)
        *result = r;
    return image;
}

QImage pngImage(const QImage& page)
{
    // Pages are black, white and greys: one byte a pixel holds them exactly
    // and encodes several times faster than four.
    if (!page.allGray())
        return page;
    QImage grey(page.size(), QImage::Format_Grayscale8);
    grey.setDotsPerMeterX(page.dotsPerMeterX());
    grey.setDotsPerMeterY(page.dotsPerMeterY());
    for (int y = 0; y < page.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(page.constScanLine(y));
        uchar* out = grey.scanLine(y);
        for (int x = 0; x < page.width(); ++x)
            out[x] = static_cast<uchar>(qRed(in[x]));
    }
    return grey;
}

bool writeDocumentPng(const document::DocumentData& data, const std::function<QString(int)>& pathForPage,
                      const QPageLayout& layout, int dpi, QString* error,
                      const PageFailureSink& pageFailed)
{
    const int pages = document::documentPageCount(data);
    for (int p = 1; p <= pages; ++p) {
        const QString path = pathForPage(p);
        document::PageResult r;
        const QImage image = renderPageImage(data, p, dpi, layout, &r);
        if (!r.ok && pageFailed)
            pageFailed(p, r);
        // Opened here, so that the system's reason reaches the caller.
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            if (error)
                *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
            return false;
        }
        if (!pngImage(image).save(&file, "PNG") || !file.flush()) {
            if (error)
                *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
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
