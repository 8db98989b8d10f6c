#include "document/QPainterCanvas.h"
#include "document/Fonts.h"
#include <QCache>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>

namespace morvane::document {

// What drawing a text needs once it is shaped; the layout itself is not kept.
struct QPainterCanvas::Shaped {
    QList<QGlyphRun> runs;
    int width = 0;
    qreal ascent = 0;
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

namespace {
thread_local ShapingScope* t_scope = nullptr;
// Two thousand texts (about 3 MB) hold the labels and the recurring values
// of a schema; a canvas alone keeps those of its own document.
constexpr int kScopeCapacity = 2000;
constexpr int kCanvasCapacity = 500;
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
    QTextLayout layout(text, m_font, m_painter.device());
    // Kept until the runs are taken, or they would be shaped a second time.
    layout.setCacheEnabled(true);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    auto shaped = std::make_shared<Shaped>();
    shaped->width = line.isValid() ? qRound(line.horizontalAdvance()) : 0;
    shaped->ascent = line.isValid() ? line.ascent() : m_faceAscent;
    shaped->runs = layout.glyphRuns();
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
    const int cell = std::min(m_metrics->height(), m_font.pixelSize());
    m_painter.fillRect(QRect(x, y, width, cell), m_brush);
    usePen(QPen(m_fontColor));
    const QPointF at(x, y + (m_faceAscent - m_shaped->ascent));
    for (const QGlyphRun& run : m_shaped->runs)
        m_painter.drawGlyphRun(at, run);
}

void QPainterCanvas::line(int x1, int y1, int x2, int y2)
{
    usePen(m_pen);
    m_painter.drawLine(x1, y1, x2, y2);
}

void QPainterCanvas::rectangle(int x1, int y1, int x2, int y2)
{
    usePen(m_pen);
    m_painter.setBrush(m_brush);
    m_painter.drawRect(QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1)));
}

void QPainterCanvas::setPenColor(const QColor& color) { m_pen.setColor(color); }
void QPainterCanvas::setPenWidth(int pixels) { m_pen.setWidth(pixels > 0 ? pixels : 1); }
void QPainterCanvas::setBrushColor(const QColor& color) { m_brush = color; }

} // namespace morvane::document
