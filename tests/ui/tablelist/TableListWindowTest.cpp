#include "tablelist/TableListWindow.h"
#include "tablelist/CatalogGridModel.h"
#include "tablelist/TableNavigator.h"
#include "database/DataModule.h"
#include "database/SqlTrace.h"
#include "database/Statements.h"
#include "support/ScriptedDialogs.h"
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <gtest/gtest.h>
#include <algorithm>

using namespace morvane;

namespace {

// Answers the catalog statement from fixed rows, in the order its ORDER BY names
// (empty values last, as the server sorts NULLs in ascending order).
class CatalogDriver : public IDbDriver {
public:
    void logon(const LogonParams&) override { m_connected = true; }
    void logoff() noexcept override { m_connected = false; }
    bool isConnected() const override { return m_connected; }
    ResultSet query(const QString& sql, const BindList&) override
    {
        if (failNext) {
            failNext = false;
            throw DbError("ORA-00942: table or view does not exist");
        }
        ResultSet rs;
        rs.columns = {{"OWNER"}, {"TABLE_NAME"}, {"TABLE_TYPE"}, {"COMMENTS"}};
        rs.rows = {{"SCOTT", "EMP", "TABLE", "社員マスタ"},   {"SCOTT", "DEPT", "TABLE", "部署"},
                   {"SCOTT", "EMP_VIEW", "VIEW", QString()},  {"SCOTT", "BONUS", "TABLE", "賞与"},
                   {"SCOTT", "EMPLOYEE", "TABLE", QString()}, {"SCOTT", "AUDIT_V", "VIEW", "監査"}};
        const QString order = sql.section("ORDER BY ", 1).trimmed();
        QVector<int> keys;
        for (const QString& k : order.split(',', Qt::SkipEmptyParts)) {
            const QString name = k.trimmed();
            const auto it = std::find_if(rs.columns.begin(), rs.columns.end(),
                                         [&](const ColumnMeta& c) { return c.name == name; });
            keys << static_cast<int>(it - rs.columns.begin());
        }
        std::stable_sort(rs.rows.begin(), rs.rows.end(), [&](const auto& a, const auto& b) {
            for (int k : keys) {
                if (a[k].isEmpty() != b[k].isEmpty())
                    return b[k].isEmpty();
                if (a[k] != b[k])
                    return a[k] < b[k];
            }
            return false;
        });
        return rs;
    }
    void execute(const QString&, const BindList&) override { }
    bool failNext = false;

private:
    bool m_connected = false;
};

class TableListWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto d = std::make_unique<CatalogDriver>();
        driver = d.get();
        dm.Database1_ADO.setDriverForTesting(std::move(d));
        dm.Database1_ADO.open();
        session.settings.LAST_OWNER = "SCOTT";
        dm.Tag = SlotCatalog;
        window = std::make_unique<TF_Table>(dm, session);
    }
    // What the main window's query button does before showing the list.
    void openAsForChoice()
    {
        window->prepareForChoice("SCOTT");
        session.state.CatalogSortCaption = "テーブル名";
        session.state.CatalogSortKey = "TABLE_TYPE, TABLE_NAME";
        window->RefreshCatalog();
    }
    QString cell(int row, int column) const
    {
        return window->gridModel()->index(row, column).data().toString();
    }

    Session session;
    TDataModule2 dm{session};
    CatalogDriver* driver = nullptr;
    std::unique_ptr<TF_Table> window;
    test::RecordingMessages messages;
};

struct TitleCase {
    int column;
    QString orderBy;
    QString sortField;
    QString firstName;
    QString secondName;
};

} // namespace

TEST_F(TableListWindow, OpensInTypeThenNameOrder)
{
    TraceRecorder trace;
    openAsForChoice();
    ASSERT_EQ(trace.entries().size(), 1);
    EXPECT_EQ(trace.entries()[0].queryName, "AQ_Catalog");
    EXPECT_EQ(trace.entries()[0].sql, sql::catalogTableList("SCOTT", "TABLE_TYPE, TABLE_NAME").join('\n'));
    EXPECT_EQ(window->Edit2->text(), "テーブル名順");
    EXPECT_EQ(window->windowTitle(), "テーブル名一覧(SCOTT)");
    EXPECT_TRUE(window->BitFind->isVisibleTo(window.get()));
    EXPECT_EQ(window->BitClose->text(), "キャンセル");
    ASSERT_EQ(window->gridModel()->rowCount(), 6);
    EXPECT_EQ(cell(0, 1), "BONUS");
    EXPECT_EQ(cell(4, 1), "AUDIT_V");
    EXPECT_EQ(dm.AQ_Catalog.currentRow(), 0);
    EXPECT_EQ(window->DBGrid1->currentIndex().row(), 0);
}

