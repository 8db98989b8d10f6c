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
#include <cstring>
#include <libdeflate.h>
#include <memory>

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
// Big-endian figures and chunks of the PNG format.
void putBig32(QByteArray& out, quint32 v)
{
    const char bytes[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    out.append(bytes, 4);
}

void putChunk(QByteArray& out, const char* type, const char* data, qsizetype size)
{
    putBig32(out, quint32(size));
    const qsizetype from = out.size();
    out.append(type, 4);
    out.append(data, size);
    putBig32(out, libdeflate_crc32(0, out.constData() + from, size_t(out.size() - from)));
}

struct CompressorFree {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

// A grey page as PNG, every row unfiltered, the image data deflated in one
// piece. libdeflate's third level takes a third less time than zlib's and
// gives smaller files; a page's long white runs need nothing more.
bool writeGreyPng(const QImage& grey, QIODevice* device)
{
    thread_local std::unique_ptr<libdeflate_compressor, CompressorFree> compressor(
        libdeflate_alloc_compressor(3));
    if (!compressor)
        return false;
    const qsizetype width = grey.width(), height = grey.height();
    QByteArray rows(qsizetype(width + 1) * height, Qt::Uninitialized);
    for (qsizetype y = 0; y < height; ++y) {
        char* row = rows.data() + y * (width + 1);
        row[0] = 0; // no filter
        std::memcpy(row + 1, grey.constScanLine(int(y)), size_t(width));
    }
    // Pages shrink twentyfold; room for a quarter is tried before the worst case.
    QByteArray packed(rows.size() / 4 + 1024, Qt::Uninitialized);
    size_t packedSize = libdeflate_zlib_compress(compressor.get(), rows.constData(), size_t(rows.size()),
                                                 packed.data(), size_t(packed.size()));
    if (packedSize == 0) {
        packed.resize(qsizetype(libdeflate_zlib_compress_bound(compressor.get(), size_t(rows.size()))));
        packedSize = libdeflate_zlib_compress(compressor.get(), rows.constData(), size_t(rows.size()),
                                              packed.data(), size_t(packed.size()));
        if (packedSize == 0)
            return false;
    }
    rows.clear();

    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray header;
    putBig32(header, quint32(width));
    putBig32(header, quint32(height));
    header.append("\x08\x00\x00\x00\x00", 5); // 8-bit grey, deflate, no filter method, no interlace
    putChunk(png, "IHDR", header.constData(), header.size());
    if (grey.dotsPerMeterX() > 0 && grey.dotsPerMeterY() > 0) {
        QByteArray phys;
        putBig32(phys, quint32(grey.dotsPerMeterX()));
        putBig32(phys, quint32(grey.dotsPerMeterY()));
        phys.append('\x01'); // per metre
        putChunk(png, "pHYs", phys.constData(), phys.size());
    }
    putChunk(png, "IDAT", packed.constData(), qsizetype(packedSize));
    putChunk(png, "IEND", nullptr, 0);
    return device->write(png) == png.size();
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
