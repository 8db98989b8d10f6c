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

// Adds the missing characters to the ToUnicode maps of the PDF at path.
// Returns true when the file needed nothing or was completed; false when it
// could not be read or written (a font whose glyphs cannot be told apart
// for certain is left as it was, which is not a failure).
bool completeToUnicode(const QString& pdfPath, const QVector<DrawnText>& drawn);

} // namespace morvane::output
