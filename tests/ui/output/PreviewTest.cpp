// The preview window: zoom limits, page range, layout from the printer's own
// figures, and the sheet a printer setup leaves until the next job.
#include "PrintSupport.h"
#include "output/PreviewLayout.h"
#include "output/ui/PreviewForm.h"
#include <QLabel>
#include <QPushButton>

using namespace morvane;
using namespace morvane::test;

namespace {

class Preview : public PrintingFixture {
protected:
    void SetUp() override
    {
        PrintingFixture::SetUp();
        preview = std::make_unique<output::TPreviewForm>();
        preview->onPrint = [this](QObject* sender) { main.BitBtn3Click(sender); };
        main.setPreviewForm(preview.get());
    }
    void TearDown() override
    {
        main.setPreviewForm(nullptr);
        preview.reset();
        PrintingFixture::TearDown();
    }
    std::unique_ptr<output::TPreviewForm> preview;
};

} // namespace

TEST_F(Preview, ZoomStepsByTenBetweenSixtyAndTwoHundred)
{
    output::TPreviewForm& f = *preview;
    EXPECT_EQ(f.ZoomPercent, 90);
    EXPECT_EQ(f.ZoomScaleLabel->text(), "x90%");
    EXPECT_TRUE(f.ZoomIn->isEnabled());
    EXPECT_TRUE(f.ZoomOut->isEnabled());
    for (int i = 0; i < 11; ++i)
        f.ZoomInClick();
    EXPECT_EQ(f.ZoomPercent, 200);
    EXPECT_EQ(f.ZoomScaleLabel->text(), "x200%");
    EXPECT_FALSE(f.ZoomIn->isEnabled());
    f.ZoomInClick();
    f.SetZoom(210);
    EXPECT_EQ(f.ZoomPercent, 200);
    EXPECT_EQ(f.layout().drawResolution, 192);

    f.SetZoom(90);
    for (int i = 0; i < 3; ++i)
        f.ZoomOutClick();
    EXPECT_EQ(f.ZoomPercent, 60);
    EXPECT_FALSE(f.ZoomOut->isEnabled());
    EXPECT_TRUE(f.ZoomIn->isEnabled());
    f.SetZoom(50);
    EXPECT_EQ(f.ZoomPercent, 60);
}

