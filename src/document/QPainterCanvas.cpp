#include "document/QPainterCanvas.h"
#include "document/Fonts.h"
#include <QCache>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <vector>

namespace morvane::document {

// What drawing a text needs once it is shaped; the layout itself is not kept.
struct QPainterCanvas::Shaped {
    QList<QGlyphRun> runs;
    int width = 0;
    qreal ascent = 0;
    QRectF ink; // the glyphs' bounds from the pen position at the line's top
};

// Shaped texts by face, size, device resolution and text, the least recently
// used leaving first.
class ShapedTexts {
public:
    explicit ShapedTexts(int capacity) : m_cache(capacity) { }
    std::shared_ptr<const QPainterCanvas::Shaped> find(const QString& key) const
    {
        const auto* hit = m_cache.object(key);
        return hit ? *hit : nullptr;
    }
    void keep(const QString& key, std::shared_ptr<const QPainterCanvas::Shaped> shaped)
    {
        m_cache.insert(key, new std::shared_ptr<const QPainterCanvas::Shaped>(std::move(shaped)));
    }

private:
    QCache<QString, std::shared_ptr<const QPainterCanvas::Shaped>> m_cache;
};

// Rectangles of a page that may hold ink, filed by bands of rows so that a
// text looks only at its neighbours.
class InkMap {
public:
    void clear()
    {
        for (auto& band : m_bands)
            band.clear();
        m_wide.clear();
    }
    void add(const QRect& area)
    {
        if (area.isEmpty())
            return;
        if (area.top() < 0 || area.bottom() / kBand >= kMaxBands) {
            m_wide.push_back(area);
            return;
        }
        const int last = area.bottom() / kBand;
        if (last >= static_cast<int>(m_bands.size()))
            m_bands.resize(last + 1);
        for (int b = area.top() / kBand; b <= last; ++b)
            m_bands[b].push_back(area);
    }
    bool touches(const QRect& area) const
    {
        const auto meets = [&](const std::vector<QRect>& list) {
            return std::any_of(list.begin(), list.end(), [&](const QRect& r) { return r.intersects(area); });
        };
        if (meets(m_wide))
            return true;
        const int last = std::min(area.bottom() / kBand, static_cast<int>(m_bands.size()) - 1);
        for (int b = std::max(area.top(), 0) / kBand; b <= last; ++b) {
            if (meets(m_bands[b]))
                return true;
        }
        return false;
    }

private:
    static constexpr int kBand = 32;
    static constexpr int kMaxBands = 4096;
    std::vector<std::vector<QRect>> m_bands;
    std::vector<QRect> m_wide; // above the page or far below it
};

namespace {
thread_local ShapingScope* t_scope = nullptr;
// Two thousand texts (about 3 MB) hold the labels and the recurring values
// of a schema; a canvas alone keeps those of its own document.
constexpr int kScopeCapacity = 2000;
constexpr int kCanvasCapacity = 500;
// Room for rounding to whole pixels and for antialiased glyph edges.
constexpr int kInkMargin = 1;
} // namespace

ShapingScope::ShapingScope() : m_outer(t_scope), m_texts(std::make_shared<ShapedTexts>(kScopeCapacity))
{
    t_scope = this;
}

ShapingScope::~ShapingScope() { t_scope = m_outer; }

QPainterCanvas::QPainterCanvas(QPainter& painter)
    : m_painter(painter),
      m_texts(t_scope ? t_scope->m_texts : std::make_shared<ShapedTexts>(kCanvasCapacity)),
      m_font(minchoFont(13))
{
    // Square caps close the corners where ruled lines meet, as a printer pen does.
    m_pen = QPen(QColor(Qt::black), 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
}

QPainterCanvas::~QPainterCanvas() = default;

void QPainterCanvas::setFontFace(const QFont& face)
{
    const int height = m_font.pixelSize();
    m_font = face;
    if (height > 0)
        m_font.setPixelSize(height);
    m_fontDirty = true;
}

void QPainterCanvas::setFontHeight(int pixels)
{
    m_font.setPixelSize(pixels > 0 ? pixels : 1);
    m_fontDirty = true;
}

void QPainterCanvas::setFontColor(const QColor& color) { m_fontColor = color; }

void QPainterCanvas::applyFont()
{
    if (!m_fontDirty)
        return;
    m_painter.setFont(m_font);
    m_metrics.emplace(m_painter.fontMetrics());
    m_shaped.reset();
    m_fontDirty = false;
    const QPaintDevice* device = m_painter.device();
    // Resolved for the device once: a layout given the device would resolve
    // a fresh copy, and look its font engines up again, for every text.
    m_deviceFont = device ? QFont(m_font, device) : m_font;
    // QFont::key leaves out the fallback families and the kerning.
    m_fontKey = QStringLiteral("%1|%2|%3|%4|%5|%6|")
                    .arg(m_font.key(), m_font.families().join(QLatin1Char(',')))
                    .arg(int(m_font.kerning()))
                    .arg(device ? device->devType() : 0)
                    .arg(device ? device->logicalDpiX() : 0)
                    .arg(device ? device->logicalDpiY() : 0);
    // The baseline of a line in the page face alone; a fallback face with
    // taller line metrics must not push the whole line down.
    m_faceAscent = shape(QStringLiteral("0"))->ascent;
}

std::shared_ptr<const QPainterCanvas::Shaped> QPainterCanvas::shape(const QString& text)
{
    const QString key = m_fontKey + text;
    if (auto hit = m_texts->find(key))
        return hit;
    QTextLayout layout(text, m_deviceFont);
    // Kept until the runs are taken, or they would be shaped a second time.
    layout.setCacheEnabled(true);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    auto shaped = std::make_shared<Shaped>();
    shaped->width = line.isValid() ? qRound(line.horizontalAdvance()) : 0;
    shaped->ascent = line.isValid() ? line.ascent() : m_faceAscent;
    shaped->runs = layout.glyphRuns();
    for (const QGlyphRun& run : shaped->runs)
        shaped->ink |= run.boundingRect();
    m_texts->keep(key, shaped);
    return shaped;
}

int QPainterCanvas::measure(const QString& text)
{
    applyFont();
    if (!m_shaped || text != m_lastText) {
        m_lastText = text;
        m_shaped = shape(text);
    }
    return m_shaped->width;
}

// Pen changes are state changes in a PDF stream; only real ones are made.
void QPainterCanvas::usePen(const QPen& pen)
{
    if (m_painter.pen() != pen)
        m_painter.setPen(pen);
}

int QPainterCanvas::textWidth(const QString& text) { return measure(text); }

void QPainterCanvas::textOut(int x, int y, const QString& text)
{
    if (text.isEmpty())
        return;
    const int width = measure(text);
    // The cell of the Windows face is one em high; the stand-in face reports
    // a deeper descent, whose background would wipe the rule under the cell.
    const int em = m_font.pixelSize();
    const int cell = std::min(m_metrics->height(), em);
    const QRect back(x, y, width, cell);
    const bool white = m_brush.rgba() == 0xffffffffu;
    if (!m_ink || !white || m_ink->touches(back))
        m_painter.fillRect(back, m_brush);
    if (!white)
        addInk(back);
    usePen(QPen(m_fontColor));
    const QPointF at(x, y + (m_faceAscent - m_shaped->ascent));
    for (const QGlyphRun& run : m_shaped->runs)
        m_painter.drawGlyphRun(at, run);
    addInk(m_shaped->ink.translated(at).toAlignedRect().adjusted(-kInkMargin, -kInkMargin, kInkMargin,
                                                                 kInkMargin));
}

void QPainterCanvas::line(int x1, int y1, int x2, int y2)
{
    usePen(m_pen);
    m_painter.drawLine(x1, y1, x2, y2);
    const int reach = (m_pen.width() + 1) / 2 + kInkMargin; // square caps reach as far as the sides
    addInk(QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2)))
               .adjusted(-reach, -reach, reach, reach));
}

