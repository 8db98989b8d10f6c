// The one per-object run, over the demo dictionary.
#include "database/DataModule.h"
#include "database/ObjectRun.h"
#include "support/DemoLogon.h"
#include "support/FakePlatform.h"
#include "support/ScopedDataDir.h"
#include <gtest/gtest.h>

using namespace morvane;
using namespace morvane::test;

namespace {

class ObjectRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        openDemo(dm.Database1_ADO);
        session.settings.MaxPageRow = 55;
    }
    Query& openCatalog(const QString& owner)
    {
        session.settings.LAST_OWNER = owner;
        return dm.openCatalog(TDataModule2::CatalogForm::AllObjects, owner);
    }
    ScopedDataDir data;
    Session session;
    TDataModule2 dm{session};
    RecordingMessages messages;
};

} // namespace

TEST_F(ObjectRunTest, LoadsEachObjectActsAndCountsFailuresGoingOn)
{
    QStringList acted, chosen, loadFailed;
    int between = 0;
    ObjectRunSteps steps;
    steps.chosen = [&](const CatalogRow& r) { chosen << r.name; };
    steps.act = [&](const CatalogRow& r) {
        acted << r.name + "|" + session.state.TableComment + "|"
                     + QString::number(session.state.RowCounts[SlotTabCols]);
        return r.name != "ORDERS"; // the action itself may fail
    };
    steps.loadFailed = [&](const CatalogRow& r) { loadFailed << r.name; };
    steps.between = [&] { ++between; };
    const ObjectRunResult r = runPerObject(dm, "SALES", queryRows(openCatalog("SALES")), steps);

    // Name order, no sequences; STAFF points into another owner and fails its load.
    EXPECT_EQ(chosen, (QStringList{"CUSTOMER", "MONTHLY_SALES", "ORDERS", "ORDER_DETAIL", "ORDER_LIST",
                                   "PRODUCT", "STAFF", "V_ORDER_LIST", "V_PRODUCT_SALES"}));
    EXPECT_EQ(loadFailed, QStringList{"STAFF"});
    EXPECT_EQ(messages.shown.size(), 1); // the load's own message
    EXPECT_EQ(r.objects, 9);
    EXPECT_EQ(r.failed, 2); // STAFF's load and ORDERS' action
    EXPECT_EQ(acted.size(), 8);
    EXPECT_EQ(between, 9);
    // Each object acts on its own comment and its own loaded columns.
    EXPECT_TRUE(acted.first().startsWith("CUSTOMER|(顧客マスタ)|")) << acted.first().toStdString();
    EXPECT_NE(acted.first().section('|', 2), "0");
    EXPECT_TRUE(dm.AQ_Catalog.eof());
}

TEST_F(ObjectRunTest, CommentAndLoadStepsCanBeLeftToTheCaller)
{
    session.state.TableComment = "(kept)";
    session.state.ColumnPageCount = 42;
    QStringList seen;
    ObjectRunSteps steps;
    steps.setComment = false;
    steps.load = false;
    steps.act = [&](const CatalogRow& r) {
        seen << r.name + "|" + r.type + "|" + session.state.TableComment + "|"
                    + QString::number(session.state.ColumnPageCount);
        return true;
    };
    Query& catalog = openCatalog("SCOTT");
    // Bookmarks are visited in the order given.
    catalog.first();
    const Bookmark dept = (catalog.locateIgnoreCase("TABLE_NAME", "DEPT"), catalog.bookmark());
    const Bookmark bonus = (catalog.locateIgnoreCase("TABLE_NAME", "BONUS"), catalog.bookmark());
    const ObjectRunResult r = runPerObject(dm, "SCOTT", bookmarkRows(catalog, {dept, bonus}), steps);
    EXPECT_EQ(seen, (QStringList{"DEPT|TABLE|(kept)|42", "BONUS|TABLE|(kept)|42"}));
    EXPECT_EQ(r.failed, 0);
    EXPECT_EQ(session.state.TableName, "BONUS");

    seen.clear();
    runPerObject(dm, "SCOTT", listRows({{"X", "VIEW", "c"}}), steps);
    EXPECT_EQ(seen, QStringList{"X|VIEW|(kept)|42"});
}

