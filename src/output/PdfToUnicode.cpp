#include "output/PdfToUnicode.h"
#include "document/Fonts.h"
#include <QGlyphRun>
#include <QHash>
#include <QMap>
#include <QRawFont>
#include <QRegularExpression>
#include <QSet>
#include <QTextLayout>
#include <algorithm>

namespace morvane::output {

namespace {

QString faceKey(const QRawFont& f) { return f.familyName() + QLatin1Char('|') + f.styleName(); }

template <typename Fn> void forEachRun(const QString& text, const QFont& font, Fn fn)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (line.isValid())
        for (const QGlyphRun& run : line.glyphRuns())
            fn(run);
}

// What the writer saw: per face, its glyphs in order of first use (the writer
// numbers a font's glyphs that way, after glyph 0), and what each glyph shows.
struct Replay {
    QHash<QString, QVector<quint32>> order;
    QHash<QString, QHash<quint32, QString>> chars;

    explicit Replay(const QVector<DrawnText>& drawn)
    {
        QHash<QString, QSet<quint32>> seen;
        QSet<QString> measured;
        for (const DrawnText& d : drawn) {
            forEachRun(d.text, d.font, [&](const QGlyphRun& run) {
                const QString key = faceKey(run.rawFont());
                for (quint32 g : run.glyphIndexes())
                    if (g != 0 && !seen[key].contains(g)) {
                        seen[key].insert(g);
                        order[key].push_back(g);
                    }
            });
            const QString families = d.font.families().join(QLatin1Char(','));
            for (int i = 0; i < d.text.size(); ++i) {
                const int n = d.text.at(i).isHighSurrogate() && i + 1 < d.text.size() ? 2 : 1;
                const QString one = d.text.mid(i, n);
                i += n - 1;
                if (measured.contains(families + one))
                    continue;
                measured.insert(families + one);
                forEachRun(one, d.font, [&](const QGlyphRun& run) {
                    if (run.glyphIndexes().size() == 1)
                        chars[faceKey(run.rawFont())].insert(run.glyphIndexes().first(), one);
                });
            }
        }
    }
};

QString utf16Hex(const QString& s)
{
    QString out;
    for (QChar c : s)
        out += QStringLiteral("%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
    return out;
}

QString fromUtf16Hex(const QString& hex)
{
    QString out;
    for (int i = 0; i + 4 <= hex.size(); i += 4)
        out += QChar(static_cast<char16_t>(hex.mid(i, 4).toUShort(nullptr, 16)));
    return out;
}

// CID -> text of a ToUnicode map, as far as it maps.
QMap<int, QString> readCMap(const QString& cmap)
{
    QMap<int, QString> m;
    static const QRegularExpression range(
        QStringLiteral("<([0-9A-Fa-f]{4})>\\s*<([0-9A-Fa-f]{4})>\\s*(\\[[^\\]]*\\]|<[0-9A-Fa-f]+>)"));
    static const QRegularExpression hex(QStringLiteral("<([0-9A-Fa-f]+)>"));
    const int ranges = cmap.indexOf(QLatin1String("beginbfrange"));
    if (ranges < 0)
        return m;
    for (auto it = range.globalMatch(cmap, ranges); it.hasNext();) {
        const auto r = it.next();
        const int from = r.captured(1).toInt(nullptr, 16), to = r.captured(2).toInt(nullptr, 16);
        const QString dst = r.captured(3);
        if (dst.startsWith(QLatin1Char('['))) {
            int cid = from;
            for (auto h = hex.globalMatch(dst); h.hasNext() && cid <= to; ++cid)
                m[cid] = fromUtf16Hex(h.next().captured(1));
        } else {
            QString first = fromUtf16Hex(dst.mid(1, dst.size() - 2));
            for (int cid = from; cid <= to && !first.isEmpty(); ++cid) {
                m[cid] = first;
                first.back() = QChar(static_cast<char16_t>(first.back().unicode() + 1));
            }
        }
    }
    return m;
}

// The bfchar lines a font's map lacks, or empty when no face fits it for certain.
QString missingEntries(const QMap<int, QString>& mapped, const Replay& replay)
{
    QString fitting;
    for (auto f = replay.order.constBegin(); f != replay.order.constEnd(); ++f) {
        const QHash<quint32, QString> chars = replay.chars.value(f.key());
        int agree = 0;
        bool fits = true;
        for (auto m = mapped.constBegin(); m != mapped.constEnd() && fits; ++m) {
            if (m.key() == 0)
                continue;
            if (m.key() > f.value().size()) {
                fits = false;
                break;
            }
            const auto known = chars.constFind(f.value().at(m.key() - 1));
            if (known == chars.constEnd())
                continue;
            if (known.value() == m.value())
                ++agree;
            else
                fits = false;
        }
        if (fits && agree > 0) {
            if (!fitting.isEmpty())
                return QString(); // two faces fit: nothing is certain
            fitting = f.key();
        }
    }
    if (fitting.isEmpty())
        return QString();
    QStringList lines;
    const QVector<quint32>& order = replay.order.value(fitting);
    const QHash<quint32, QString> chars = replay.chars.value(fitting);
    for (int cid = 1; cid <= order.size(); ++cid) {
        const QString text = chars.value(order.at(cid - 1));
        if (!mapped.contains(cid) && text.size() == 2 && text.at(0).isHighSurrogate())
            lines << QStringLiteral("<%1> <%2>").arg(cid, 4, 16, QLatin1Char('0')).arg(utf16Hex(text));
    }
    QString out;
    for (int i = 0; i < lines.size(); i += 100) {
        const QStringList block = lines.mid(i, 100);
        out += QStringLiteral("%1 beginbfchar\n%2\nendbfchar\n").arg(block.size()).arg(block.join('\n'));
    }
    return out;
}

struct Edit {
    qsizetype start, end;
    QByteArray bytes;
};

} // namespace

TextKeepingCanvas::TextKeepingCanvas(document::ICanvas& inner)
    : m_inner(inner), m_font(document::minchoFont(13))
{
    setFontFace(m_font);
}

void TextKeepingCanvas::setFontFace(const QFont& face)
{
    const int height = m_font.pixelSize();
    m_font = face;
    if (height > 0)
        m_font.setPixelSize(height);
    // The writer shares one font among all sizes of a face.
    m_faceKey = face.families().join(QLatin1Char(',')) + QLatin1Char('|') + face.styleName()
                + QString::number(face.weight()) + QString::number(int(face.style()));
    m_inner.setFontFace(face);
}

void TextKeepingCanvas::setFontHeight(int pixels)
{
    m_font.setPixelSize(pixels > 0 ? pixels : 1);
    m_inner.setFontHeight(pixels);
}

void TextKeepingCanvas::textOut(int x, int y, const QString& text)
{
    QSet<char32_t>& shown = m_shown[m_faceKey];
    bool fresh = false;
    for (const char32_t c : text.toUcs4()) {
        if (c > 0xFFFF)
            m_beyondBmp = true;
        if (!shown.contains(c)) {
            shown.insert(c);
            fresh = true;
        }
    }
    // A text of characters shown before brings no glyph the writer has not numbered.
    if (fresh)
        m_drawn.push_back({m_font, text});
    m_inner.textOut(x, y, text);
}

QMap<int, QByteArray> completedToUnicodeMaps(const QByteArray& pdf, qint64 from,
                                             const QVector<qint64>& offsets, const QVector<DrawnText>& drawn)
{
    QMap<int, QByteArray> out;
    const Replay replay(drawn);
    static const QRegularExpression toUnicode(QStringLiteral("/ToUnicode (\\d+) 0 R"));
    static const QRegularExpression stream(
        QStringLiteral("^(\\d+) 0 obj\\s*<<\\s*/Length (\\d+)\\s*>>\\s*stream\\r?\\n"));
    const QString text = QString::fromLatin1(pdf);
    for (auto it = toUnicode.globalMatch(text); it.hasNext();) {
        const int obj = it.next().captured(1).toInt();
        if (obj <= 0 || obj >= offsets.size() || out.contains(obj) || offsets[obj] < from)
            continue;
        const qsizetype at = offsets[obj] - from;
        const auto s = stream.match(QString::fromLatin1(pdf.mid(at, 80)));
        if (!s.hasMatch())
            continue;
        const qsizetype body = at + s.capturedLength(0);
        const QString cmap = QString::fromLatin1(pdf.mid(body, s.captured(2).toLongLong()));
        const qsizetype end = cmap.indexOf(QLatin1String("endcmap"));
        const QString added = missingEntries(readCMap(cmap), replay);
        if (end < 0 || added.isEmpty())
            continue;
        const QByteArray newMap = cmap.left(end).toLatin1() + added.toLatin1() + cmap.mid(end).toLatin1();
        out[obj] =
            "<< /Length " + QByteArray::number(newMap.size()) + " >>\nstream\n" + newMap + "\nendstream";
    }
    return out;
}

QByteArray completeToUnicode(const QByteArray& pdf, const QVector<DrawnText>& drawn)
{
    // The cross-reference table: one section "0 n" of 20-byte entries.
    const qsizetype sx = pdf.lastIndexOf("startxref");
    if (sx < 0)
        return pdf;
    const qsizetype xref = pdf.mid(sx + 9, 24).trimmed().split('\n').value(0).trimmed().toLongLong();
    static const QRegularExpression head(QStringLiteral("^xref\\s+0 (\\d+)\\s*\\n"));
    const auto h = head.match(QString::fromLatin1(pdf.mid(xref, 40)));
    if (xref <= 0 || !h.hasMatch())
        return pdf;
    const int count = h.captured(1).toInt();
    const qsizetype entries = xref + h.capturedLength(0);
    QVector<qint64> offsets(count);
    for (int i = 0; i < count; ++i)
        offsets[i] = pdf.mid(entries + 20 * i, 10).toLongLong();
    const qsizetype trailer = pdf.indexOf("trailer", entries + 20 * count);
    if (trailer < 0)
        return pdf;

    QVector<Edit> edits;
    const QMap<int, QByteArray> maps = completedToUnicodeMaps(pdf, 0, offsets, drawn);
    for (auto m = maps.constBegin(); m != maps.constEnd(); ++m) {
        const qsizetype start = offsets[m.key()];
        const qsizetype end = pdf.indexOf("endstream", start);
        if (end < 0)
            continue;
        const QByteArray head = QByteArray::number(m.key()) + " 0 obj\n";
        edits.push_back({start, end + 9, head + m.value()});
    }
    if (edits.isEmpty())
        return pdf;
    std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.start < b.start; });

    QByteArray out;
    qsizetype at = 0;
    for (const Edit& e : edits) {
        out += pdf.mid(at, e.start - at) + e.bytes;
        at = e.end;
    }
    out += pdf.mid(at, xref - at);
    const auto moved = [&](qsizetype offset) {
        qsizetype shift = 0;
        for (const Edit& e : edits)
            if (e.end <= offset)
                shift += e.bytes.size() - (e.end - e.start);
        return offset + shift;
    };
    const qsizetype newXref = out.size();
    out += "xref\n0 " + QByteArray::number(count) + "\n";
    for (int i = 0; i < count; ++i) {
        QByteArray entry = pdf.mid(entries + 20 * i, 20);
        if (entry.size() == 20 && entry.at(17) == 'n')
            entry.replace(0, 10, QByteArray::number(moved(offsets[i])).rightJustified(10, '0'));
        out += entry;
    }
    out += pdf.mid(trailer, sx - trailer) + "startxref\n" + QByteArray::number(newXref) + "\n%%EOF\n";

    return out;
}

} // namespace morvane::output
