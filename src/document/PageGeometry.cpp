#include "document/PageGeometry.h"
#include "document/Fonts.h"
#include "document/Rounding.h"
#include <QLocale>
#include <algorithm>
#include <stdexcept>

namespace morvane::document {

namespace {
QDate g_fixedDate;
}

void requireLoaded(const ResultSet& rows)
{
    // A result without columns is a section the load never opened.
    if (rows.columns.isEmpty())
        throw std::runtime_error("dictionary section not loaded");
}

int pitchForPointSize(int points)
{
    return static_cast<int>(roundHalfEven((points / 72.0 * 25.4 + 1.0) * 10.0));
}

QStringList splitTextLines(const QString& text)
{
    QStringList lines;
    QString current;
    const int n = text.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines << current;
            current.clear();
            if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else {
            current += c;
        }
    }
    if (!current.isEmpty())
        lines << current;
    return lines;
}

QString headerDateText()
{
    const QDate date = g_fixedDate.isValid() ? g_fixedDate : QDate::currentDate();
    return QLocale::system().toString(date, QLocale::ShortFormat);
}

void setHeaderDate(const QDate& fixed) { g_fixedDate = fixed; }

QString ownerLineName(const DocumentData& d)
{
    return QStringLiteral("◎ＯＷＮＥＲ：｢") + (d.isSynonym ? d.synonymOwner : d.owner)
           + QStringLiteral("｣  テーブル名：｢") + (d.isSynonym ? d.synonymName : d.tableName)
           + QStringLiteral("｣");
}

QString ownerLineText(const DocumentData& d)
{
    return d.isSynonym ? ownerLineName(d) : ownerLineName(d) + QStringLiteral(" ") + d.tableComment;
}

PageContext::PageContext(ICanvas& canvas, int resolution) : m_canvas(canvas), m_resolution(resolution)
{
    if (resolution < 1)
        throw std::invalid_argument("page resolution below 1 dot per inch");
}

int PageContext::ToDevice(int v) const
{
    const long long product = static_cast<long long>(v) * m_resolution;
    return static_cast<int>(roundHalfEven(static_cast<double>(product) / kPageUnitsPerInch));
}

void PageContext::SetFontSize(int points)
{
    const long long height = mulDivHalfAway(points, m_resolution, 72);
    m_fontHeight = static_cast<int>(height);
    m_canvas.setFontHeight(m_fontHeight);
    // The font keeps its height; its point size is read back from it.
    m_reportedPoints = static_cast<int>(mulDivHalfAway(height, 72, m_resolution));
}

int PageContext::pitchAt(int points)
{
    SetFontSize(points);
    return pitchForPointSize(m_reportedPoints);
}

void PageContext::SetPenWidth(int w)
{
    const long long px = mulDivHalfAway(w, m_resolution, 144);
    m_canvas.setPenWidth(px <= 0 ? 1 : static_cast<int>(px));
}

void PageContext::DrawCellText(int left, int right, int yDevice, const QString& text)
{
    const int w = m_canvas.textWidth(text);
    const double margin = (right - left - static_cast<double>(w) * kPageUnitsPerInch / m_resolution) / 2.0;
    const long long m = roundHalfEven(margin);
    const int x = m <= 3 ? left + 3 : left + static_cast<int>(m);
    m_canvas.textOut(ToDevice(x), yDevice, text);
}

void PageContext::rect(int x1, int y1, int x2, int y2)
{
    m_canvas.rectangle(ToDevice(x1), ToDevice(y1), ToDevice(x2), ToDevice(y2));
}

void PageContext::EraseArea(int x1, int y1, int x2, int y2)
{
    m_canvas.setBrushColor(Qt::white);
    m_canvas.setPenColor(Qt::white);
    rect(x1, y1, x2, y2);
    m_canvas.setPenColor(Qt::black);
    m_canvas.setBrushColor(Qt::white);
}

void PageContext::usePageFace()
{
    m_canvas.setFontFace(pageBaseFont());
    m_canvas.setFontColor(Qt::black);
}

void PageContext::textAt(int x, int y, const QString& text)
{
    m_canvas.textOut(ToDevice(x), ToDevice(y), text);
}

void PageContext::DrawPageHeader(const QString& title, const DocumentData& d)
{
    const int P = m_rowPitch;
    SetFontSize(18);
    m_canvas.setBrushColor(Qt::black);
    rect(560, 40, 1440, 130);
    m_canvas.setBrushColor(Qt::white);
    rect(550, 30, 1430, 120);
    textAt(580, P, title);

    SetFontSize(13);
    // Up to the bracket that closes the name: the part that must be read whole.
    const QString named = ownerLineName(d);
    fitOnLine(50, kRightmostRule, named);
    textAt(50, 4 * P, ownerLineText(d));

    SetFontSize(9);
    textAt(1600, P, QStringLiteral("作成日：") + headerDateText());
    textAt(1600, 2 * P, QStringLiteral("作成者：") + d.printName);
}

void PageContext::fitOnLine(int left, int right, const QString& text)
{
    const int room = ToDevice(right) - ToDevice(left);
    const int width = m_canvas.textWidth(text);
    if (width <= room || width <= 0)
        return;
    // A smaller face for this text alone; widths do not scale exactly with hinting.
    int height = static_cast<int>(static_cast<long long>(m_fontHeight) * room / width);
    for (height = std::max(height, 1); height > 1; --height) {
        m_canvas.setFontHeight(height);
        if (m_canvas.textWidth(text) <= room)
            break;
    }
    m_canvas.setFontHeight(height);
    m_fontHeight = height;
}

void PageContext::drawGridFrame(const GridSpec& g)
{
    const int P = m_rowPitch;
    const int h = g.headingRow;
    const int x0 = g.rules.first();
    const int xk = g.rules.last();
    textAt(x0, h * P, g.heading);
    for (int j = h + 1; j <= h + 1 + g.bands; ++j)
        m_canvas.line(ToDevice(x0), ToDevice(j * P), ToDevice(xk), ToDevice(j * P));
    const int top = ToDevice((h + 1) * P);
    const int bottom = ToDevice((h + 1 + g.verticalBands) * P);
    for (int x : g.rules)
        m_canvas.line(ToDevice(x), top, ToDevice(x), bottom);
    const int labelY = ToDevice((h + 1) * P + 7);
    for (int c = 0; c < g.columns.size(); ++c)
        DrawCellText(g.rules.at(c), g.rules.at(c + 1), labelY, g.columns.at(c).label);
}

void PageContext::drawGridRecord(const GridSpec& g, int band, const ResultSet& rows, int row)
{
    const int y = ToDevice(band * m_rowPitch + 7);
    for (int c = 0; c < g.columns.size(); ++c) {
        const QString& field = g.columns.at(c).field;
        if (!field.isEmpty())
            DrawCellText(g.rules.at(c), g.rules.at(c + 1), y, fieldText(rows, row, field));
    }
}

void PageContext::drawGrid(const GridSpec& g, const ResultSet& rows)
{
    drawGridFrame(g);
    requireLoaded(rows);
    for (int r = 0; r < rows.rows.size(); ++r)
        drawGridRecord(g, g.headingRow + 2 + r, rows, r);
}

} // namespace morvane::document