TEST_F(TableListWindow, TitleClickSortsEmptiesSearchAndSelectionAndGoesToFirstRow)
{
    const TitleCase cases[] = {
        {0, "OWNER", "OWNER順", "EMP", "DEPT"},
        {1, "TABLE_NAME", "テーブル名順", "AUDIT_V", "BONUS"},
        {2, "COMMENTS", "テーブルコメント順", "AUDIT_V", "EMP"},
        {3, "TABLE_TYPE, TABLE_NAME", "テーブルタイプ順", "BONUS", "DEPT"},
    };
    openAsForChoice();
    for (const TitleCase& c : cases) {
        dm.AQ_Catalog.gotoBookmark(3);
        window->selectBookmarks({1, 4});
        window->Edit1->setText("EMP");
        TraceRecorder trace;

        window->DBGrid1TitleClick(c.column);

        ASSERT_EQ(trace.entries().size(), 1);
        EXPECT_EQ(trace.entries()[0].sql, sql::catalogTableList("SCOTT", c.orderBy).join('\n'));
        EXPECT_EQ(session.state.CatalogSortKey, c.orderBy);
        EXPECT_EQ(window->Edit2->text(), c.sortField);
        EXPECT_TRUE(window->Edit1->text().isEmpty());
        EXPECT_TRUE(window->selectedBookmarks().isEmpty());
        EXPECT_EQ(dm.AQ_Catalog.currentRow(), 0);
        EXPECT_EQ(cell(0, 1), c.firstName);
        EXPECT_EQ(cell(1, 1), c.secondName);
    }
}

TEST_F(TableListWindow, HeaderClickReachesTheSortAndFailuresRestoreTheCursor)
{
    openAsForChoice();
    emit window->DBGrid1->horizontalHeader()->sectionClicked(2);
    EXPECT_EQ(session.state.CatalogSortKey, "COMMENTS");

    driver->failNext = true;
    platform::setBusyCursor();
    EXPECT_THROW(window->DBGrid1TitleClick(1), DbError);
    EXPECT_FALSE(platform::isBusyCursor());
    EXPECT_EQ(window->gridModel()->rowCount(), 0);
}

TEST_F(TableListWindow, NoRequeryWhileTheSortCaptionIsEmpty)
{
    TraceRecorder trace;
    session.state.CatalogSortKey = "TABLE_NAME";
    window->Edit2->setText("before");
    window->RefreshCatalog();
    EXPECT_TRUE(trace.entries().isEmpty());
    EXPECT_EQ(window->Edit2->text(), "before");
    EXPECT_FALSE(dm.AQ_Catalog.isOpen());
}

TEST_F(TableListWindow, SearchButtonsUseTheColumnOfTheOrder)
{
    openAsForChoice(); // BONUS DEPT EMP EMPLOYEE AUDIT_V EMP_VIEW
    window->SpeedPriorClick(window->SpeedNext);
    ASSERT_EQ(messages.texts(), QStringList{"検索する条件を入力して下さい。"});
    EXPECT_EQ(dm.AQ_Catalog.currentRow(), 0);

    window->Edit1->setText("emp");
    EXPECT_EQ(window->Edit1->text(), "EMP");
    dm.Tag = SlotTabCols; // left behind by a dictionary load
    window->SpeedNext->click();
    EXPECT_EQ(dm.AQ_Catalog.currentRow(), 2);
    window->SpeedNext->click();
    EXPECT_EQ(dm.AQ_Catalog.currentRow(), 3);
    EXPECT_EQ(window->DBGrid1->currentIndex().row(), 3);
    window->SpeedPrior->click();
    EXPECT_EQ(dm.AQ_Catalog.currentRow(), 2);

    window->DBGrid1TitleClick(2); // 監査 社員マスタ 賞与 部署 - -
    window->Edit1->setText("賞");
    window->SpeedNext->click();
    EXPECT_EQ(cell(dm.AQ_Catalog.currentRow(), 1), "BONUS");
    EXPECT_EQ(messages.shown.size(), 1);
}

TEST_F(TableListWindow, GridAndNavigatorShareTheCursor)
{
    openAsForChoice();
    auto* grid = window->DBGrid1;
    grid->setCurrentIndex(window->gridModel()->index(4, 1));
    EXPECT_EQ(dm.AQ_Catalog.currentRow(), 4);

    window->DBNavigator->nextButton()->click();
    EXPECT_EQ(dm.AQ_Catalog.currentRow(), 5);
    EXPECT_EQ(grid->currentIndex().row(), 5);
    EXPECT_FALSE(window->DBNavigator->lastButton()->isEnabled());
    window->DBNavigator->firstButton()->click();
    EXPECT_EQ(grid->currentIndex().row(), 0);
    EXPECT_FALSE(window->DBNavigator->priorButton()->isEnabled());

    window->selectBookmarks({5, 1, 3});
    EXPECT_EQ(window->selectedBookmarks(), (QList<Bookmark>{1, 3, 5}));
}

