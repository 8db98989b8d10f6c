#include "support/DocumentFixture.h"
#include "output/DocRender.h"
#include "output/DocRenderCli.h"
#include "output/PageOutput.h"
#include "document/QPainterCanvas.h"
#include "support/FakePlatform.h"
#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <thread>

using namespace morvane;
using namespace morvane::output;
using namespace morvane::test;

TEST(DocumentRender, PdfHoldsEveryPageWithTheFaceEmbedded)
{
    DocumentSession d;
    d.loadTable(1, 2, 3);
    d.loadColumns(60);
    QTemporaryDir dir;
    const QString path = dir.filePath("SCOTT.EMP.pdf");
    QString error;
    RecordingMessages msgs;
    ASSERT_TRUE(writeDocumentPdf(d.data(), path, pdfPageLayout(), 600, &error)) << error.toStdString();
    EXPECT_TRUE(msgs.shown.isEmpty());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray pdf = f.readAll();
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "), 3);
    EXPECT_TRUE(pdf.contains("/FontFile2"));
    EXPECT_TRUE(pdf.contains("IPAMincho"));

    EXPECT_FALSE(writeDocumentPdf(d.data(), dir.filePath("missing/x.pdf"), pdfPageLayout(), 600, &error));
    EXPECT_TRUE(error.contains("missing: No such file or directory")) << error.toStdString();
}

TEST(DocumentRender, PngShowsThePageAtThePrintableOffset)
{
    DocumentSession d;
    d.loadColumns(60);
    const QPageLayout layout = pdfPageLayout();
    const QImage page = renderPageImage(d.data(), 2, 96, layout);
    EXPECT_EQ(page.size(), QSize(794, 1123)); // A4 at 96 dpi
    const QRectF area = layout.paintRect(QPageLayout::Millimeter);
    const int ox = qRound(area.left() * 96 / 25.4), oy = qRound(area.top() * 96 / 25.4);
    auto dark = [&](int x, int y) { return qGray(page.pixel(ox + x, oy + y)) < 100; };
    EXPECT_TRUE(dark(19, 119));                       // grid corner (50, 315)
    EXPECT_TRUE(dark(737, 119));                      // right end of the top rule (1950, 315)
    EXPECT_TRUE(dark(542, 43));                       // title shadow right of the box
    EXPECT_FALSE(dark(400, 25));                      // inside the title box, above the title
    EXPECT_EQ(page.pixel(2, 2), qRgb(255, 255, 255)); // the sheet's margin stays white
    EXPECT_FALSE(dark(19, 1080));                     // below the 60-column grid nothing is ruled
}

TEST(DocumentRender, TextsShapedForEarlierPagesDrawTheSamePixels)
{
    DocumentSession d;
    d.loadTable(1, 2, 3);
    d.loadColumns(60);
    const QPageLayout layout = pdfPageLayout();
    const QImage first = renderPageImage(d.data(), 1, 96, layout);
    const QImage columns = renderPageImage(d.data(), 2, 150, layout);
    const document::ShapingScope shaping;
    // The second round draws every text from what the first one shaped.
    for (int round = 0; round < 2; ++round) {
        EXPECT_TRUE(renderPageImage(d.data(), 1, 96, layout) == first) << "round " << round;
        EXPECT_TRUE(renderPageImage(d.data(), 2, 150, layout) == columns) << "round " << round;
    }
}

TEST(DocumentRender, ThreadsDrawingAtOnceEachKeepTheirOwnShapedTexts)
{
    DocumentSession d;
    d.loadTable(1, 2, 3);
    d.loadColumns(60);
    const document::DocumentData data = d.data();
    const QImage alone = renderPageImage(data, 2, 96, pdfPageLayout());
    bool same[2] = {true, true};
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t)
        threads.emplace_back([&, t] {
            const document::ShapingScope shaping;
            for (int round = 0; round < 3; ++round)
                same[t] = same[t] && renderPageImage(data, 2, 96, pdfPageLayout()) == alone;
        });
    for (std::thread& t : threads)
        t.join();
    EXPECT_TRUE(same[0]);
    EXPECT_TRUE(same[1]);
}

