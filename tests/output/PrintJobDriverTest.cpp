// The job driver against a device double: pages, breaks and the abort path.
#include "document/DocumentData.h"
#include "document/RecordingCanvas.h"
#include "output/PrintJob.h"
#include "support/FakePlatform.h"
#include <gtest/gtest.h>

using namespace morvane;

namespace {

class FakeJob : public output::IPrintJob {
public:
    void setTitle(const QString& t) override { log << "title " + t; }
    bool beginDoc() override
    {
        log << "begin";
        return beginOk;
    }
    bool newPage() override
    {
        log << "newPage";
        return ++breaks != failBreak;
    }
    bool endDoc() override
    {
        log << "end";
        return true;
    }
    void abortDoc() override { log << "abort"; }
    document::ICanvas& canvas() override
    {
        log << "page";
        return recorder;
    }
    int resolution() override { return 600; }
    QStringList log;
    bool beginOk = true;
    int breaks = 0, failBreak = -1;
    document::RecordingCanvas recorder;
};

document::DocumentData view(int columnPages)
{
    document::DocumentData d;
    d.owner = "SCOTT";
    d.tableName = "EMP_V";
    d.tableType = "VIEW";
    d.maxPageRow = 1;
    d.rowCounts[SlotTabCols] = columnPages;
    return d;
}

} // namespace

TEST(PrintJobDriver, BreaksComeOnlyBetweenPagesAndAFailureAborts)
{
    test::RecordingMessages messages; // pages of an empty value may warn; the job goes on
    FakeJob all;
    EXPECT_TRUE(output::printDocument(all, view(3), output::RangeAllPages));
    EXPECT_EQ(all.log, QStringList({"title DataBase仕様書( EMP_V )", "begin", "page", "newPage", "page",
                                    "newPage", "page", "newPage", "page", "end"}));

    FakeJob none;
    EXPECT_TRUE(output::printDocument(none, view(0), output::RangeFromSecondPage));
    EXPECT_EQ(none.log, QStringList({"title DataBase仕様書( EMP_V )", "begin", "end"}));

    FakeJob broken;
    broken.failBreak = 2;
    EXPECT_FALSE(output::printDocument(broken, view(3), output::RangeFromSecondPage));
    EXPECT_EQ(broken.log.mid(1), QStringList({"begin", "page", "newPage", "page", "newPage", "abort"}));

    FakeJob refused;
    refused.beginOk = false;
    EXPECT_FALSE(output::printDocument(refused, view(1), output::RangeAllPages));
    EXPECT_EQ(refused.log.mid(1), QStringList({"begin", "abort"}));

    // A synonym's job is titled by the synonym, not by the target it prints.
    document::DocumentData synonym = view(0);
    synonym.isSynonym = true;
    synonym.synonymName = "EMPLOYEES";
    FakeJob named;
    output::printDocument(named, synonym, output::RangeFromSecondPage);
    EXPECT_EQ(named.log.value(0), "title DataBase仕様書( EMPLOYEES )");
}
