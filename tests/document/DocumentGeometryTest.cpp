#include "support/DocumentFixture.h"
#include "document/Fonts.h"
#include "document/PageGeometry.h"
#include "document/PageRoutines.h"
#include "support/FakePlatform.h"
#include <QFontInfo>
#include <QFontMetrics>
#include <gtest/gtest.h>

using namespace morvane;
using namespace morvane::document;
using namespace morvane::test;

namespace {

// Measures every text as a fixed number of device pixels.
class FixedWidthCanvas : public RecordingCanvas {
public:
    int width = 0;
    int textWidth(const QString&) override { return width; }
};

} // namespace

TEST(DocumentGeometry, ToDeviceRoundsHalvesToEven)
{
    struct Case {
        int v, res, expected;
    };
    const Case cases[] = {
        {45, 96, 17},
        {1950, 600, 4606},
        {2835, 600, 6697},
        {0, 600, 0},
        {-254, 96, -96},
        {1, 127, 0}, // 0.5
        {3, 127, 2}, // 1.5
        {5, 127, 2}, // 2.5
        {7, 127, 4}, // 3.5
        {1000000, 1200, 4724409},
    };
    RecordingCanvas c;
    for (const auto& k : cases)
        EXPECT_EQ(PageContext(c, k.res).ToDevice(k.v), k.expected) << k.v << " at " << k.res;
}

TEST(DocumentGeometry, FontHeightAndReportedSize)
{
    struct Case {
        int res, points, height, reported;
    };
    const Case cases[] = {
        {96, 10, 13, 10},  {96, 9, 12, 9},     {96, 18, 24, 18}, {96, 13, 17, 13},
        {600, 10, 83, 10}, {600, 18, 150, 18}, {36, 9, 5, 10}, // 4.5 rounds away from zero
        {60, 9, 8, 10},    {61, 10, 8, 9},     {68, 9, 9, 10},
    };
    for (const auto& k : cases) {
        RecordingCanvas c;
        PageContext p(c, k.res);
        p.SetFontSize(k.points);
        EXPECT_EQ(c.ops().last().x1, k.height) << k.points << "pt at " << k.res;
        EXPECT_EQ(p.reportedPointSize(), k.reported) << k.points << "pt at " << k.res;
    }
}

TEST(DocumentGeometry, PitchesHoldFrom58DpiExceptThreeResolutions)
{
    EXPECT_EQ(pitchForPointSize(10), 45);
    EXPECT_EQ(pitchForPointSize(9), 42);
    RecordingCanvas c;
    QVector<int> off;
    for (int res = 58; res <= 2400; ++res) {
        PageContext p(c, res);
        if (p.pitchAt(10) != 45 || p.pitchAt(9) != 42)
            off.push_back(res);
        c.clear();
    }
    EXPECT_EQ(off, (QVector<int>{60, 61, 68}));
}

TEST(DocumentGeometry, PenWidth)
{
    struct Case {
        int res, px;
    };
    const Case cases[] = {{58, 1}, {72, 1}, {96, 1}, {216, 2}, {360, 3}, {600, 4}, {1200, 8}, {1, 1}};
    for (const auto& k : cases) {
        RecordingCanvas c;
        PageContext(c, k.res).SetPenWidth(1);
        ASSERT_EQ(c.ops().size(), 1);
        EXPECT_EQ(c.ops().first().x1, k.px) << k.res;
    }
}

TEST(DocumentGeometry, CellTextMargin)
{
    // At 254 dpi a device pixel is one page unit.
    struct Case {
        int left, right, width, x;
    };
    const Case cases[] = {
        {100, 120, 14, 103}, // m = 3: the minimum
        {100, 120, 12, 104}, // m = 4
        {100, 120, 13, 104}, // 3.5 to even
        {100, 120, 11, 104}, // 4.5 to even
        {100, 120, 9, 106},  // 5.5 to even
        {100, 120, 30, 103}, // wider than the column: runs on from left + 3
        {130, 390, 400, 133},
    };
    for (const auto& k : cases) {
        FixedWidthCanvas c;
        c.width = k.width;
        PageContext(c, 254).DrawCellText(k.left, k.right, 77, "x");
        const auto t = textOps(c);
        ASSERT_EQ(t.size(), 1);
        EXPECT_EQ(t[0].x1, k.x) << k.width;
        EXPECT_EQ(t[0].y1, 77);
    }
    // At 600 dpi the margin is taken in page units, then converted.
    FixedWidthCanvas c;
    c.width = 100; // 42.33 page units
    PageContext(c, 600).DrawCellText(1180, 1350, 0, "VARCHAR2");
    EXPECT_EQ(textOps(c)[0].x1, PageContext(c, 600).ToDevice(1180 + 64));
}

