#include "output/ui/ForMoment.h"
#include <QProgressBar>
#include <gtest/gtest.h>

using namespace morvane;

TEST(TableListWaitDialog, StepsThroughALoad)
{
    TF_ForMoment dlg;
    EXPECT_EQ(dlg.windowTitle(), "情報");
    EXPECT_EQ(dlg.size(), QSize(270, 135));
    EXPECT_FALSE(dlg.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(dlg.windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_EQ(dlg.ProgressBar1->geometry(), QRect(16, 80, 227, 25));
    EXPECT_EQ(dlg.maximum(), 100);
    EXPECT_FALSE(dlg.isVisible());

    IWaitDialog& wait = dlg;
    wait.showProgress(4);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_FALSE(dlg.isModal());
    EXPECT_EQ(dlg.maximum(), 4);
    EXPECT_EQ(dlg.position(), 0);
    wait.setProgress(3);
    EXPECT_EQ(dlg.position(), 3);
    wait.hideProgress();
    EXPECT_FALSE(dlg.isVisible());

    // The next object's load starts again from 0.
    wait.showProgress(4);
    EXPECT_EQ(dlg.position(), 0);
    wait.hideProgress();
}
