#include "document/QPainterCanvas.h"
#include "document/Fonts.h"
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace morvane::document {

QPainterCanvas::QPainterCanvas(QPainter& painter) : m_painter(painter), m_font(minchoFont(13))
{
    // Square caps close the corners where ruled lines meet, as a printer pen does.
    m_pen = QPen(QColor(Qt::black), 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
}

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
    m_layout.reset();
    m_fontDirty = false;
    // The baseline of a line in the page face alone; a fallback face with
    // taller line metrics must not push the whole line down.
    QTextLayout reference(QStringLiteral("0"), m_font, m_painter.device());
    reference.beginLayout();
    const QTextLine line = reference.createLine();
    reference.endLayout();
    m_faceAscent = line.isValid() ? line.ascent() : 0;
}

int QPainterCanvas::measure(const QString& text)
{
    applyFont();
    if (!m_layout || text != m_lastText) {
        m_lastText = text;
        m_layout.emplace(text, m_font, m_painter.device());
        m_layout->setCacheEnabled(true);
        m_layout->beginLayout();
        QTextLine line = m_layout->createLine();
        m_layout->endLayout();
        m_lastWidth = line.isValid() ? qRound(line.horizontalAdvance()) : 0;
        m_lastAscent = line.isValid() ? line.ascent() : m_faceAscent;
    }
    return m_lastWidth;
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
    m_layout->draw(&m_painter, QPointF(x, y + (m_faceAscent - m_lastAscent)));
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