void QPainterCanvas::rectangle(int x1, int y1, int x2, int y2)
{
    usePen(m_pen);
    m_painter.setBrush(m_brush);
    const QRect box(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1));
    m_painter.drawRect(box);
    const int reach = (m_pen.width() + 1) / 2 + kInkMargin;
    const QRect r = box.normalized();
    if (m_brush.rgba() != 0xffffffffu) {
        addInk(r.adjusted(-reach, -reach, reach, reach));
        return;
    }
    // A white inside is paper again; only the outline is ink.
    addInk(QRect(r.left() - reach, r.top() - reach, r.width() + 2 * reach, 2 * reach + 1));
    addInk(QRect(r.left() - reach, r.bottom() - reach, r.width() + 2 * reach, 2 * reach + 1));
    addInk(QRect(r.left() - reach, r.top() - reach, 2 * reach + 1, r.height() + 2 * reach));
    addInk(QRect(r.right() - reach, r.top() - reach, 2 * reach + 1, r.height() + 2 * reach));
}

void QPainterCanvas::startBlankPage()
{
    if (!m_ink)
        m_ink = std::make_unique<InkMap>();
    m_ink->clear();
}

void QPainterCanvas::addInk(const QRect& area)
{
    if (m_ink)
        m_ink->add(area);
}

void QPainterCanvas::setPenColor(const QColor& color) { m_pen.setColor(color); }
void QPainterCanvas::setPenWidth(int pixels) { m_pen.setWidth(pixels > 0 ? pixels : 1); }
void QPainterCanvas::setBrushColor(const QColor& color) { m_brush = color; }

} // namespace morvane::document
