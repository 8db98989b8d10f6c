#include "output/PdfNavigation.h"
#include <QMap>
#include <QRegularExpression>

namespace morvane::output {

qint64 PdfTap::writeData(const char* data, qint64 size)
{
    const qint64 n = m_out.write(data, size);
    if (n != size) {
        setErrorString(m_out.errorString());
        return -1;
    }
    if (m_keeping)
        m_kept.append(data, static_cast<qsizetype>(size));
    m_written += size;
    return size;
}

namespace {

QByteArray pdfText(const QString& s)
{
    // UTF-16 big-endian with its byte-order mark, as hex: no escaping needed.
    QByteArray hex = "<FEFF";
    for (const QChar c : s)
        hex += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    return hex + ">";
}

QByteArray ref(int obj) { return QByteArray::number(obj) + " 0 R"; }

QByteArray number(double v) { return QByteArray::number(v, 'f', 2); }

class Reader {
public:
    Reader(const QByteArray& kept, qint64 keptFrom) : m_kept(kept), m_from(keptFrom) { }

    bool parse(QString* error)
    {
        const qsizetype sx = m_kept.lastIndexOf("startxref");
        if (sx < 0)
            return fail(error, "no startxref");
        xref = m_kept.mid(sx + 9, 24).trimmed().split('\n').value(0).trimmed().toLongLong();
        const qsizetype at = xref - m_from;
        static const QRegularExpression head(QStringLiteral("^xref\\s+0 (\\d+)\\s*\\n"));
        const auto h = head.match(QString::fromLatin1(m_kept.mid(at, 40)));
        if (at < 0 || !h.hasMatch())
            return fail(error, "the cross-reference table is not where the file says");
        size = h.captured(1).toInt();
        const qsizetype entries = at + h.capturedLength(0);
        offsets.resize(size);
        for (int i = 0; i < size; ++i)
            offsets[i] = m_kept.mid(entries + 20 * i, 10).toLongLong();
        const QString trailer =
            QString::fromLatin1(m_kept.mid(entries + 20 * size, sx - entries - 20 * size));
        static const QRegularExpression rootRe(QStringLiteral("/Root (\\d+) 0 R"));
        static const QRegularExpression infoRe(QStringLiteral("/Info (\\d+) 0 R"));
        root = rootRe.match(trailer).captured(1).toInt();
        info = infoRe.match(trailer).captured(1).toInt();
        if (root <= 0)
            return fail(error, "no document catalog");

        static const QRegularExpression pagesRe(QStringLiteral("(\\d+) 0 obj\\s*<<\\s*/Type /Pages\\b"));
        const QString text = QString::fromLatin1(m_kept);
        const auto p = pagesRe.match(text);
        if (!p.hasMatch())
            return fail(error, "no page tree at the end of the file");
        pagesObj = p.captured(1).toInt();
        const qsizetype dictStart = text.indexOf(QLatin1String("<<"), p.capturedStart(0));
        const qsizetype end = text.indexOf(QLatin1String("endobj"), dictStart);
        pagesDict = m_kept.mid(dictStart, end - dictStart).trimmed();
        static const QRegularExpression kidsRe(QStringLiteral("/Kids\\s*\\[([^\\]]*)\\]"));
        static const QRegularExpression refRe(QStringLiteral("(\\d+) 0 R"));
        const auto k = kidsRe.match(QString::fromLatin1(pagesDict));
        if (!k.hasMatch())
            return fail(error, "no page list");
        for (auto it = refRe.globalMatch(k.captured(1)); it.hasNext();)
            kids.push_back(it.next().captured(1).toInt());
        return true;
    }

    // The object holding a page's link list, or 0 when the page is not kept or has none.
    int annotsOf(int pageObj) const
    {
        if (pageObj <= 0 || pageObj >= size || offsets[pageObj] < m_from)
            return 0;
        const qsizetype at = offsets[pageObj] - m_from;
        const qsizetype end = m_kept.indexOf("endobj", at);
        static const QRegularExpression annotsRe(QStringLiteral("/Annots (\\d+) 0 R"));
        return annotsRe.match(QString::fromLatin1(m_kept.mid(at, end - at))).captured(1).toInt();
    }