TEST_F(Preview, PageFieldRunsOverTheDocumentAndReopeningKeepsZoomNotPage)
{
    ASSERT_TRUE(load("SCOTT", "EMP", "TABLE", 4)); // 8 columns: 2 column pages
    output::TPreviewForm& f = *preview;
    QVector<int> maxima;
    dialogs.handlers = {[&](QDialog&) {
                            maxima << f.SpinEdit1->maximum();
                            EXPECT_EQ(f.page(), 1);
                            EXPECT_TRUE(f.PreviewPanel->isVisibleTo(&f));
                            f.SpinEdit1->stepUp();
                            f.SpinEdit1->stepUp();
                            f.SpinEdit1->stepUp(); // beyond the maximum: stays
                            EXPECT_EQ(f.page(), 3);
                            EXPECT_TRUE(f.PreviewPanel3->isVisibleTo(&f));
                            EXPECT_FALSE(f.PreviewPanel->isVisibleTo(&f));
                            f.ZoomInClick();
                            EXPECT_EQ(f.page(), 3);
                            return int(QDialog::Accepted);
                        },
                        [&](QDialog&) {
                            EXPECT_EQ(f.page(), 1);
                            EXPECT_EQ(f.ZoomPercent, 100);
                            return int(QDialog::Accepted);
                        }};
    main.BitBtn4Click();
    main.BitBtn4Click();
    EXPECT_EQ(maxima, QVector<int>{3});

    document::DocumentData none = document::documentDataFrom(session);
    none.rowCounts[SlotTabCols] = 0;
    f.prepare(none);
    f.SpinEdit1->stepUp();
    EXPECT_EQ(f.SpinEdit1->maximum(), 1);
    EXPECT_EQ(f.page(), 1);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(Preview, LayoutComesFromThePrintersOwnFigures)
{
    // A PDF printer at 600 dpi: A4 is 4958 x 7017 dots, no margins of its own.
    output::Printer().SelectPaper("A4", "縦");
    output::Printer().printer().setResolution(600);
    const output::PrinterFigures fig = output::Printer().figures();
    EXPECT_EQ(fig.sheet, QSize(4958, 7017));
    EXPECT_EQ(fig.offset, QPoint(0, 0));
    EXPECT_EQ(fig.page, QSize(4958, 7017));
    EXPECT_EQ(fig.resolution, 600);
    const output::PreviewLayout at100 = output::previewLayout(fig, 96, 100);
    EXPECT_EQ(at100.sheet, QSize(793, 1123));
    EXPECT_EQ(at100.area, QRect(0, 0, 793, 1123));
    EXPECT_EQ(at100.drawResolution, 96);

    // Another printer's figures, with a printing offset; halves round to even.
    const output::PreviewLayout other =
        output::previewLayout({QSize(4960, 7016), QPoint(100, 50), QSize(4760, 6916), 600}, 96, 100);
    EXPECT_EQ(other.sheet, QSize(794, 1123));
    EXPECT_EQ(other.area, QRect(16, 8, 762, 1107));
    EXPECT_EQ(output::previewLayout(fig, 96, 90).drawResolution, 86); // 86.4
    EXPECT_EQ(output::previewLayout(fig, 120, 70).drawResolution, 84);
    EXPECT_EQ(output::previewLayout(fig, 125, 90).drawResolution, 113); // 112.5 away from zero
}

TEST_F(Preview, PrinterSetupLandscapeShapesTheSheetUntilTheNextJob)
{
    ASSERT_TRUE(load("SCOTT", "DEPT", "TABLE"));
    output::TPreviewForm& f = *preview;
    f.prepare(document::documentDataFrom(session));
    EXPECT_LT(f.layout().sheet.width(), f.layout().sheet.height());
    // What a set-up would choose (with no printer the button only says where jobs go).
    output::Printer().printer().setPageOrientation(QPageLayout::Landscape);
    dialogs.handlers = {answerRange(-1)};
    f.BitBtn1Click();
    EXPECT_GT(f.layout().sheet.width(), f.layout().sheet.height());
    f.SpinEdit1->stepUp();
    EXPECT_GT(f.layout().sheet.width(), f.layout().sheet.height());

    // Printing from the preview applies the preset, even when cancelled, and stays on its page.
    f.PrintOutClick();
    EXPECT_EQ(dialogs.opened.last(), "morvane::output::TF_PrnSet1");
    EXPECT_LT(f.layout().sheet.width(), f.layout().sheet.height());
    EXPECT_EQ(f.page(), 2);
    EXPECT_TRUE(pdfs().isEmpty());
}

TEST_F(Preview, AFailingPageWarnsOnceAnOpeningNotAtEveryRepaint)
{
    ASSERT_TRUE(load("SCOTT", "EMP", "TABLE"));
    document::DocumentData broken = document::documentDataFrom(session);
    broken.tabCols = ResultSet{}; // a column section that never arrived
    output::TPreviewForm& f = *preview;
    f.prepare(broken);
    EXPECT_TRUE(messages.shown.isEmpty()); // page 1 draws
    f.SpinEdit1->stepUp();
    ASSERT_EQ(messages.texts(), QStringList{"ページイメージ2作成エラー。"});
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Warning);
    f.ZoomInClick();
    f.ZoomOutClick();
    f.repaint();
    f.SpinEdit1->stepDown();
    f.SpinEdit1->stepUp();
    EXPECT_EQ(messages.shown.size(), 1);
    // The next opening warns again.
    f.prepare(broken);
    f.SpinEdit1->stepUp();
    EXPECT_EQ(messages.shown.size(), 2);
    EXPECT_FALSE(platform::isBusyCursor());
}
