#include "document/RecordingCanvas.h"
#include "document/Fonts.h"
#include <QFontMetrics>

namespace morvane::document {

RecordingCanvas::RecordingCanvas() : m_font(minchoFont(13)) { }

CanvasOp RecordingCanvas::make(CanvasOp::Kind kind) const
{
    CanvasOp op;
    op.kind = kind;
    op.fontHeight = m_font.pixelSize();
    op.fontColor = m_fontColor;
    op.penColor = m_penColor;
    op.brushColor = m_brushColor;
    op.penWidth = m_penWidth;
    return op;
}

void RecordingCanvas::setFontFace(const QFont& face)
{
    const int height = m_font.pixelSize();
    m_font = face;
    if (height > 0)
        m_font.setPixelSize(height);
    CanvasOp op = make(CanvasOp::Kind::FontFace);
    op.text = face.families().join(',');
    m_ops.push_back(op);
}

void RecordingCanvas::setFontHeight(int pixels)
{
    m_font.setPixelSize(pixels > 0 ? pixels : 1);
    CanvasOp op = make(CanvasOp::Kind::FontHeight);
    op.x1 = pixels;
    m_ops.push_back(op);
}

void RecordingCanvas::setFontColor(const QColor& color)
{
    m_fontColor = color;
    CanvasOp op = make(CanvasOp::Kind::FontColor);
    op.color = color;
    m_ops.push_back(op);
}

int RecordingCanvas::textWidth(const QString& text) { return QFontMetrics(m_font).horizontalAdvance(text); }

void RecordingCanvas::textOut(int x, int y, const QString& text)
{
    CanvasOp op = make(CanvasOp::Kind::Text);
    op.x1 = x;
    op.y1 = y;
    op.text = text;
    m_ops.push_back(op);
}

void RecordingCanvas::line(int x1, int y1, int x2, int y2)
{
    recordSpan(CanvasOp::Kind::Line, x1, y1, x2, y2);
}

void RecordingCanvas::rectangle(int x1, int y1, int x2, int y2)
{
    recordSpan(CanvasOp::Kind::Rect, x1, y1, x2, y2);
}

void RecordingCanvas::recordSpan(CanvasOp::Kind kind, int x1, int y1, int x2, int y2)
{
    CanvasOp op = make(kind);
    op.x1 = x1;
    op.y1 = y1;
    op.x2 = x2;
    op.y2 = y2;
    m_ops.push_back(op);
}

void RecordingCanvas::setPenColor(const QColor& color)
{
    m_penColor = color;
    CanvasOp op = make(CanvasOp::Kind::PenColor);
    op.color = color;
    m_ops.push_back(op);
}

void RecordingCanvas::setPenWidth(int pixels)
{
    m_penWidth = pixels;
    CanvasOp op = make(CanvasOp::Kind::PenWidth);
    op.x1 = pixels;
    m_ops.push_back(op);
}

void RecordingCanvas::setBrushColor(const QColor& color)
{
    m_brushColor = color;
    CanvasOp op = make(CanvasOp::Kind::BrushColor);
    op.color = color;
    m_ops.push_back(op);
}

QVector<CanvasOp> RecordingCanvas::ofKind(CanvasOp::Kind kind) const
{
    QVector<CanvasOp> out;
    for (const auto& op : m_ops)
        if (op.kind == kind)
            out.push_back(op);
    return out;
}

const CanvasOp* RecordingCanvas::findText(const QString& text) const
{
    for (const auto& op : m_ops)
        if (op.kind == CanvasOp::Kind::Text && op.text == text)
            return &op;
    return nullptr;
}

} // namespace morvane::document
