#include "output/OwnerDocument.h"
#include "core/WholeFile.h"
#include "document/PageRoutines.h"
#include "document/QPainterCanvas.h"
#include "output/PageOutput.h"
#include "output/PdfNavigation.h"
#include "output/PdfToUnicode.h"
#include <QPainter>
#include <QPdfWriter>

namespace morvane::output {

QString outlineTitle(const QString& name, const QString& comment)
{
    return comment.isEmpty() ? name : name + QStringLiteral(" (") + comment + QStringLiteral(")");
}

struct OwnerDocumentWriter::State {
    QString path;
    QPageLayout layout;
    int dpi;
    document::ContentsData contents;
    QVector<int> firstWritten; // per entry: first page as written (0-based), -1 when failed
    QVector<int> pageCounts;
    int written = 0; // pages drawn so far

    std::unique_ptr<WholeFile> file;
    std::unique_ptr<PdfTap> tap;
    std::unique_ptr<QPdfWriter> writer;
    QPainter painter;
    std::unique_ptr<document::QPainterCanvas> pageCanvas;
    std::unique_ptr<TextKeepingCanvas> canvas;

    bool nextPage(QString* error)
    {
        if (written > 0 && !writer->newPage()) {
            if (error)
                *error = QStringLiteral("cannot start page %1 of %2").arg(written + 1).arg(path);
            return false;
        }
        ++written;
        pageCanvas->startBlankPage();
        return true;
    }
    bool writeFailed(QString* error) const
    {
        if (!file->failed())
            return false;
        if (error)
            *error = file->errorText();
        return true;
    }
};

OwnerDocumentWriter::OwnerDocumentWriter(QString path, QPageLayout layout, int dpi, QString owner,
                                         QString printName)
    : d(std::make_unique<State>())
{
    d->path = std::move(path);
    d->layout = std::move(layout);
    d->dpi = dpi;
    d->contents.owner = std::move(owner);
    d->contents.printName = std::move(printName);
}

OwnerDocumentWriter::~OwnerDocumentWriter()
{
    if (d->painter.isActive())
        d->painter.end();
}

bool OwnerDocumentWriter::begin(QString* error)
{
    d->file = std::make_unique<WholeFile>(d->path);
    if (!d->file->open()) {
        if (error)
            *error = d->file->errorText();
        return false;
    }
    d->tap = std::make_unique<PdfTap>(*d->file);
    d->tap->open(QIODevice::WriteOnly);
    d->writer = std::make_unique<QPdfWriter>(d->tap.get());
    d->writer->setPageLayout(d->layout);
    d->writer->setResolution(d->dpi); // before the painter begins, or it is ignored
    d->writer->setTitle(documentTitle(d->contents.owner));
    d->writer->setCreator(QStringLiteral("Morvane"));
    if (!d->painter.begin(d->writer.get())) {
        if (error)
            *error = QStringLiteral("cannot write %1").arg(d->path);
        return false;
    }
    d->pageCanvas = std::make_unique<document::QPainterCanvas>(d->painter);
    d->canvas = std::make_unique<TextKeepingCanvas>(*d->pageCanvas);
    return true;
}

bool OwnerDocumentWriter::addObject(const OwnerEntry& entry, const document::DocumentData& data,
                                    const PageFailureSink& pageFailed, bool* objectOk, QString* error)
{
    const int first = d->written;
    const int pages = document::documentPageCount(data);
    bool ok = true;
    for (int p = 1; p <= pages; ++p) {
        if (!d->nextPage(error))
            return false;
        const document::PageResult r =
            document::drawDocumentPage(*d->canvas, d->writer->logicalDpiY(), p, data);
        if (!r.ok) {
            ok = false;
            if (pageFailed)
                pageFailed(p, r);
        }
    }
    if (d->writeFailed(error))
        return false;
    d->contents.entries.push_back({entry.name, entry.type, entry.comment, 0});
    d->firstWritten.push_back(ok ? first : -1);
    d->pageCounts.push_back(pages);
    if (objectOk)
        *objectOk = ok;
    return true;
}

void OwnerDocumentWriter::addFailed(const OwnerEntry& entry)
{
    d->contents.entries.push_back({entry.name, entry.type, entry.comment, 0});
    d->firstWritten.push_back(-1);
    d->pageCounts.push_back(0);
}

bool OwnerDocumentWriter::finish(QString* error)
{
    auto& entries = d->contents.entries;
    const int contentsPages = document::contentsPageCount(static_cast<int>(entries.size()));
    PdfNavigation nav;
    // The contents pages are drawn last and shown first.
    for (int c = 0; c < contentsPages; ++c)
        nav.order.push_back(d->written + c);
    for (int i = 0; i < entries.size(); ++i) {
        if (d->firstWritten.at(i) < 0)
            continue;
        entries[i].startPage = static_cast<int>(nav.order.size()) + 1;
        nav.outline.push_back(
            {outlineTitle(entries.at(i).name, entries.at(i).comment), static_cast<int>(nav.order.size())});
        for (int p = 0; p < d->pageCounts.at(i); ++p)
            nav.order.push_back(d->firstWritten.at(i) + p);
    }

    // Device pixels of the printable area to PDF points from the sheet's bottom left.
    const QRectF area = d->layout.paintRect(QPageLayout::Point);
    const double sheetHeight = d->layout.fullRect(QPageLayout::Point).height();
    const double scale = 72.0 / d->dpi;
    const auto toPdf = [&](const QRect& r) {
        return QRectF(QPointF(area.left() + r.left() * scale, sheetHeight - area.top() - r.bottom() * scale),
                      QPointF(area.left() + r.right() * scale, sheetHeight - area.top() - r.top() * scale));
    };

    // Pages from here on are read back for their links.
    d->tap->keepFromHere();
    for (int c = 1; c <= contentsPages; ++c) {
        if (!d->nextPage(error))
            return false;
        QVector<document::ContentsRowBox> rows;
        const document::PageResult r =
            document::DrawContentsPage(*d->canvas, d->writer->logicalDpiY(), c, d->contents, &rows);
        if (!r.ok) {
            if (error)
                *error = r.message().replace(QLatin1String("\n\r"), QLatin1String(" "));
            return false;
        }
        for (const auto& row : rows) {
            const int start = entries.at(row.entry).startPage;
            if (start > 0)
                nav.links.push_back({c - 1, toPdf(row.box), start - 1});
        }
    }
    d->painter.end();
    if (d->writeFailed(error))
        return false;
    const TextKeepingCanvas& texts = *d->canvas;
    const auto toUnicode = [&](const QVector<qint64>& offsets) {
        return texts.beyondBmp()
                   ? completedToUnicodeMaps(d->tap->kept(), d->tap->keptFrom(), offsets, texts.drawn())
                   : QMap<int, QByteArray>();
    };
    const QByteArray update =
        pdfNavigationUpdate(d->tap->kept(), d->tap->keptFrom(), d->tap->written(), nav, error, toUnicode);
    if (update.isEmpty()) {
        if (error)
            *error = d->path + QStringLiteral(": ") + *error;
        return false;
    }
    d->file->write(update);
    if (!d->file->commit()) {
        if (error)
            *error = d->file->errorText();
        return false;
    }
    return true;
}

} // namespace morvane::output
