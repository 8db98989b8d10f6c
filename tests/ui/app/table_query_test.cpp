// The "問合せ" flow on the demo dictionary: the table list opens on the
// owner's catalog, the choice is loaded and the buttons follow the outcome.
#include "app/MainWindow.h"
#include "core/Winplace.h"
#include "database/DataModule.h"
#include "support/MainWindowParts.h"
#include "support/ScriptedDialogs.h"
#include "support/ScopedDataDir.h"
#include "tablelist/TableListWindow.h"
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace morvane;
using namespace morvane::test;

namespace {

class TableQueryTest : public ::testing::Test, protected MainWindowParts {
protected:
    void SetUp() override
    {
        session.settings.MaxPageRow = 55;
        logOn();
        showWithOwner("SCOTT");
    }

    // Answers the table list by moving to the named row and choosing it.
    void choose(const QString& name, QString* titleSeen = nullptr, QString* currentSeen = nullptr)
    {
        dialogs.handlers.push_back([=](QDialog& d) {
            auto& list = dynamic_cast<TF_Table&>(d);
            if (titleSeen)
                *titleSeen = list.windowTitle() + "|" + list.Edit2->text();
            if (currentSeen)
                *currentSeen = dm.AQ_Catalog.text("TABLE_NAME");
            if (!dm.AQ_Catalog.locateIgnoreCase("TABLE_NAME", name))
                return int(QDialog::Rejected);
            return int(QDialog::Accepted);
        });
        main.BitBtn2Click();
    }
    QStringList enabled()
    {
        QStringList on;
        for (QPushButton* b :
             {main.BitBtn3, main.BitBtn4, main.BitBtn1, main.BitBtn6, main.BitBtn9, main.BitBtn8})
            if (b->isEnabled())
                on << b->text();
        return on;
    }
};

} // namespace

TEST_F(TableQueryTest, ChoosingATableLoadsItAndEnablesItsButtons)
{
    QString title;
    choose("EMP", &title);
    EXPECT_EQ(title, "テーブル名一覧(SCOTT)|テーブル名順");
    EXPECT_EQ(main.Edit2->text(), "EMP");
    EXPECT_FALSE(main.Edit1->text().isEmpty());
    EXPECT_EQ(session.state.TableComment, "(" + main.Edit1->text() + ")");
    EXPECT_EQ(session.state.TableType, "TABLE");
    EXPECT_EQ(enabled(), QStringList({"印刷", "Preview", "Excel", "ANALYZE", "全ANALYZE"}));
    EXPECT_EQ(main.BitBtn1->toolTip(), "２ﾍﾟｰｼﾞ以降をExcelへ出力します。");
    main.FormPaint(); // a chosen table turns 全ANALYZE off at the next repaint
    EXPECT_FALSE(main.BitBtn8->isEnabled());
    EXPECT_FALSE(dm.AQ_Catalog.isOpen());
    EXPECT_GT(dm.AQ_Tab_Cols.recordCount(), 0);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.texts().join("/").toStdString();
}

TEST_F(TableQueryTest, ViewAndUserDefinedListKeepAnalyzeAndExcelOff)
{
    choose("EMP_DEPT_V");
    EXPECT_EQ(session.state.TableType, "VIEW");
    EXPECT_TRUE(main.BitBtn3->isEnabled());
    EXPECT_FALSE(main.BitBtn9->isEnabled());
    session.settings.UserSet = true;
    choose("DEPT");
    EXPECT_TRUE(main.BitBtn4->isEnabled());
    EXPECT_FALSE(main.BitBtn1->isEnabled());
    EXPECT_FALSE(main.BitBtn9->isEnabled());
}

TEST_F(TableQueryTest, ReopeningPositionsOnTheChosenNameAndCancelChangesNothing)
{
    choose("EMP");
    QString current;
    dialogs.handlers.push_back([&](QDialog&) {
        current = dm.AQ_Catalog.text("TABLE_NAME") + "/" + dm.AQ_Catalog.text("TABLE_TYPE");
        return int(QDialog::Rejected);
    });
    const QStringList before = enabled();
    main.BitBtn2Click();
    // Type-then-name order: the first TABLE row whose name begins with EMP.
    EXPECT_EQ(current, "EMP/TABLE");
    EXPECT_EQ(main.Edit2->text(), "EMP");
    EXPECT_EQ(enabled(), before);
    EXPECT_EQ(session.state.TableName, "EMP");
}

TEST_F(TableQueryTest, TableListFormLeavesOutSynonymsAndSequences)
{
    QStringList types;
    dialogs.handlers.push_back([&](QDialog&) {
        for (dm.AQ_Catalog.first(); !dm.AQ_Catalog.eof(); dm.AQ_Catalog.next())
            types << dm.AQ_Catalog.text("TABLE_TYPE");
        return int(QDialog::Rejected);
    });
    main.BitBtn2Click();
    ASSERT_FALSE(types.isEmpty());
    EXPECT_FALSE(types.contains("SYNONYM"));
    EXPECT_FALSE(types.contains("SEQUENCE"));
    EXPECT_TRUE(types.contains("VIEW"));
    // Sorted type first: tables before views.
    EXPECT_EQ(types.first(), "TABLE");
    EXPECT_EQ(types.last(), "VIEW");
}
