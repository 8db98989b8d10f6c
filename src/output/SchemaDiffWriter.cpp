#include "output/SchemaDiffWriter.h"
#include "core/Cp932.h"
#include "core/WholeFile.h"
#include "document/Fonts.h"
#include "output/CsvWriter.h"
#include "output/DocRenderCli.h"
#include <QFontMetrics>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

namespace morvane::output {

namespace {

QString shown(const QString& attribute, const QString& value)
{
    if (attribute == QLatin1String("COMMENTS"))
        return QLatin1Char('"') + value + QLatin1Char('"');
    return value.isEmpty() ? QStringLiteral("(none)") : value;
}

QStringList changeLines(const SchemaChange& c)
{
    const QString arrow = QStringLiteral(" -> ");
    if (c.section == QLatin1String("object")) {
        if (c.change == QLatin1String("changed"))
            return {QStringLiteral("  type changed: ") + c.from + arrow + c.to};
        return {QStringLiteral("  ") + c.change + QLatin1Char(' ') + (c.to.isEmpty() ? c.from : c.to)};
    }
    if (c.section == QLatin1String("view")) {
        QStringList out{QStringLiteral("  view text changed:")};
        for (const QString& l : c.diff)
            out << QStringLiteral("    ") + l;
        return out;
    }
    QString head = QStringLiteral("  ") + c.section;
    if (c.section == QLatin1String("column"))
        head += QLatin1Char(' ') + QString::number(c.position);
    if (!c.item.isEmpty())
        head += QLatin1Char(' ') + c.item;
    if (c.change == QLatin1String("added"))
        return {head + QStringLiteral(" added: ") + c.to};
    if (c.change == QLatin1String("dropped"))
        return {head + QStringLiteral(" dropped: ") + c.from};
    return {head + QLatin1Char(' ') + c.attribute + QStringLiteral(": ") + shown(c.attribute, c.from) + arrow
            + shown(c.attribute, c.to)};
}

} // namespace

QString describeSide(const DiffSide& s)
{
    if (s.snapshot) {
        QString d = QStringLiteral("%1 (snapshot of %2 as %3, taken %4")
                        .arg(s.server, s.snapshot->service, s.snapshot->user, s.snapshot->takenAt);
        if (!s.snapshot->serverVersion.isEmpty())
            d += QStringLiteral(", ") + s.snapshot->serverVersion;
        return d + QLatin1Char(')');
    }
    return QStringLiteral("%1 as %2, read %3").arg(s.server, s.user, s.readAt);
}

QStringList diffBodyLines(const QVector<SchemaChange>& changes, const QString& owner)
{
    QStringList out;
    QString current;
    bool first = true;
    for (const SchemaChange& c : changes) {
        if (first || c.object != current) {
            out << printable(owner + QLatin1Char('.') + c.object) + QStringLiteral(" (") + c.objectType
                       + QLatin1Char(')');
            current = c.object;
            first = false;
        }
        for (const QString& l : changeLines(c))
            out << printable(l);
    }
    return out;
}

QString diffText(const QVector<SchemaChange>& changes, const QString& owner, const DiffSide& from,
                 const DiffSide& to)
{
    if (changes.isEmpty())
        return {};
    QStringList lines{QStringLiteral("--- ") + printable(describeSide(from)),
                      QStringLiteral("+++ ") + printable(describeSide(to))};
    lines << diffBodyLines(changes, owner);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QByteArray diffCsv(const QVector<SchemaChange>& changes)
{
    CsvTable table;
    table.header = QStringList{"OBJECT", "OBJECT_TYPE", "SECTION", "POSITION", "ITEM",
                               "CHANGE", "ATTRIBUTE",   "FROM",    "TO"};
    for (const SchemaChange& c : changes)
        table.rows.push_back({c.object, c.objectType, c.section, QString::number(c.position), c.item,
                              c.change, c.attribute, c.from, c.to});
    const bool utf8 = csvEncodingFor(table) == CsvEncoding::Utf8WithBom;
    QByteArray out = utf8 ? QByteArray("\xEF\xBB\xBF", 3) : QByteArray();
    auto line = [&](const QStringList& items) {
        const QString l = csvItems(items) + QStringLiteral("\r\n");
        out += utf8 ? l.toUtf8() : cp932::encode(l);
    };
    line(table.header);
    for (const QStringList& r : table.rows)
        line(r);
    return out;
}

namespace {

// Long lines are folded to the page width, by characters.
void foldInto(const QString& line, const QFontMetrics& fm, int width, QStringList& into)
{
    QString rest = line;
    do {
        int n = rest.size();
        while (n > 1 && fm.horizontalAdvance(rest.left(n)) > width)
            --n;
        into << rest.left(n);
        rest = rest.mid(n);
        // Continuations are indented, unless the page is too narrow for that.
        if (!rest.isEmpty() && n > 12)
            rest.prepend(QStringLiteral("      "));
    } while (!rest.isEmpty());
}

// Where everything goes on a page of the comparison, in device pixels.
struct DiffPages {
    QFont title;
    QFont body;
    QFontMetrics tm;
    QFontMetrics bm;
    int width;
    int height;
    int pitch;
    QStringList sides; // the two described sides, folded
    int ruleY = 0;     // below the last side line
    int firstLine = 0;
    int perPage = 1;

    DiffPages(QPdfWriter& writer, int dpi)
        : title(document::minchoFont(dpi * 14 / 72)), body(document::minchoFont(dpi * 9 / 72)),
          tm(title, &writer), bm(body, &writer), width(writer.width()), height(writer.height()),
          pitch(bm.height() * 5 / 4)
    {
    }
    void setSides(const QStringList& folded)
    {
        sides = folded;
        ruleY = tm.height() + pitch / 2 + int(sides.size()) * pitch;
        firstLine = ruleY + pitch;
        perPage = std::max(1, (height - firstLine - 2 * pitch) / pitch + 1);
    }
    void draw(QPainter& painter, const QString& owner, const QStringList& lines, int p, int pages) const
    {
        painter.setPen(Qt::black);
        painter.setFont(title);
        painter.drawText(0, tm.ascent(), QStringLiteral("スキーマ比較　") + printable(owner));
        painter.setFont(body);
        int y = tm.height() + pitch / 4 + bm.ascent();
        for (const QString& l : sides) {
            painter.drawText(0, y, l);
            y += pitch;
        }
        painter.drawLine(0, ruleY, width, ruleY);
        y = firstLine;
        for (int i = p * perPage; i < std::min(int(lines.size()), (p + 1) * perPage); ++i) {
            painter.drawText(0, y, lines[i]);
            y += pitch;
        }
        const QString number = QStringLiteral("%1 / %2").arg(p + 1).arg(pages);
        painter.drawText(width - bm.horizontalAdvance(number), height - bm.descent(), number);
    }
};

} // namespace

bool writeDiffPdf(const QVector<SchemaChange>& changes, const QString& owner, const DiffSide& from,
                  const DiffSide& to, const QString& path, QString* error)
{
    WholeFile file(path);
    if (!file.open()) {
        *error = file.errorText();
        return false;
    }
    constexpr int kDpi = 300;
    QPdfWriter writer(&file);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
    writer.setResolution(kDpi); // before the painter begins, or it is ignored
    writer.setTitle(QStringLiteral("スキーマ比較( ") + owner + QStringLiteral(" )"));
    writer.setCreator(QStringLiteral("Morvane"));
    QPainter painter;
    if (!painter.begin(&writer)) {
        *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    DiffPages layout(writer, kDpi);
    QStringList lines;
    for (const QString& l : diffBodyLines(changes, owner))
        foldInto(l, layout.bm, layout.width, lines);
    if (lines.isEmpty())
        lines << QStringLiteral("差異はありません。");
    QStringList sides;
    foldInto(QStringLiteral("比較元: ") + printable(describeSide(from)), layout.bm, layout.width, sides);
    foldInto(QStringLiteral("比較先: ") + printable(describeSide(to)), layout.bm, layout.width, sides);
    layout.setSides(sides);

    const int pages = (int(lines.size()) + layout.perPage - 1) / layout.perPage;
    for (int p = 0; p < pages; ++p) {
        if (p > 0 && !writer.newPage()) {
            painter.end();
            *error = QStringLiteral("cannot start page %1 of %2").arg(p + 1).arg(path);
            return false;
        }
        layout.draw(painter, owner, lines, p, pages);
    }
    painter.end();
    if (!file.commit()) {
        *error = file.errorText();
        return false;
    }
    return true;
}

} // namespace morvane::output
