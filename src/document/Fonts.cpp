#include "document/Fonts.h"
#include "document/GlyphIndexCache.h"
#include <QStringList>

namespace morvane::document {

namespace {
// Characters the Japanese faces lack (Hangul, characters beyond the BMP such as
// U+20BB7) are taken from these, per character; the first family keeps everything it covers.
const QString kSansFallback = QStringLiteral("Noto Sans CJK JP");
const QString kSerifFallback = QStringLiteral("Noto Serif CJK JP");

QFont face(const QStringList& families, int pixelHeight, QFont::StyleHint hint, bool fixed)
{
    // Every page face is made here, so this keeps the glyph lookup table in the program.
    static const bool lookupCached = glyphIndexCacheInstalled();
    (void)lookupCached;
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
    return face({QStringLiteral("ＭＳ 明朝"), QStringLiteral("MS Mincho"), QStringLiteral("IPAMincho"),
                 kSerifFallback},
                pixelHeight, QFont::Serif, true);
}

QFont uiFont(int pixelHeight)
{
    // "MS UI Gothic" is proportional: its stand-in must be too.
    return face({QStringLiteral("MS UI Gothic"), QStringLiteral("IPAPGothic"), kSansFallback}, pixelHeight,
                QFont::SansSerif, false);
}

QFont pGothicFont(int pixelHeight)
{
    return face({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                 QStringLiteral("IPAPGothic"), kSansFallback},
                pixelHeight, QFont::SansSerif, false);
}

QFont pageBaseFont() { return minchoFont(13); }

} // namespace morvane::document
