// The query object's cursor and field rules, and the CP932 measures they use.
#include "core/Cp932.h"
#include "database/Query.h"
#include <gtest/gtest.h>

using namespace morvane;

namespace {
// A query object with three rows.
struct ThreeRows : Query {
    ThreeRows() : Query("AQ_Test", 1)
    {
        ResultSet rs;
        rs.columns = {{"NAME", false}, {"N", true}, {"NOTE", false}};
        rs.rows = {{"EMP", "14", QString()}, {"EMPLOYEE", "3", "社員マスタ表"}, {"DEPT", "", "ｱｲｳ"}};
        openWith(rs);
    }
};
} // namespace

TEST(QueryCursor, EofAndBofKeepTheCursorOnTheEdgeRow)
{
    ThreeRows q;
    EXPECT_TRUE(q.bof());
    EXPECT_FALSE(q.eof());
    q.prior();
    EXPECT_TRUE(q.bof());
    EXPECT_EQ(q.text("NAME"), "EMP");
    q.next();
    q.next();
    EXPECT_FALSE(q.eof());
    q.next(); // past the end: the last row stays current
    EXPECT_TRUE(q.eof());
    EXPECT_EQ(q.text("NAME"), "DEPT");
    q.first();
    EXPECT_EQ(q.currentRow(), 0);
    q.last();
    EXPECT_TRUE(q.eof());

    Query empty("AQ_Empty", 2);
    empty.openWith(ResultSet{{{"NAME", false}}, {}});
    EXPECT_TRUE(empty.eof());
    EXPECT_TRUE(empty.bof());
    EXPECT_EQ(empty.text("NAME"), "");
}

TEST(QueryCursor, ValuesReadAsTextOrInteger)
{
    ThreeRows q;
    EXPECT_TRUE(q.isNull("NOTE"));
    EXPECT_EQ(q.text("note"), ""); // names ignore case, NULL reads empty
    EXPECT_EQ(q.integer("N"), 14);
    q.last();
    EXPECT_EQ(q.integer("N"), 0);
    EXPECT_THROW(q.text("MISSING"), DbError);
    q.close();
    EXPECT_THROW(q.text("NAME"), DbError); // a closed query is an error, not a blank
    EXPECT_THROW(q.next(), DbError);
}

TEST(QueryCursor, LocateExactIgnoringCaseOrByCaseSensitivePrefix)
{
    ThreeRows q;
    EXPECT_TRUE(q.locateIgnoreCase("NAME", "employee"));
    EXPECT_EQ(q.currentRow(), 1);
    EXPECT_FALSE(q.locateIgnoreCase("NAME", "EMPL"));
    EXPECT_EQ(q.currentRow(), 1); // a miss leaves the cursor
    EXPECT_TRUE(q.locatePrefix("NAME", "EMP"));
    EXPECT_EQ(q.currentRow(), 0);
    EXPECT_FALSE(q.locatePrefix("NAME", "emp"));
}

TEST(QueryCursor, FieldSizeNeverCutsAValue)
{
    ResultSet rs;
    rs.columns = {{"C", false}, {"N", true}};
    rs.rows = {{"社員マスタ表", "123456"}, {"ABCDEFGHIJ", "1"}, {"ｱｲｳｴｵｶｷｸ", "2"}};
    Query q("AQ_Cut", 6);
    q.setFieldSize("C", 5);
    q.setFieldSize("N", 2);
    q.openWith(rs);
    EXPECT_EQ(q.fieldSize("C"), 5);
    EXPECT_EQ(q.text("C"), "社員マスタ表");
    EXPECT_EQ(q.text("N"), "123456");
    q.next();
    EXPECT_EQ(q.text("C"), "ABCDEFGHIJ");
    q.last();
    EXPECT_EQ(q.valueAt(2, 0), "ｱｲｳｴｵｶｷｸ"); // what the grids read
}

TEST(QueryCursor, ViewsStopFollowingWhileControlsAreDisabled)
{
    ThreeRows q;
    QList<int> moves;
    QObject::connect(&q, &Query::currentRowChanged, [&](int row) { moves << row; });
    q.disableControls();
    q.next();
    q.next();
    EXPECT_EQ(moves.count(), 0);
    q.enableControls(); // one catch-up move to where the cursor is
    EXPECT_EQ(moves, QList<int>({2}));
    const Bookmark b = q.bookmark();
    q.first();
    q.gotoBookmark(b);
    EXPECT_EQ(q.text("NAME"), "DEPT");
    EXPECT_THROW(q.gotoBookmark(7), DbError);
}

TEST(Cp932Measure, BytesOfWindowsJapaneseText)
{
    EXPECT_EQ(cp932::byteLength("EMP"), 3);
    EXPECT_EQ(cp932::byteLength("社員"), 4);
    EXPECT_EQ(cp932::byteLength("ﾃｰﾌﾞﾙ"), 5);
    EXPECT_EQ(cp932::byteLength("～①髙"), 6); // Windows-only characters still encode
    EXPECT_EQ(cp932::leftBytes("A社B", 2), "A");
    EXPECT_EQ(cp932::leftBytes("A社B", 3), "A社");
    EXPECT_EQ(cp932::leftBytes("AB", 10), "AB");
    EXPECT_EQ(cp932::encode("～"), QByteArray("\x81\x60"));
    EXPECT_EQ(cp932::decode(cp932::encode("社員マスタ,\"x\"")), "社員マスタ,\"x\"");
    EXPECT_EQ(cp932::encode("😀A"), QByteArray("?A"));
}
