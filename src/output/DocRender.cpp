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
#include <png.h>

namespace morvane::output {

using document::roundHalfEven;

QPageLayout pdfPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Point);
}

bool writeDocumentPdf(const document::DocumentData& data, const QString& path, const QPageLayout& layout,
                      int resolution, QString* error, const PageFailureSink& pageFailed)
{
    // Drawn in memory first: the text maps are completed before anything
    // reaches the disk, and the file is then written whole or not at all.
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QVector<DrawnText> drawn;
    bool beyondBmp = false;
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(layout);
        writer.setResolution(resolution); // before the painter begins, or it is ignored
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
            pageCanvas.startBlankPage();
            const document::PageResult r = document::drawDocumentPage(canvas, writer.logicalDpiY(), p, data);
            if (!r.ok && pageFailed)
                pageFailed(p, r);
        }
        if (!painter.end()) {
            if (error)
                *error = QStringLiteral("%1: cannot finish the PDF document").arg(path);
            return false;
        }
        beyondBmp = canvas.beyondBmp();
        drawn = canvas.drawn();
    }
    buffer.close();
    // Only characters beyond U+FFFF go missing from the writer's text maps.
    return writeWholeFile(path, beyondBmp ? completeToUnicode(pdf, drawn) : pdf, error);
}

namespace {
// Millimetres, since the point sizes of the paper sizes are rounded to whole points.
int mmToPixels(double mm, int dpi) { return static_cast<int>(roundHalfEven(mm * dpi / 25.4)); }
} // namespace

QImage renderPageImage(const document::DocumentData& data, int page, int dpi, const QPageLayout& layout,
                       document::PageResult* result)
{
    const QRectF sheet = layout.fullRect(QPageLayout::Millimeter);
    const QRectF area = layout.paintRect(QPageLayout::Millimeter);
    QImage image(mmToPixels(sheet.width(), dpi), mmToPixels(sheet.height(), dpi), QImage::Format_RGB32);
    image.fill(Qt::white);
    const int dotsPerMetre = static_cast<int>(roundHalfEven(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    QPainter painter(&image);
    painter.translate(mmToPixels(area.left(), dpi), mmToPixels(area.top(), dpi));
    painter.setClipRect(0, 0, mmToPixels(area.width(), dpi), mmToPixels(area.height(), dpi));
    document::QPainterCanvas canvas(painter);
    canvas.startBlankPage();
    const document::PageResult r = document::drawDocumentPage(canvas, dpi, page, data);
    painter.end();
    if (result)
        *result = r;
    return image;
}

namespace {
// One row's grey levels; non-zero when a pixel of it is not an opaque grey.
// The check runs over the whole row at once, with no branch per pixel; the
// bulk of the row, a multiple of 16 pixels, is vectorised at -O2.
inline QRgb greyPixels(const QRgb* __restrict in, uchar* __restrict out, int count)
{
    QRgb differs = 0;
    for (int x = 0; x < count; ++x) {
        const QRgb level = in[x] & 0xffu;
        differs |= in[x] ^ (0xff000000u | level * 0x010101u);
        out[x] = static_cast<uchar>(level);
    }
    return differs;
}

QRgb greyRow(const QRgb* in, uchar* out, int width)
{
    const int bulk = width & ~15;
    return greyPixels(in, out, bulk) | greyPixels(in + bulk, out + bulk, width - bulk);
}
} // namespace

QImage pngImage(const QImage& page)
{
    // Pages are black, white and greys: one byte a pixel holds them exactly
    // and encodes several times faster than four.
    if (page.format() != QImage::Format_RGB32 && page.format() != QImage::Format_ARGB32)
        return page;
    QImage grey(page.size(), QImage::Format_Grayscale8);
    grey.setDotsPerMeterX(page.dotsPerMeterX());
    grey.setDotsPerMeterY(page.dotsPerMeterY());
    const int width = page.width();
    for (int y = 0; y < page.height(); ++y) {
        // A grey pixel is opaque with three equal channels.
        if (greyRow(reinterpret_cast<const QRgb*>(page.constScanLine(y)), grey.scanLine(y), width) != 0)
            return page;
    }
    return grey;
}

namespace {
struct PngSink {
    QIODevice* device;
    bool failed = false;
};

void pngWrite(png_structp png, png_bytep data, size_t size)
{
    auto* sink = static_cast<PngSink*>(png_get_io_ptr(png));
    if (!sink->failed
        && sink->device->write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        sink->failed = true;
}
void pngFlush(png_structp) { }
void pngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void pngWarning(png_structp, png_const_charp) { }

// A grey page as PNG with every row stored unfiltered. Qt leaves libpng to
// try all five filters on every row of a grey image, which costs more than
// the compression itself and saves little on pages that are mostly white.
bool writeGreyPng(const QImage& grey, QIODevice* device)
{
    PngSink sink{device};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, pngWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_set_write_fn(png, &sink, pngWrite, pngFlush);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    // zlib's fast levels: a page's long white runs compress well without the
    // lazy matching of the default level, which took a third more time for a
    // fifth fewer bytes.
    png_set_compression_level(png, 3);
    png_set_IHDR(png, info, png_uint_32(grey.width()), png_uint_32(grey.height()), 8, PNG_COLOR_TYPE_GRAY,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    if (grey.dotsPerMeterX() > 0 && grey.dotsPerMeterY() > 0)
        png_set_pHYs(png, info, png_uint_32(grey.dotsPerMeterX()), png_uint_32(grey.dotsPerMeterY()),
                     PNG_RESOLUTION_METER);
    png_write_info(png, info);
    for (int y = 0; y < grey.height(); ++y)
        png_write_row(png, grey.constScanLine(y));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return !sink.failed;
}
} // namespace

bool savePng(const QImage& page, QIODevice* device)
{
    const QImage stored = pngImage(page);
    return stored.format() == QImage::Format_Grayscale8 ? writeGreyPng(stored, device)
                                                        : stored.save(device, "PNG");
}

bool writeDocumentPng(const document::DocumentData& data, const std::function<QString(int)>& pathForPage,
                      const QPageLayout& layout, int dpi, QString* error, const PageFailureSink& pageFailed)
{
    const int pages = document::documentPageCount(data);
    for (int p = 1; p <= pages; ++p) {
        const QString path = pathForPage(p);
        document::PageResult r;
        const QImage image = renderPageImage(data, p, dpi, layout, &r);
        if (!r.ok && pageFailed)
            pageFailed(p, r);
        WholeFile file(path);
        if (!file.open() || !savePng(image, &file) || !file.commit()) {
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
