#pragma once
// A canvas that draws nothing and logs every operation in device
// coordinates, with the drawing state in force when it ran. Texts are
// measured with the real face, so widths match what a printer gets.
#include "document/Canvas.h"
#include <QVector>

namespace morvane::document {

struct CanvasOp {
    enum class Kind { FontFace, FontHeight, FontColor, Text, Line, Rect, PenColor, PenWidth, BrushColor };
    Kind kind = Kind::Text;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0; // Text: x1, y1; FontHeight/PenWidth: x1 is the value
    QString text;                       // Text; FontFace: the family list joined by ","
    QColor color;                       // colour operations
    // State at the time of the operation.
    int fontHeight = 0;
    QColor fontColor, penColor, brushColor;
    int penWidth = 1;
};

class RecordingCanvas : public ICanvas {
public:
    RecordingCanvas();

    void setFontFace(const QFont& face) override;
    void setFontHeight(int pixels) override;
    void setFontColor(const QColor& color) override;
    int textWidth(const QString& text) override;
    void textOut(int x, int y, const QString& text) override;
    void line(int x1, int y1, int x2, int y2) override;
    void rectangle(int x1, int y1, int x2, int y2) override;
    void setPenColor(const QColor& color) override;
    void setPenWidth(int pixels) override;
    void setBrushColor(const QColor& color) override;

    const QVector<CanvasOp>& ops() const { return m_ops; }
    QVector<CanvasOp> ofKind(CanvasOp::Kind kind) const;
    // The first text operation with exactly this text, or nullptr.
    const CanvasOp* findText(const QString& text) const;
    const QFont& font() const { return m_font; }
    void clear() { m_ops.clear(); }

private:
    CanvasOp make(CanvasOp::Kind kind) const;
    void recordSpan(CanvasOp::Kind kind, int x1, int y1, int x2, int y2);

    QVector<CanvasOp> m_ops;
    QFont m_font;
    QColor m_fontColor = Qt::black;
    QColor m_penColor = Qt::black;
    QColor m_brushColor = Qt::white;
    int m_penWidth = 1;
};

} // namespace morvane::document