    qint64 xref = 0;
    int size = 0;
    QVector<qint64> offsets;
    int root = 0, info = 0;
    int pagesObj = 0;
    QByteArray pagesDict;
    QVector<int> kids;

private:
    static bool fail(QString* error, const char* why)
    {
        if (error)
            *error = QString::fromLatin1(why);
        return false;
    }
    const QByteArray& m_kept;
    qint64 m_from;
};

} // namespace

namespace {

using Objects = QMap<int, QByteArray>; // new versions and new objects, by number

QByteArray pageDest(const QVector<int>& pages, int page) { return "[" + ref(pages.at(page)) + " /Fit]"; }

// One link object per link, each listed in its page's link list.
bool addLinks(const Reader& r, const QVector<int>& pages, const QVector<PdfPageLink>& links, Objects& objects,
              int& next, QString* error)
{
    QMap<int, QByteArray> annots; // link list object -> its references
    for (const PdfPageLink& l : links) {
        if (l.page < 0 || l.page >= pages.size() || l.target < 0 || l.target >= pages.size())
            continue;
        const int list = r.annotsOf(pages.at(l.page));
        if (list == 0) {
            if (error)
                *error = QStringLiteral("the links of page %1 cannot be added").arg(l.page + 1);
            return false;
        }
        const int link = next++;
        objects[link] = "<< /Type /Annot /Subtype /Link /Rect [" + number(l.rect.left()) + " "
                        + number(l.rect.top()) + " " + number(l.rect.right()) + " " + number(l.rect.bottom())
                        + "] /Border [0 0 0] /Dest " + pageDest(pages, l.target) + " >>";
        annots[list] += " " + ref(link);
    }
    for (auto it = annots.constBegin(); it != annots.constEnd(); ++it)
        objects[it.key()] = "[" + it.value() + " ]";
    return true;
}

// The outline's root and items; returns the root's object number.
int addOutline(const QVector<int>& pages, const QVector<PdfOutlineItem>& outline, Objects& objects, int& next)
{
    const int root = next++;
    const int first = next;
    const int count = static_cast<int>(outline.size());
    next += count;
    for (int i = 0; i < count; ++i) {
        const PdfOutlineItem& o = outline.at(i);
        QByteArray item = "<< /Title " + pdfText(o.title) + " /Parent " + ref(root);
        if (i > 0)
            item += " /Prev " + ref(first + i - 1);
        if (i + 1 < count)
            item += " /Next " + ref(first + i + 1);
        if (o.page >= 0 && o.page < pages.size())
            item += " /Dest " + pageDest(pages, o.page);
        objects[first + i] = item + " >>";
    }
    objects[root] = "<< /Type /Outlines /First " + ref(first) + " /Last " + ref(first + count - 1)
                    + " /Count " + QByteArray::number(count) + " >>";
    return root;
}

// The objects, their cross-reference section and a trailer pointing back at the file's own.
QByteArray updateSection(const Reader& r, const Objects& objects, qint64 fileSize, int size)
{
    QByteArray out = "\n";
    QMap<int, qint64> at;
    for (auto it = objects.constBegin(); it != objects.constEnd(); ++it) {
        at[it.key()] = fileSize + out.size();
        out += QByteArray::number(it.key()) + " 0 obj\n" + it.value() + "\nendobj\n";
    }
    const qint64 xref = fileSize + out.size();
    out += "xref\n";
    // Subsections of consecutive object numbers.
    for (auto it = at.constBegin(); it != at.constEnd();) {
        auto end = it;
        int n = 0;
        while (end != at.constEnd() && end.key() == it.key() + n) {
            ++end;
            ++n;
        }
        out += QByteArray::number(it.key()) + " " + QByteArray::number(n) + "\n";
        for (; it != end; ++it)
            out += QByteArray::number(it.value()).rightJustified(10, '0') + " 00000 n \n";
    }
    out += "trailer\n<<\n/Size " + QByteArray::number(size) + "\n/Root " + ref(r.root) + "\n";
    if (r.info > 0)
        out += "/Info " + ref(r.info) + "\n";
    out +=
        "/Prev " + QByteArray::number(r.xref) + "\n>>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return out;
}

} // namespace

QByteArray pdfNavigationUpdate(const QByteArray& kept, qint64 keptFrom, qint64 fileSize,
                               const PdfNavigation& nav, QString* error, const PdfObjectSource& moreObjects)
{
    Reader r(kept, keptFrom);
    if (!r.parse(error))
        return {};
    QVector<int> pages;
    for (int i : nav.order) {
        if (i < 0 || i >= r.kids.size()) {
            if (error)
                *error = QStringLiteral("page %1 of %2 does not exist").arg(i + 1).arg(r.kids.size());
            return {};
        }
        pages.push_back(r.kids.at(i));
    }

    Objects objects;
    if (moreObjects)
        objects = moreObjects(r.offsets);
    int next = r.size;

    QByteArray kids = "/Kids [";
    for (int p : pages)
        kids += " " + ref(p);
    kids += " ]";
    QString dict = QString::fromLatin1(r.pagesDict);
    dict.replace(QRegularExpression(QStringLiteral("/Kids\\s*\\[[^\\]]*\\]")), QString::fromLatin1(kids));
    dict.replace(QRegularExpression(QStringLiteral("/Count \\d+")),
                 QStringLiteral("/Count %1").arg(pages.size()));
    objects[r.pagesObj] = dict.toLatin1();

    if (!addLinks(r, pages, nav.links, objects, next, error))
        return {};
    QByteArray catalog = "<<\n/Type /Catalog\n/Pages " + ref(r.pagesObj) + "\n";
    if (!nav.outline.isEmpty())
        catalog +=
            "/Outlines " + ref(addOutline(pages, nav.outline, objects, next)) + "\n/PageMode /UseOutlines\n";
    objects[r.root] = catalog + ">>";
    return updateSection(r, objects, fileSize, next);
}

} // namespace morvane::output
