#include "document/Fonts.h"
#include <QStringList>

namespace morvane::document {

namespace {
QFont face(const QStringList& families, int pixelHeight, QFont::StyleHint hint, bool fixed)
{
    QFont f;
    // A single unknown family resolves to an unrelated Latin face; the list falls through.
    f.setFamilies(families);
    f.setStyleHint(hint);
    f.setFixedPitch(fixed);
    f.setWeight(QFont::Normal);
    f.setItalic(false);
    f.setUnderline(false);
    f.setStrikeOut(false);
    f.setKerning(false);
    f.setPixelSize(pixelHeight > 0 ? pixelHeight : 1);
    return f;
}
} // namespace

QFont minchoFont(int pixelHeight)
{
    return face({QStringLiteral("ＭＳ 明朝"), QStringLiteral("MS Mincho"), QStringLiteral("IPAMincho")},
                pixelHeight, QFont::Serif, true);
}

QFont uiFont(int pixelHeight)
{
    return face({QStringLiteral("MS UI Gothic"), QStringLiteral("IPAGothic")}, pixelHeight,
                QFont::SansSerif, false);
}

QFont pGothicFont(int pixelHeight)
{
    return face({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                 QStringLiteral("IPAPGothic")},
                pixelHeight, QFont::SansSerif, false);
}

QFont pageBaseFont() { return minchoFont(13); }

} // namespace morvane::document