TEST(DocumentGeometry, SplitLines)
{
    struct Case {
        QString text;
        QStringList lines;
    };
    const Case cases[] = {
        {"", {}},
        {"abc", {"abc"}},
        {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
        {"a\r\n", {"a"}},
        {"a\n\rb", {"a", "", "b"}},
        {"\nabc", {"", "abc"}},
        {"a\r\n\r\n", {"a", ""}},
        {"\r\n", {""}},
    };
    for (const auto& k : cases)
        EXPECT_EQ(splitTextLines(k.text), k.lines) << k.text.toStdString();
}

TEST(DocumentGeometry, MinchoFaceIsFixedPitchJapanese)
{
    const QFont f = minchoFont(38);
    const QString family = QFontInfo(f).family();
    EXPECT_TRUE(family == "IPAMincho" || family == "MS Mincho" || family == "ＭＳ 明朝")
        << family.toStdString();
    QFontMetrics fm(f);
    EXPECT_EQ(fm.horizontalAdvance("テ"), 38);
    EXPECT_EQ(fm.horizontalAdvance("ﾃ"), 19);
    EXPECT_EQ(fm.horizontalAdvance("ﾘｰﾌ･ﾌﾞﾛｯｸ"), 9 * 19);
    EXPECT_EQ(fm.horizontalAdvance("Pct_Free"), 8 * 19);
    EXPECT_EQ(pageBaseFont().pixelSize(), 13);
    EXPECT_EQ(QFontInfo(uiFont(12)).family(), "IPAPGothic"); // MS UI Gothic is proportional
    EXPECT_EQ(QFontInfo(pGothicFont(13)).family(), "IPAPGothic");
}

class DocumentHeader : public ::testing::Test {
protected:
    void SetUp() override { setHeaderDate(QDate(2024, 3, 9)); }
    void TearDown() override { setHeaderDate(QDate()); }

    RecordingCanvas draw()
    {
        RecordingCanvas c;
        PageContext p(c, 254);
        p.setRowPitch(45);
        p.DrawPageHeader("データベース定義ファイル１", d.data());
        return c;
    }
    DocumentSession d;
};

TEST_F(DocumentHeader, PositionsAndSizes)
{
    d.s.state.TableComment = "(社員)";
    const RecordingCanvas c = draw();
    const auto rects = c.ofKind(CanvasOp::Kind::Rect);
    ASSERT_EQ(rects.size(), 2);
    EXPECT_EQ(QRect(QPoint(rects[0].x1, rects[0].y1), QPoint(rects[0].x2, rects[0].y2)),
              QRect(QPoint(560, 40), QPoint(1440, 130)));
    EXPECT_EQ(rects[0].brushColor, QColor(Qt::black));
    EXPECT_EQ(QRect(QPoint(rects[1].x1, rects[1].y1), QPoint(rects[1].x2, rects[1].y2)),
              QRect(QPoint(550, 30), QPoint(1430, 120)));
    EXPECT_EQ(rects[1].brushColor, QColor(Qt::white));
    EXPECT_EQ(rects[1].penColor, QColor(Qt::black));

    struct Expect {
        QString text;
        int x, y, height;
    };
    const QString date = QLocale::system().toString(QDate(2024, 3, 9), QLocale::ShortFormat);
    const Expect expected[] = {
        {"データベース定義ファイル１", 580, 45, 64},
        {"◎ＯＷＮＥＲ：｢SCOTT｣  テーブル名：｢EMP｣ (社員)", 50, 180, 46},
        {"作成日：" + date, 1600, 45, 32},
        {"作成者：TARO", 1600, 90, 32},
    };
    const auto texts = textOps(c);
    ASSERT_EQ(texts.size(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(texts[i].text, expected[i].text);
        EXPECT_EQ(texts[i].x1, expected[i].x);
        EXPECT_EQ(texts[i].y1, expected[i].y);
        EXPECT_EQ(texts[i].fontHeight, expected[i].height);
        EXPECT_EQ(texts[i].brushColor, QColor(Qt::white));
    }
}

TEST_F(DocumentHeader, OwnerLineVariants)
{
    EXPECT_TRUE(draw().findText("◎ＯＷＮＥＲ：｢SCOTT｣  テーブル名：｢EMP｣ "));
    d.s.settings.PRINT_NAME.clear();
    EXPECT_TRUE(draw().findText("作成者："));

    d.s.state.IsSynonym = true;
    d.s.state.SynonymOwner = "PUBLIC_OWNER";
    d.s.state.SynonymName = "EMP_SYN";
    d.s.state.TableComment = "(社員)";
    EXPECT_TRUE(draw().findText("◎ＯＷＮＥＲ：｢PUBLIC_OWNER｣  テーブル名：｢EMP_SYN｣"));
}

TEST(DocumentGeometry, SamePageAt96And600Dpi)
{
    DocumentSession d;
    d.loadColumns(60);
    RecordingCanvas low, high;
    DrawColumnPage(low, 96, 1, d.data());
    DrawColumnPage(high, 600, 1, d.data());
    const auto a = low.ops();
    const auto b = high.ops();
    ASSERT_EQ(a.size(), b.size());
    PageContext pl(low, 96), ph(high, 600);
    // Each device position is the same page position converted at its resolution.
    for (int i = 0; i < a.size(); ++i) {
        ASSERT_EQ(a[i].kind, b[i].kind);
        if (a[i].kind != CanvasOp::Kind::Line && a[i].kind != CanvasOp::Kind::Rect)
            continue;
        const int pageX = static_cast<int>(std::lround(b[i].x1 * 254.0 / 600));
        const int pageY = static_cast<int>(std::lround(b[i].y2 * 254.0 / 600));
        EXPECT_EQ(ph.ToDevice(pageX), b[i].x1);
        EXPECT_EQ(pl.ToDevice(pageX), a[i].x1);
        EXPECT_EQ(pl.ToDevice(pageY), a[i].y2);
    }
}
