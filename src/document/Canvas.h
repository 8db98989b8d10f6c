#pragma once
// The drawing surface the page routines draw on. Coordinates are device
// pixels; the page routines convert from page units before they call it.
#include <QColor>
#include <QFont>
#include <QString>

namespace morvane::document {

class ICanvas {
public:
    virtual ~ICanvas() = default;

    // Font: face (families, style), character height in pixels (em height), colour.
    virtual void setFontFace(const QFont& face) = 0;
    virtual void setFontHeight(int pixels) = 0;
    virtual void setFontColor(const QColor& color) = 0;

    // Width in device pixels of the text in the current font.
    virtual int textWidth(const QString& text) = 0;
    // Text with its cell's top-left corner at (x, y), over a rectangle in the brush colour.
    virtual void textOut(int x, int y, const QString& text) = 0;
    // Straight line with the current pen.
    virtual void line(int x1, int y1, int x2, int y2) = 0;
    // Rectangle between two corners, outlined with the pen and filled with the brush.
    virtual void rectangle(int x1, int y1, int x2, int y2) = 0;

    virtual void setPenColor(const QColor& color) = 0;
    virtual void setPenWidth(int pixels) = 0;
    virtual void setBrushColor(const QColor& color) = 0;
};

} // namespace morvane::document