TEST_F(ObjectRunTest, TheRunsOwnerTravelsAsAValueAndTheSettingsRecordStaysAsChosen)
{
    // The windows' chosen owner is not the run's: nothing may read or write it.
    session.settings.LAST_OWNER = "HR";
    QStringList seen;
    ObjectRunSteps steps;
    steps.act = [&](const CatalogRow&) {
        const LoadedObject& l = dm.loaded();
        seen << l.owner + "." + l.name + (l.isSynonym ? " via " + l.synonymOwner + "." + l.synonymName : "")
                    + " " + QString::number(l.rowCounts[SlotTabCols]) + "|" + session.state.TableName;
        return true;
    };
    const ObjectRunResult r = runPerObject(
        dm, "SALES", listRows({{"ORDER_LIST", "SYNONYM", ""}, {"CUSTOMER", "TABLE", ""}}), steps);
    EXPECT_EQ(r.failed, 0);
    ASSERT_EQ(seen.size(), 2);
    EXPECT_TRUE(seen[0].startsWith("SALES.V_ORDER_LIST via SALES.ORDER_LIST ")) << seen[0].toStdString();
    EXPECT_TRUE(seen[0].endsWith("|V_ORDER_LIST")) << seen[0].toStdString(); // the windows see the target
    EXPECT_TRUE(seen[1].startsWith("SALES.CUSTOMER ")) << seen[1].toStdString();
    EXPECT_NE(seen[1].section(' ', 1).section('|', 0, 0), "0");
    EXPECT_EQ(session.settings.LAST_OWNER, "HR");

    // The chosen object's load keeps its own effect on the shared records.
    session.settings.LAST_OWNER = "SALES";
    session.state.TableName = "ORDER_LIST";
    session.state.TableType = "SYNONYM";
    ASSERT_TRUE(dm.LoadTableDictionary());
    EXPECT_EQ(session.state.TableName, "V_ORDER_LIST");
    EXPECT_TRUE(session.state.IsSynonym);
    EXPECT_EQ(session.settings.LAST_OWNER, "SALES");

    // The owner list as the main window and morvane-doc read it.
    EXPECT_EQ(dm.ownerNames(), (QStringList{"GUEST", "HR", "SALES", "SCOTT"}));
    EXPECT_FALSE(dm.AQ_Owner.isOpen());
}

TEST_F(ObjectRunTest, ASummaryKeepsEachFailureWithItsObjectAndShowsThemOnceAtTheEnd)
{
    {
        FailureSummary failures;
        ObjectRunSteps steps;
        steps.failures = &failures;
        steps.act = [&](const CatalogRow& r) {
            if (r.name == "ORDERS")
                platform::warning("印刷エラー。\n\rthe queue refused it");
            if (r.name == "PRODUCT") // information and questions are not held back
                platform::messages().show(MessageKind::Confirmation, "?", MessageButtons::YesNo);
            return r.name != "ORDERS";
        };
        steps.loadFailed = [](const CatalogRow&) {
            platform::warning("ＯＲＡＣＬＥデータベースオープンエラー。");
        };
        runPerObject(dm, "SALES", queryRows(openCatalog("SALES")), steps);
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].kind, MessageKind::Confirmation);
        ASSERT_EQ(failures.failures().size(), 2);
        EXPECT_EQ(failures.failures()[0].object, "SALES.ORDERS");
        EXPECT_EQ(failures.failures()[0].reasons, QStringList{"印刷エラー。 the queue refused it"});
        // The load's own reason, then the run's warning, under one name.
        EXPECT_EQ(failures.failures()[1].object, "SALES.STAFF");
        ASSERT_EQ(failures.failures()[1].reasons.size(), 2);
        EXPECT_EQ(failures.failures()[1].reasons[1], "ＯＲＡＣＬＥデータベースオープンエラー。");
    }
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(messages.shown[1].kind, MessageKind::Warning);
    const QStringList lines = messages.shown[1].text.split("\n\r");
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "9件中2件のオブジェクトを処理できませんでした。");
    EXPECT_EQ(lines[1], "・SALES.ORDERS：印刷エラー。 the queue refused it");
    EXPECT_TRUE(lines[2].startsWith("・SALES.STAFF：")) << lines[2].toStdString();
    EXPECT_TRUE(lines[2].endsWith(" ／ ＯＲＡＣＬＥデータベースオープンエラー。"));

    // A run where nothing failed ends without a box.
    messages.shown.clear();
    {
        FailureSummary quiet;
        quiet.beginObject("A");
    }
    EXPECT_TRUE(messages.shown.isEmpty());
}
