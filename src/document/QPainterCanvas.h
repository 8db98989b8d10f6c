#pragma once
// The canvas on a QPainter: printer, preview paint area, PDF and PNG alike.
#include "document/Canvas.h"
#include <QFontMetrics>
#include <QPen>
#include <QTextLayout>
#include <memory>
#include <optional>

class QPainter;

namespace morvane::document {

class ShapedTexts;
class InkMap;

// While one lives, the canvases made on its thread share one store of shaped
// texts: labels, type names and figures recur on every page and in every file
// of a run. It must end on its own thread, before that thread's fonts do.
class ShapingScope {
public:
    ShapingScope();
    ~ShapingScope();
    ShapingScope(const ShapingScope&) = delete;
    ShapingScope& operator=(const ShapingScope&) = delete;

private:
    friend class QPainterCanvas;
    ShapingScope* m_outer;
    std::shared_ptr<ShapedTexts> m_texts;
};

class QPainterCanvas : public ICanvas {
public:
    struct Shaped;

    // The painter must be active; the canvas does not own it.
    explicit QPainterCanvas(QPainter& painter);
    ~QPainterCanvas() override;

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

    // The page under the canvas is fresh white paper: a text's background
    // is then laid only where something drawn on this page lies under it,
    // since whitening white changes no pixel. Called at every page's start.
    void startBlankPage();

private:
    void applyFont();
    int measure(const QString& text);
    std::shared_ptr<const Shaped> shape(const QString& text);
    void usePen(const QPen& pen);
    void addInk(const QRect& area);

    QPainter& m_painter;
    std::shared_ptr<ShapedTexts> m_texts;
    QFont m_font;
    QFont m_deviceFont;
    QString m_fontKey;
    QColor m_fontColor = Qt::black;
    QPen m_pen;
    QColor m_brush = Qt::white;
    bool m_fontDirty = true;
    std::optional<QFontMetrics> m_metrics;
    // A cell text is measured, then drawn: it is shaped once for both.
    QString m_lastText;
    std::shared_ptr<const Shaped> m_shaped;
    qreal m_faceAscent = 0;
    // Where this page is not white; absent until a blank page is announced.
    std::unique_ptr<InkMap> m_ink;
};

} // namespace morvane::document
