// Characters the Japanese faces lack are drawn from the fallback face, while
// the page and window faces keep everything they cover.
#include "support/DocumentFixture.h"
#include "document/Fonts.h"
#include "document/QPainterCanvas.h"
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>
#include <gtest/gtest.h>

using namespace morvane;
using namespace morvane::test;

namespace {

const QString kMixed = QStringLiteral("社員名簿（사원명부）𠮷野ｶﾅ");

// The face that draws each run of the text, in order.
QStringList facesDrawing(const QString& text, const QFont& font)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    QStringList faces;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        // A glyph index of 0 is the missing-glyph box.
        for (quint32 g : run.glyphIndexes())
            if (g == 0)
                faces << QStringLiteral("<box>");
        faces << run.rawFont().familyName();
    }
    return faces;
}

} // namespace

TEST(DocumentFallback, PageAndWindowFacesFallBackPerCharacter)
{
    struct Case {
        QFont font;
        QString face, fallback;
    } cases[] = {
        {document::minchoFont(40), "IPAMincho", "Noto Serif CJK JP"},
        {document::uiFont(15), "IPAPGothic", "Noto Sans CJK JP"},
        {document::pGothicFont(13), "IPAPGothic", "Noto Sans CJK JP"},
    };
    for (const Case& c : cases) {
        const QStringList faces = facesDrawing(kMixed, c.font);
        EXPECT_FALSE(faces.contains("<box>")) << faces.join(", ").toStdString();
        EXPECT_TRUE(faces.contains(c.fallback)) << faces.join(", ").toStdString();
        // Everything the Japanese face covers stays in it.
        EXPECT_EQ(facesDrawing(QStringLiteral("社員名簿（）野ｶﾅ"), c.font), QStringList({c.face}));
    }
}

TEST(DocumentFallback, FallbackTextKeepsTheBaselineOfItsCell)
{
    // At 254 dpi a cell text stands 7 page units below its band's top rule
    // and 38 above the next; 10 points are 35 pixels.
    const auto draw = [](const QString& text) {
        QImage image(600, 60, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        document::QPainterCanvas canvas(painter);
        canvas.setFontFace(document::pageBaseFont());
        canvas.setFontHeight(35);
        canvas.textOut(10, 10, text);
        return image;
    };
    const QImage plain = draw(QStringLiteral("社員"));
    const QImage mixed = draw(QStringLiteral("社員사원𠮷"));
    // The page-face characters are drawn exactly where they are without the fallback.
    EXPECT_EQ(mixed.copy(0, 0, 80, 60), plain.copy(0, 0, 80, 60));
    int lowestInk = 0;
    for (int y = 0; y < mixed.height(); ++y)
        for (int x = 80; x < mixed.width(); ++x)
            if (qGray(mixed.pixel(x, y)) < 128)
                lowestInk = y;
    EXPECT_GT(lowestInk, 30);
    EXPECT_LT(lowestInk, 10 + 38);
}