TEST(DocumentRender, PngPagesAreStoredGreyWithTheSamePixels)
{
    DocumentSession d;
    d.loadTable(1, 2, 3);
    const QImage page = renderPageImage(d.data(), 1, 96, pdfPageLayout());
    const QImage grey = pngImage(page);
    EXPECT_EQ(grey.format(), QImage::Format_Grayscale8);
    QBuffer png;
    ASSERT_TRUE(png.open(QIODevice::WriteOnly) && savePng(page, &png));
    QImage back;
    ASSERT_TRUE(back.loadFromData(png.data(), "PNG"));
    ASSERT_EQ(back.size(), page.size());
    EXPECT_EQ(back.dotsPerMeterX(), page.dotsPerMeterX()); // 96 dpi kept for viewers and printers
    int differ = 0, greys = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QRgb p = page.pixel(x, y);
            differ += back.pixel(x, y) != p;
            greys += qRed(p) != 0 && qRed(p) != 255;
        }
    EXPECT_EQ(differ, 0);
    EXPECT_GT(greys, 0); // smoothed text: more than black and white
    QBuffer refusing;
    ASSERT_TRUE(refusing.open(QIODevice::ReadOnly));
    EXPECT_FALSE(savePng(page, &refusing));
    // One pixel off grey anywhere in a row, in its bulk or its last pixels, keeps the page in colour.
    for (const int x : {3, page.width() - 17, page.width() - 1}) {
        QImage coloured = page.copy();
        coloured.setPixel(x, 3, qRgb(200, 200, 201));
        EXPECT_EQ(pngImage(coloured).format(), page.format()) << x;
    }
}

TEST(DocumentRender, AGreyPageThatHardlyCompressesIsStoredWhole)
{
    // Noise does not shrink to the quarter first tried; the second try must hold it.
    QImage noise(301, 77, QImage::Format_RGB32);
    quint32 seed = 12345;
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x) {
            seed = seed * 1103515245u + 12345u;
            const int level = int(seed >> 24);
            noise.setPixel(x, y, qRgb(level, level, level));
        }
    QBuffer png;
    ASSERT_TRUE(png.open(QIODevice::WriteOnly) && savePng(noise, &png));
    EXPECT_GT(png.size(), noise.width() * noise.height() / 4);
    QImage back;
    ASSERT_TRUE(back.loadFromData(png.data(), "PNG"));
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), noise);
}