TEST_F(TableListWindow, GridShowsTheFourColumnsAsTitled)
{
    openAsForChoice();
    CatalogGridModel* m = window->gridModel();
    const QStringList titles = {"OWNER", "テーブル名", "テーブルコメント", "テーブルタイプ"};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(m->headerData(c, Qt::Horizontal).toString(), titles[c]);
        EXPECT_EQ(m->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(),
                  Qt::AlignCenter);
        const auto align = m->index(0, c).data(Qt::TextAlignmentRole).value<Qt::Alignment>();
        EXPECT_EQ(bool(align & Qt::AlignHCenter), c == 0 || c == 3) << c;
    }
    EXPECT_EQ(cell(2, 0), "SCOTT");
    EXPECT_EQ(cell(2, 2), "社員マスタ");
    EXPECT_EQ(cell(2, 3), "TABLE");
    EXPECT_EQ(cell(3, 2), ""); // EMPLOYEE has no comment
    const int w15 = window->DBGrid1->horizontalHeader()->sectionSize(0);
    const int w45 = window->DBGrid1->horizontalHeader()->sectionSize(2);
    EXPECT_GT(w45, 2 * w15);
}

TEST_F(TableListWindow, ChooseAndCancelResults)
{
    openAsForChoice();
    test::ScriptedDialogs dialogs;
    dialogs.handlers.push_back([&](QDialog& d) {
        const QModelIndex row2 = window->gridModel()->index(2, 1);
        window->DBGrid1->setCurrentIndex(row2);
        emit window->DBGrid1->doubleClicked(row2);
        return d.result();
    });
    dialogs.handlers.push_back([&](QDialog& d) {
        window->BitFind->click();
        return d.result();
    });
    dialogs.handlers.push_back([&](QDialog& d) {
        window->BitClose->click();
        return d.result();
    });
    EXPECT_EQ(platform::dialogs().exec(*window), QDialog::Accepted);
    EXPECT_EQ(dm.AQ_Catalog.text("TABLE_NAME"), "EMP");
    EXPECT_EQ(platform::dialogs().exec(*window), QDialog::Accepted);
    EXPECT_EQ(platform::dialogs().exec(*window), QDialog::Rejected);
    EXPECT_EQ(dialogs.titles.front(), "テーブル名一覧(SCOTT)");

    // Nothing to choose in an empty list.
    ResultSet none;
    none.columns = {{"OWNER"}, {"TABLE_NAME"}, {"TABLE_TYPE"}, {"COMMENTS"}};
    dm.AQ_Catalog.openWith(none);
    window->setResult(-1);
    window->BitFind->click();
    EXPECT_EQ(window->result(), -1);
}

TEST_F(TableListWindow, EscapeCancelsOnlyAfterPreparation)
{
    auto pressEscape = [&] {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &esc);
    };
    window->show();
    pressEscape();
    EXPECT_TRUE(window->isVisible());
    window->prepareForChoice("SCOTT");
    pressEscape();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Rejected);
}

TEST_F(TableListWindow, ShowEnablesExportAndMultiPrintHooks)
{
    int exports = 0, prints = 0;
    window->onExport = [&] { ++exports; };
    window->onMultiPrint = [&] { ++prints; };
    EXPECT_FALSE(window->BitBtn1->isEnabled());
    window->BitBtn1->click();
    EXPECT_EQ(exports, 0);

    window->show();
    EXPECT_TRUE(window->BitBtn1->isEnabled());
    EXPECT_EQ(window->BitBtn1->toolTip(), "テーブル名一覧を、ＥＸＣＥＬへ出力します。");
    EXPECT_EQ(window->BitBtn3->toolTip(), "選択したテーブルの仕様書を印刷する。（マルチ選択ＯＫ）");
    window->BitBtn1->click();
    window->BitBtn3->click();
    EXPECT_EQ(exports, 1);
    EXPECT_EQ(prints, 1);
    window->hide();
}

TEST_F(TableListWindow, ButtonsStayAtThePanelsRightEdge)
{
    EXPECT_EQ(window->BitClose->geometry(), QRect(580, 12, 90, 65));
    EXPECT_EQ(window->BitFind->geometry(), QRect(480, 12, 90, 65));
    EXPECT_EQ(window->DBGrid1->mapTo(window.get(), QPoint(0, 0)).y(), 89 + 4);
    window->show();
    window->resize(800, 500);
    EXPECT_EQ(window->BitClose->x(), 700);
    EXPECT_EQ(window->BitFind->x(), 600);
    window->hide();
}
