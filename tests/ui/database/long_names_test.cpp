// Names and comments past the old fixed widths travel whole from the
// dictionary through the table list and the choice to the column list.
#include "app/MainWindow.h"
#include "core/Winplace.h"
#include "database/DataModule.h"
#include "database/embedded/DictionaryGenerator.h"
#include "support/MainWindowParts.h"
#include "support/ScriptedDialogs.h"
#include "support/ScopedDataDir.h"
#include "tablelist/TableListWindow.h"
#include "core/Cp932.h"
#include <QComboBox>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace morvane;
using namespace morvane::test;
using namespace morvane::embedded;

namespace {

class LongNames : public ::testing::Test, protected MainWindowParts {
protected:
    void SetUp() override
    {
        GeneratorOptions o;
        o.owners = 0;
        o.objectsPerOwner = 0;
        o.oddOwner = true;
        generateDictionary(data.path() + "/ODDS.db", o);
        session.settings.MaxPageRow = 55;
        logOn("ODDS");
        dm.AdjustColumnWidths();
        showWithOwner("ODD");
    }

    // Chooses the named row in the table list; returns what its grid showed there.
    QStringList choose(const QString& name)
    {
        QStringList shown;
        dialogs.handlers.push_back([&](QDialog& d) {
            auto& list = dynamic_cast<TF_Table&>(d);
            if (!dm.AQ_Catalog.locateIgnoreCase("TABLE_NAME", name))
                return int(QDialog::Rejected);
            const QAbstractItemModel* grid = list.DBGrid1->model();
            for (int c = 0; c < grid->columnCount(); ++c)
                shown << grid->index(dm.AQ_Catalog.currentRow(), c).data().toString();
            return int(QDialog::Accepted);
        });
        main.BitBtn2Click();
        return shown;
    }
};

} // namespace

TEST_F(LongNames, FixtureIsPastTheOldWidths)
{
    EXPECT_EQ(cp932::byteLength(oddLongTableName()), 128);
    EXPECT_EQ(oddWideTableName().size(), 30);
    EXPECT_EQ(cp932::byteLength(oddLongComment()), 4000);
}

TEST_F(LongNames, LongNameAndCommentReachTheColumnList)
{
    const QStringList shown = choose(oddLongTableName());
    ASSERT_EQ(shown.size(), 4);
    EXPECT_EQ(shown[1], oddLongTableName());
    EXPECT_EQ(shown[2], oddLongComment());
    EXPECT_EQ(main.Edit2->text(), oddLongTableName());
    EXPECT_EQ(main.Edit1->text(), oddLongComment());
    EXPECT_EQ(session.state.TableComment, "(" + oddLongComment() + ")");
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.texts().join('|').toStdString();

    Query& cols = dm.AQ_Tab_Cols;
    ASSERT_EQ(cols.recordCount(), 4);
    EXPECT_EQ(session.state.RowCounts[SlotTabCols], 4);
    EXPECT_EQ(session.state.RowCounts[SlotTables], 1);
    cols.last();
    EXPECT_EQ(cols.text("COLUMN_NAME"), oddLongColumnName());
    EXPECT_EQ(cols.text("COMMENTS"), oddLongComment());
}

TEST_F(LongNames, FullWidthNameIsFoundByItsWholeName)
{
    const QStringList shown = choose(oddWideTableName());
    ASSERT_EQ(shown.size(), 4);
    EXPECT_EQ(shown[1], oddWideTableName());
    EXPECT_EQ(session.state.TableName, oddWideTableName());
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.texts().join('|').toStdString();
    EXPECT_EQ(dm.AQ_Tab_Cols.recordCount(), 3);
    EXPECT_EQ(dm.AQ_Indexes.recordCount(), 1);
}
