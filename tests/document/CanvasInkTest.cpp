// A canvas told that its page is blank paper leaves out the text backgrounds
// that would only whiten white: every pixel must come out as before.
#include "support/DocumentFixture.h"
#include "document/Fonts.h"
#include "document/PageRoutines.h"
#include "document/QPainterCanvas.h"
#include <QImage>
#include <QPainter>
#include <functional>
#include <gtest/gtest.h>

using namespace morvane;
using namespace morvane::test;

namespace {

QImage drawn(QSize size, bool blankPage, const std::function<void(document::QPainterCanvas&)>& draw)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    document::QPainterCanvas canvas(painter);
    if (blankPage)
        canvas.startBlankPage();
    draw(canvas);
    return image;
}

int whiteIn(const QImage& image, int y, int x1, int x2)
{
    int n = 0;
    for (int x = x1; x < x2; ++x)
        n += image.pixel(x, y) == qRgb(255, 255, 255);
    return n;
}

} // namespace

TEST(CanvasInk, BackgroundsStillWipeWhatLiesUnderThem)
{
    int ruleText = 0, greyText = 0;
    const auto scene = [&](document::QPainterCanvas& c) {
        c.setFontFace(document::pageBaseFont());
        c.setFontHeight(30);
        c.setPenWidth(3);
        c.line(0, 50, 400, 50); // under a text's cell
        c.textOut(20, 35, QStringLiteral("罫線"));
        ruleText = c.textWidth(QStringLiteral("罫線"));
        c.setBrushColor(Qt::lightGray);
        c.rectangle(200, 100, 390, 190); // a grey box a white-backed text sits in
        c.setBrushColor(Qt::white);
        c.textOut(220, 120, QStringLiteral("灰色"));
        greyText = c.textWidth(QStringLiteral("灰色"));
        c.textOut(20, 110, QStringLiteral("WWWWWW")); // a text another one overlaps
        c.textOut(60, 115, QStringLiteral("x"));
        c.line(20, 250, 180, 250); // a text near a rule it does not reach
        c.textOut(20, 200, QStringLiteral("白紙"));
        c.setPenColor(Qt::gray);
        c.line(60, 100, 60, 300); // and a rule drawn over a text
    };
    const QImage kept = drawn({400, 300}, false, scene);
    const QImage left = drawn({400, 300}, true, scene);
    EXPECT_EQ(kept, left);
    // What the backgrounds wiped is wiped in both.
    EXPECT_GT(whiteIn(left, 50, 20, 20 + ruleText), 0);
    EXPECT_GT(whiteIn(left, 125, 220, 220 + greyText), 0);
    EXPECT_EQ(whiteIn(left, 50, 20 + ruleText, 400), 0);
}

TEST(CanvasInk, DocumentPagesComeOutPixelForPixel)
{
    DocumentSession d;
    d.loadTable(2, 3, 4);
    d.loadColumns(60, {QString(90, QChar(0x8868)), QStringLiteral("ｶﾅ混在 comment 𠮷"), QString(400, 'W')});
    const document::DocumentData table = d.data();
    d.s.state.TableName = "EMP_V";
    d.s.state.TableType = "VIEW";
    d.loadView("EMP_V", QString("SELECT EMPNO, ENAME FROM EMP WHERE DEPTNO = 10 ").repeated(40));
    const document::DocumentData view = d.data();
    // 100 dpi keeps the pages small and their rules close to the texts.
    for (const document::DocumentData& data : {table, view}) {
        const int pages = document::documentPageCount(data);
        ASSERT_GE(pages, 2);
        for (int p = 1; p <= pages; ++p) {
            const auto page = [&](document::QPainterCanvas& c) {
                EXPECT_TRUE(document::drawDocumentPage(c, 100, p, data).ok);
            };
            EXPECT_EQ(drawn({800, 1130}, false, page), drawn({800, 1130}, true, page))
                << data.tableName.toStdString() << " page " << p;
        }
    }
}
