#include "output/DocRender.h"
#include "core/WholeFile.h"
#include "document/PageRoutines.h"
#include "document/QPainterCanvas.h"
#include "document/Rounding.h"
#include "document/Fonts.h"
#include "output/PageOutput.h"
#include "output/PdfToUnicode.h"
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <cerrno>

namespace morvane::output {

using document::roundHalfEven;

QPageLayout pdfPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Point);
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

bool writeDocumentPdf(const document::DocumentData& data, const QString& path,
                      const QPageLayout& layout, int resolution, QString* error,
                      const PageFailureSink& pageFailed)
{
    // Drawn in memory first: the text maps are completed before anything
    // reaches the disk, and the file is then written whole or not at all.
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QVector<DrawnText> drawn;
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(layout);
        writer.setResolution(resolution);   // before the painter begins, or it is ignored
        writer.setTitle(documentTitle(data.tableName));
        writer.setCreator(QStringLiteral("Morvane"));
        QPainter painter;
        if (!painter.begin(&writer)) {
            if (error)
                *error = QStringLiteral("%1: cannot start the PDF document").arg(path);
            return false;
        }
        document::QPainterCanvas pageCanvas(painter);
        TextKeepingCanvas canvas(pageCanvas);
        const int pages = document::documentPageCount(data);
        for (int p = 1; p <= pages; ++p) {
            if (p > 1 && !writer.newPage()) {
                painter.end();
                if (error)
                    *error = QStringLiteral("%1: cannot start page %2").arg(path).arg(p);
                return false;
            }
            const document::PageResult r = document::drawDocumentPage(canvas, writer.logicalDpiY(), p, data);
            if (!r.ok && pageFailed)
                pageFailed(p, r);
        }
        if (!painter.end()) {
            if (error)
                *error = QStringLiteral("%1: cannot finish the PDF document").arg(path);
            return false;
        }
        drawn = std::move(canvas.drawn);
    }
    buffer.close();
    return writeWholeFile(path, completeToUnicode(pdf, drawn), error);
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
        WholeFile file(path);
        if (!file.open() || !image.save(&file, "PNG") || !file.commit()) {
            if (error)
                *error = file.failed() ? file.errorText()
                                       : QStringLiteral("%1: cannot encode the page as PNG").arg(path);
            return false;
        }
    }
    return true;
}

QString folderRefusal(const QString& folder)
{
    WholeFile probe(QDir(folder).filePath(QStringLiteral(".morvane-probe")));
    if (probe.open()) {
        probe.discard();
        return QString();
    }
    return probe.errorText();
}

bool makeFolder(const QString& dir, QString* reason)
{
    if (QDir().mkpath(dir) && QFileInfo(dir).isDir())
        return true;
    // mkpath keeps its reason to itself: ask the deepest folder that exists.
    QFileInfo at(QDir::cleanPath(QDir(dir).absolutePath()));
    while (!at.exists() && !at.isSymLink() && !at.isRoot())
        at = QFileInfo(at.absolutePath());
    QString why = at.isDir() ? folderRefusal(at.absoluteFilePath())
                             : at.absoluteFilePath() + QStringLiteral(": ") + systemErrorText(ENOTDIR);
    if (why.isEmpty())
        why = dir + QStringLiteral(": ") + systemErrorText(EACCES);
    if (reason)
        *reason = QDir::toNativeSeparators(why);
    return false;
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
