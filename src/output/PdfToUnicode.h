#pragma once
// Qt's PDF writer maps only characters of the Basic Multilingual Plane back
// from glyphs (each font's ToUnicode map), so a character such as U+20BB7 is
// drawn but vanishes from the text a reader extracts. This completes those
// maps from the texts drawn, in the order they were drawn.
#include "document/Canvas.h"
#include <QByteArray>
#include <QFont>
#include <QHash>
#include <QMap>
#include <QSet>
#include <QString>
#include <QVector>

namespace morvane::output {

struct DrawnText {
    QFont font;
    QString text;
};

// Draws on the page canvas and keeps, in order, each text that shows a
// character its face has not shown before: the texts the writer's glyph
// numbering depends on. Almost no document needs them, so whether any
// character lies beyond U+FFFF is kept too.
class TextKeepingCanvas : public document::ICanvas {
public:
    explicit TextKeepingCanvas(document::ICanvas& inner);
    void setFontFace(const QFont& face) override;
    void setFontHeight(int pixels) override;
    void setFontColor(const QColor& color) override { m_inner.setFontColor(color); }
    int textWidth(const QString& text) override { return m_inner.textWidth(text); }
    void textOut(int x, int y, const QString& text) override;
    void line(int x1, int y1, int x2, int y2) override { m_inner.line(x1, y1, x2, y2); }
    void rectangle(int x1, int y1, int x2, int y2) override { m_inner.rectangle(x1, y1, x2, y2); }
    void setPenColor(const QColor& color) override { m_inner.setPenColor(color); }
    void setPenWidth(int pixels) override { m_inner.setPenWidth(pixels); }
    void setBrushColor(const QColor& color) override { m_inner.setBrushColor(color); }

    bool beyondBmp() const { return m_beyondBmp; }
    const QVector<DrawnText>& drawn() const { return m_drawn; }

private:
    document::ICanvas& m_inner;
    QFont m_font;
    QString m_faceKey;
    QHash<QString, QSet<char32_t>> m_shown;
    QVector<DrawnText> m_drawn;
    bool m_beyondBmp = false;
};

// New bodies ("<< /Length n >>\nstream\n…endstream") of the ToUnicode maps
// that lack characters, by object number. pdf holds the file from offset
// from on; offsets are the cross-reference table's.
QMap<int, QByteArray> completedToUnicodeMaps(const QByteArray& pdf, qint64 from,
                                             const QVector<qint64>& offsets, const QVector<DrawnText>& drawn);

// The PDF with the missing characters added to its ToUnicode maps; the bytes
// as they were when nothing is missing or the file is not laid out as Qt
// writes it (a font whose glyphs cannot be told apart for certain is left as
// it was).
QByteArray completeToUnicode(const QByteArray& pdf, const QVector<DrawnText>& drawn);

} // namespace morvane::output
