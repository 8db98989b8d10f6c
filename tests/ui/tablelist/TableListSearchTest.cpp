#include "database/DataModule.h"
#include "support/FakePlatform.h"
#include <gtest/gtest.h>
#include <string>

using namespace morvane;

namespace {

ResultSet catalogOf(const QStringList& names)
{
    ResultSet rs;
    rs.columns = {{"OWNER"}, {"TABLE_NAME"}, {"TABLE_TYPE"}, {"COMMENTS"}};
    for (const QString& n : names)
        rs.rows.push_back({"SCOTT", n, "TABLE", QString()});
    return rs;
}

const QStringList kNames = {"DEPT",       "EMP",  "EMPLOYEE", "emp_hist", "SALGRADE",
                            "社員マスタ", "社員", "ｼｬｲﾝ",     "X"};

struct SearchCase {
    int start;
    bool forward;
    QString text;
    bool found;
    int endRow;
};

class TableListSearch : public ::testing::TestWithParam<SearchCase> { };

// Stable, readable names and values: "ForwardFrom0_U793EU54E1_FindsRow5".
std::string readable(const QString& text)
{
    std::string out;
    for (const QChar ch : text) {
        const ushort u = ch.unicode();
        out += (u < 128 && (ch.isLetterOrNumber() || u == '_'))
                   ? std::string(1, char(u))
                   : QStringLiteral("u%1").arg(u, 4, 16, QLatin1Char('0')).toUpper().toStdString();
    }
    return out;
}
std::string caseName(const ::testing::TestParamInfo<SearchCase>& info)
{
    const SearchCase& c = info.param;
    return std::string(c.forward ? "Forward" : "Backward") + "From" + std::to_string(c.start) + "_"
           + readable(c.text) + (c.found ? "_FindsRow" : "_StopsAtRow") + std::to_string(c.endRow);
}
void PrintTo(const SearchCase& c, std::ostream* os)
{
    *os << (c.forward ? "forward" : "backward") << " from " << c.start << " for " << c.text.toStdString();
}

} // namespace

TEST_P(TableListSearch, FindsPrefixFromTheNextRowWithoutWrapping)
{
    const SearchCase c = GetParam();
    Session session;
    TDataModule2 dm(session);
    dm.Tag = SlotCatalog;
    dm.AQ_Catalog.openWith(catalogOf(kNames));
    dm.AQ_Catalog.gotoBookmark(c.start);
    test::RecordingMessages messages;

    const bool found =
        c.forward ? dm.SearchForward("TABLE_NAME", c.text) : dm.SearchBackward("TABLE_NAME", c.text);

    EXPECT_EQ(found, c.found) << c.text.toStdString();
    EXPECT_EQ(dm.AQ_Catalog.currentRow(), c.endRow) << c.text.toStdString();
    EXPECT_FALSE(dm.AQ_Catalog.controlsDisabled());
    if (c.found) {
        EXPECT_TRUE(messages.shown.isEmpty());
    } else {
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].kind, MessageKind::Error);
        EXPECT_EQ(messages.shown[0].text, QStringLiteral("該当するデータがありません。"));
    }
}

INSTANTIATE_TEST_SUITE_P(TableListSearchCases, TableListSearch,
                         ::testing::Values(
                             // never the current row itself
                             SearchCase{1, true, "EMP", true, 2},
                             // case is ignored
                             SearchCase{2, true, "EMP", true, 3}, SearchCase{0, true, "emp_H", true, 3},
                             // no wrap: forward ends on the last row, backward on the first
                             SearchCase{3, true, "EMP", false, 8}, SearchCase{8, true, "DEPT", false, 8},
                             SearchCase{3, false, "EMP", true, 2}, SearchCase{1, false, "EMP", false, 0},
                             SearchCase{0, false, "DEPT", false, 0},
                             // a text longer than the value never matches it
                             SearchCase{0, true, "EMPLOYEES", false, 8},
                             // Japanese values cut to the search text's CP932 byte length
                             SearchCase{0, true, "社員", true, 5}, SearchCase{5, true, "社員", true, 6},
                             SearchCase{0, true, "社員マ", true, 5},
                             SearchCase{0, true, "社員マスタ表", false, 8},
                             SearchCase{0, true, "ｼｬｲ", true, 7},
                             SearchCase{8, false, "社員マスタ", true, 5}),
                         caseName);

TEST(TableListSearchCursor, GridFollowsOnlyTheEndOfTheWalk)
{
    Session session;
    TDataModule2 dm(session);
    dm.Tag = SlotCatalog;
    dm.AQ_Catalog.openWith(catalogOf(kNames));
    test::RecordingMessages messages;
    QList<int> seen;
    QObject::connect(&dm.AQ_Catalog, &Query::currentRowChanged, [&](int r) { seen << r; });

    EXPECT_TRUE(dm.SearchForward("TABLE_NAME", "X"));
    EXPECT_EQ(seen, QList<int>{8});
    seen.clear();
    EXPECT_FALSE(dm.SearchBackward("TABLE_NAME", "Q"));
    EXPECT_EQ(seen, QList<int>{0});
}

TEST(TableListSearchCursor, WorksOnTheSlotNamedByTagAndReleasesControlsOnError)
{
    Session session;
    TDataModule2 dm(session);
    dm.AQ_Tab_Cols.openWith(catalogOf({"A", "B", "AB"}));
    dm.Tag = SlotTabCols;
    test::RecordingMessages messages;
    EXPECT_TRUE(dm.SearchForward("TABLE_NAME", "AB"));
    EXPECT_EQ(dm.AQ_Tab_Cols.currentRow(), 2);

    dm.AQ_Tab_Cols.first();
    EXPECT_THROW(dm.SearchForward("NO_SUCH_FIELD", "A"), DbError);
    EXPECT_FALSE(dm.AQ_Tab_Cols.controlsDisabled());

    dm.AQ_Tab_Cols.close();
    EXPECT_THROW(dm.SearchForward("TABLE_NAME", "A"), DbError);
    EXPECT_FALSE(dm.AQ_Tab_Cols.controlsDisabled());
}
