#pragma once
// The canvas on a QPainter: printer, preview paint area, PDF and PNG alike.
#include "document/Canvas.h"
#include <QFontMetrics>
#include <QPen>
#include <QTextLayout>
#include <optional>

class QPainter;

namespace morvane::document {

class QPainterCanvas : public ICanvas {
public:
    // The painter must be active; the canvas does not own it.
    explicit QPainterCanvas(QPainter& painter);

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

    const QFont& font() const { return m_font; }

private:
    void applyFont();
    int measure(const QString& text);
    void usePen(const QPen& pen);

    QPainter& m_painter;
    QFont m_font;
    QColor m_fontColor = Qt::black;
    QPen m_pen;
    QColor m_brush = Qt::white;
    bool m_fontDirty = true;
    std::optional<QFontMetrics> m_metrics;
    // A cell text is measured, then drawn: it is shaped once for both.
    QString m_lastText;
    int m_lastWidth = 0;
    qreal m_lastAscent = 0;
    qreal m_faceAscent = 0;
    std::optional<QTextLayout> m_layout;
};

} // namespace morvane::document
