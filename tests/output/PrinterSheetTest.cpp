#include "output/DocRender.h"
#include "output/PrinterSheet.h"
#include <gtest/gtest.h>

using namespace morvane::output;

// The A4 entries of a PPD give the unprintable margins; the sheet keeps Qt's
// 10-point margins where the printer reaches closer to the edge.
TEST(PrinterSheet, PpdMarginsWidenTheDefaultMarginsOnlyWhereNeeded)
{
    const QByteArray ppd = "*PPD-Adobe: \"4.3\"\n"
                           "*ImageableArea Letter/US Letter: \"18 36 594 756\"\n"
                           "*ImageableArea A4/A4 210x297mm: \"18 4 577 806\"\n"
                           "*PaperDimension Letter/US Letter: \"612 792\"\n"
                           "*PaperDimension A4/A4 210x297mm: \"595 842\"\n";
    const auto margins = ppdA4Margins(ppd);
    ASSERT_TRUE(margins.has_value());
    EXPECT_EQ(*margins, QMarginsF(18, 36, 18, 4));

    const QRect rect = sheetWithMinimumMargins(*margins).paintRectPixels(600);
    EXPECT_EQ(rect.topLeft(), QPoint(150, 300)); // 18 pt and 36 pt at 600 dpi
    EXPECT_EQ(rect.bottom() + 1, 7017 - 83);     // bottom stays at 10 pt

    EXPECT_EQ(sheetWithMinimumMargins(QMarginsF()).paintRectPixels(600),
              pdfPageLayout().paintRectPixels(600));
    EXPECT_FALSE(ppdA4Margins("*ImageableArea Letter/US Letter: \"18 36 594 756\"\n").has_value());
    EXPECT_FALSE(ppdA4Margins("*ImageableArea A4/A4: \"18 x 577 806\"\n*PaperDimension A4: \"595 842\"\n")
                     .has_value());
}
