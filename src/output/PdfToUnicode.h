#pragma once
// Qt's PDF writer maps only characters of the Basic Multilingual Plane back
// from glyphs (each font's ToUnicode map), so a character such as U+20BB7 is
// drawn but vanishes from the text a reader extracts. This completes those
// maps from the texts drawn, in the order they were drawn.
#include <QFont>
#include <QString>
#include <QVector>

namespace morvane::output {

struct DrawnText {
    QFont font;
    QString text;
};

// The PDF with the missing characters added to its ToUnicode maps; the bytes
// as they were when nothing is missing or the file is not laid out as Qt
// writes it (a font whose glyphs cannot be told apart for certain is left as
// it was).
QByteArray completeToUnicode(const QByteArray& pdf, const QVector<DrawnText>& drawn);

} // namespace morvane::output
