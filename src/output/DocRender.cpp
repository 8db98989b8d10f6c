#include "output/DocRender.h"
#include "document/PageRoutines.h"
#include "document/QPainterCanvas.h"
#include "document/Rounding.h"
#include "document/Fonts.h"
#include "output/PdfToUnicode.h"
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

namespace {
// Draws on the page canvas and keeps each text with its face, in order, so
// that characters the PDF writer does not map back can be added afterwards.
class TextKeepingCanvas : public document::ICanvas {
public:
    explicit TextKeepingCanvas(document::ICanvas& inner) : m_inner(inner) {}
    void setFontFace(const QFont& face) override
    {
        const int height = m_font.pixelSize();
        m_font = face;
        if (height > 0)
            m_font.setPixelSize(height);
        m_inner.setFontFace(face);
    }
    void setFontHeight(int pixels) override
    {
        m_font.setPixelSize(pixels > 0 ? pixels : 1);
        m_inner.setFontHeight(pixels);
    }
    void setFontColor(const QColor& color) override { m_inner.setFontColor(color); }
    int textWidth(const QString& text) override { return m_inner.textWidth(text); }
    void textOut(int x, int y, const QString& text) override
    {
        if (!text.isEmpty())
            drawn.push_back({m_font, text});
        m_inner.textOut(x, y, text);
    }
    void line(int x1, int y1, int x2, int y2) override { m_inner.line(x1, y1, x2, y2); }
    void rectangle(int x1, int y1, int x2, int y2) override { m_inner.rectangle(x1, y1, x2, y2); }
    void setPenColor(const QColor& color) override { m_inner.setPenColor(color); }
    void setPenWidth(int pixels) override { m_inner.setPenWidth(pixels); }
    void setBrushColor(const QColor& color) override { m_inner.setBrushColor(color); }

    QVector<DrawnText> drawn;

private:
    document::ICanvas& m_inner;
    QFont m_font = document::minchoFont(13);
};
} // namespace

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
    document::QPainterCanvas pageCanvas(painter);
    TextKeepingCanvas canvas(pageCanvas);
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
    if (!painter.end() || QFileInfo(path).size() <= 0 || !completeToUnicode(path, canvas.drawn)) {
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
