#pragma once
// Qt's PDF writer draws pages in the order they come and knows no outline
// and no links between pages. These are added afterwards as an incremental
// update appended to the finished file: new versions of the page tree, the
// catalog and the link lists, so that no byte already written moves.
#include <QByteArray>
#include <QIODevice>
#include <QMap>
#include <QRectF>
#include <QString>
#include <QVector>
#include <functional>

namespace morvane::output {

// Passes every byte on to the output and keeps what comes after
// keepFromHere(), with its offset, so that the end of the file can be read
// back without reading the file.
class PdfTap : public QIODevice {
public:
    explicit PdfTap(QIODevice& out) : m_out(out) { }
    void keepFromHere()
    {
        m_keeping = true;
        m_keptFrom = m_written;
    }
    qint64 written() const { return m_written; }
    const QByteArray& kept() const { return m_kept; }
    qint64 keptFrom() const { return m_keptFrom; }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    QIODevice& m_out;
    qint64 m_written = 0;
    bool m_keeping = false;
    qint64 m_keptFrom = 0;
    QByteArray m_kept;
};

struct PdfOutlineItem {
    QString title;
    int page = 0; // index in the new page order
};

struct PdfPageLink {
    int page = 0;   // index in the new page order of the page holding the link
    QRectF rect;    // PDF user space: points, origin bottom left
    int target = 0; // index in the new page order
};

struct PdfNavigation {
    QVector<int> order; // the pages as written (0-based), in their new order; pages left out are dropped
    QVector<PdfOutlineItem> outline;
    QVector<PdfPageLink> links;
};

// The bytes to append to a file of fileSize bytes whose end, from keptFrom
// on, is kept; the pages that hold links and the file's trailer, cross
// reference and page tree must lie in it. Empty with a reason when they do not.
// moreObjects, given the cross-reference offsets, may replace further objects of the kept part.
using PdfObjectSource = std::function<QMap<int, QByteArray>(const QVector<qint64>& offsets)>;
QByteArray pdfNavigationUpdate(const QByteArray& kept, qint64 keptFrom, qint64 fileSize,
                               const PdfNavigation& nav, QString* error,
                               const PdfObjectSource& moreObjects = {});

} // namespace morvane::output
