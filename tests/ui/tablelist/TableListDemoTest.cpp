#include "tablelist/TableListWindow.h"
#include "tablelist/CatalogGridModel.h"
#include "database/DataModule.h"
#include "support/DemoLogon.h"
#include "support/FakePlatform.h"
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace morvane;

// The list on the embedded engine's demo dictionary, as the query button opens it.
TEST(TableListDemo, ListsSortsAndSearchesScott)
{
    Session session;
    TDataModule2 dm(session);
    test::logOnDemo(dm);
    session.settings.LAST_OWNER = "SCOTT";
    dm.Tag = SlotCatalog;
    TF_Table window(dm, session);
    window.prepareForChoice("SCOTT");
    session.state.CatalogSortCaption = "テーブル名";
    session.state.CatalogSortKey = "TABLE_TYPE, TABLE_NAME";
    window.RefreshCatalog();
    test::RecordingMessages messages;

    auto names = [&] {
        QStringList l;
        for (int r = 0; r < window.gridModel()->rowCount(); ++r)
            l << window.gridModel()->index(r, 1).data().toString();
        return l;
    };
    // Synonyms have no comment row and sequences are never listed.
    EXPECT_EQ(names(), (QStringList{"BONUS", "DEPT", "EMP", "SALGRADE", "lower_case_tbl", "EMP_DEPT_V"}));
    EXPECT_EQ(window.gridModel()->index(2, 2).data().toString(), "社員マスタ");

    window.Edit1->setText("EMP");
    window.SpeedNext->click();
    EXPECT_EQ(dm.AQ_Catalog.text("TABLE_NAME"), "EMP");
    window.SpeedNext->click();
    EXPECT_EQ(dm.AQ_Catalog.text("TABLE_NAME"), "EMP_DEPT_V");
    window.SpeedNext->click();
    EXPECT_EQ(messages.texts(), QStringList{"該当するデータがありません。"});
    window.Edit1->setText("LOWER");
    window.SpeedPrior->click();
    EXPECT_EQ(dm.AQ_Catalog.text("TABLE_NAME"), "lower_case_tbl");

    window.DBGrid1TitleClick(2);
    EXPECT_EQ(dm.AQ_Catalog.currentRow(), 0);
    window.Edit1->setText("社員");
    window.SpeedNext->click();
    EXPECT_EQ(dm.AQ_Catalog.text("COMMENTS"), "社員マスタ");
    window.SpeedNext->click();
    EXPECT_EQ(dm.AQ_Catalog.text("COMMENTS"), "社員部門ビュー");
}