TEST(DocumentRender, FileNamesAndArguments)
{
    EXPECT_EQ(fileNameSafe("A/B\\C:D*E?F\"G<H>I|J"), "A_B_C_D_E_F_G_H_I_J");
    EXPECT_EQ(fileNameSafe("社員$TBL#1"), "社員$TBL#1");
    EXPECT_EQ(fileNameSafe(".."), "__");

    struct Case {
        QStringList args;
        bool ok;
        QString errorPart;
    };
    const QStringList base{"--server", "demo", "--user", "sys", "--owner", "SCOTT", "--out", "/tmp/x"};
    const Case cases[] = {
        {base + QStringList{"--format", "pdf"}, true, {}},
        {base + QStringList{"--format=png", "--dpi", "150", "--object", "EMP", "--object", "DEPT"}, true, {}},
        {base, false, "missing --format"},
        {QStringList{"--format", "pdf"}, false, "missing --server, --user, --owner, --out"},
        {base + QStringList{"--format", "svg"}, false, "pdf, png, csv or xlsx"},
        {base + QStringList{"--format", "png", "--dpi", "0"}, false, "--dpi"},
        {base + QStringList{"--format", "png", "--dpi", "abc"}, false, "--dpi"},
        {base + QStringList{"--format", "pdf", "--password", "x"}, false, "MORVANE_PASSWORD"},
        {base + QStringList{"--format", "pdf", "--bogus"}, false, "--bogus"},
        {QStringList{"--format", "pdf", "--server"}, false, "--server needs a value"},
        {base + QStringList{"--format", "png", "--one-file"}, false, "--one-file"},
        {base + QStringList{"--format", "pdf", "--jobs", "0"}, false, "--jobs"},
        // The ends of both ranges are taken; one past them is refused.
        {base + QStringList{"--format", "pdf", "--jobs", "64", "--dpi", "58"}, true, {}},
        {base + QStringList{"--format", "pdf", "--jobs", "1", "--dpi", "2400"}, true, {}},
        {base + QStringList{"--format", "pdf", "--jobs", "65"}, false,
         "--jobs must be a whole number from 1 to 64"},
        {base + QStringList{"--format", "pdf", "--dpi", "57"}, false,
         "--dpi must be a whole number from 58 to 2400"},
        {base + QStringList{"--format", "png", "--dpi", "2401"}, false, "not 2401"},
    };
    for (const auto& k : cases) {
        DocOptions o;
        QString error;
        EXPECT_EQ(parseDocArguments(k.args, &o, &error), k.ok) << k.args.join(' ').toStdString();
        if (!k.ok) {
            EXPECT_TRUE(error.contains(k.errorPart)) << error.toStdString();
        }
    }
    DocOptions o;
    QString error;
    ASSERT_TRUE(parseDocArguments(cases[1].args, &o, &error));
    EXPECT_EQ(o.server, "DEMO");
    EXPECT_EQ(o.user, "SYS");
    EXPECT_EQ(o.format, DocFormat::Png);
    EXPECT_EQ(o.dpi, 150);
    EXPECT_EQ(o.objects, (QStringList{"EMP", "DEPT"}));
}

TEST(DocumentFallback, PdfTextComesBackWhole)
{
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    DocumentSession d;
    d.loadTable(1, 0, 0);
    const QString mixed = QStringLiteral("社員名簿（사원명부）𠮷野ｶﾅ");
    d.loadColumns(2, {mixed, QStringLiteral("한글")});
    d.s.state.TableComment = QStringLiteral("(") + mixed + QStringLiteral(")");
    QTemporaryDir dir;
    const QString path = dir.filePath("SCOTT.EMP.pdf");
    QString error;
    ASSERT_TRUE(writeDocumentPdf(d.data(), path, pdfPageLayout(), 600, &error)) << error.toStdString();
    QProcess p;
    p.start(pdftotext, {path, "-"});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    // Page 1's header and the column page's header, and the column's own comment.
    EXPECT_GE(text.count(mixed), 3) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("한글")));
}

TEST(DocumentRender, AFailedPageIsDrawnBusyAndItsWarningShownOnce)
{
    // Notes whether the busy cursor was on while text was drawn.
    struct CursorCanvas : document::RecordingCanvas {
        bool busySeen = false;
        void textOut(int x, int y, const QString& t) override
        {
            busySeen = busySeen || platform::isBusyCursor();
            document::RecordingCanvas::textOut(x, y, t);
        }
    } c;
    DocumentSession d;
    d.loadTable(1, 2, 3);
    d.indexes.close();
    RecordingMessages msgs;
    EXPECT_FALSE(drawPageReporting(c, 254, 1, d.data()));
    EXPECT_TRUE(c.busySeen);
    EXPECT_FALSE(platform::isBusyCursor());
    ASSERT_EQ(msgs.shown.size(), 1);
    EXPECT_EQ(msgs.shown[0].kind, MessageKind::Warning);
    EXPECT_EQ(msgs.shown[0].text, "ページイメージ1作成エラー\n\r再起動して下さい。\n\r"
                                  "不明の場合ＯＲＡＣＬＥ管理者に確認して下さい。");
}
