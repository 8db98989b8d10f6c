// The Oracle-to-SQLite rewrite, judged by the rows SQLite returns for it.
#include "database/embedded/OracleDialect.h"
#include "database/DbDriver.h"
#include <gtest/gtest.h>
#include <QStringList>
#include <sqlite3.h>

namespace morvane::testing {
namespace {

class EmbeddedDialect : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
        exec("CREATE TABLE A (ID, NAME);"
             "INSERT INTO A VALUES (1, 'one'), (2, 'two'), (3, 'three'), (4, NULL);"
             "CREATE TABLE B (ID, KIND, NOTE);"
             "INSERT INTO B VALUES (1, 'X', 'b1'), (2, 'Y', 'b2'), (3, 'X', NULL);"
             "CREATE TABLE C (ID, INFO);"
             "INSERT INTO C VALUES (1, 'c1'), (4, 'c4');");
    }
    void TearDown() override { sqlite3_close(db); }

    void exec(const char* sql) { ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK); }

    // Rows as "v|v|v", NULL shown as "-".
    QStringList rows(const QString& oracle)
    {
        const QByteArray text = embedded::toSqlite(oracle).toUtf8();
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, text.constData(), -1, &st, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << sqlite3_errmsg(db) << " in: " << text.constData();
            return {};
        }
        QStringList out;
        while (sqlite3_step(st) == SQLITE_ROW) {
            QStringList r;
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                const auto* v = sqlite3_column_text(st, c);
                r << (v ? QString::fromUtf8(reinterpret_cast<const char*>(v)) : QString("-"));
            }
            out << r.join('|');
        }
        sqlite3_finalize(st);
        return out;
    }

    sqlite3* db = nullptr;
};

TEST_F(EmbeddedDialect, OuterJoinsSelectOraclesRows)
{
    struct Case {
        const char* oracle;
        QStringList expected;
    };
    const Case cases[] = {
        {"SELECT A.ID, B.KIND FROM A, B WHERE A.ID = B.ID(+) ORDER BY A.ID", {"1|X", "2|Y", "3|X", "4|-"}},
        // A filter on the outer-joined table without the marker makes the join inner.
        // A bare ORDER BY name is the select-list column, though both tables have one.
        {"SELECT A.ID, B.KIND FROM A, B WHERE A.ID = B.ID(+) ORDER BY ID DESC", {"4|-", "3|X", "2|Y", "1|X"}},
        {"SELECT A.ID, B.KIND FROM A, B WHERE A.ID = B.ID(+) AND B.KIND = 'X' ORDER BY A.ID", {"1|X", "3|X"}},
        // With the marker it belongs to the join and keeps every row of A.
        {"SELECT A.ID, B.KIND FROM A, B WHERE A.ID = B.ID(+) AND B.KIND(+) = 'X' ORDER BY A.ID",
         {"1|X", "2|-", "3|X", "4|-"}},
        {"SELECT A.ID, B.KIND FROM A, B\nWHERE B.ID(+) = A.ID AND\nA.ID > 1\nORDER BY A.ID",
         {"2|Y", "3|X", "4|-"}},
        {"SELECT a.ID, b.NOTE, c.INFO FROM A a, B b, C c WHERE a.ID = b.ID (+) and a.ID = c.ID( + ) "
         "ORDER BY a.ID",
         {"1|b1|c1", "2|b2|-", "3|-|-", "4|-|c4"}},
        // Outer-joined table first in FROM, several predicates, a literal that looks like a marker.
        {"SELECT A.ID, '(+)' FROM B, A WHERE A.ID = B.ID(+) AND A.NAME = B.NOTE(+) AND "
         "A.ID BETWEEN 1 AND 3 ORDER BY A.ID",
         {"1|(+)", "2|(+)", "3|(+)"}},
        {"SELECT COUNT(*) FROM (SELECT A.ID FROM A, C WHERE A.ID = C.ID(+) AND C.INFO IS NULL) X", {"2"}},
        {"SELECT A.ID FROM A, C WHERE A.ID = C.ID(+) AND A.ID IN (SELECT B.ID FROM B, C WHERE "
         "B.ID = C.ID(+) AND C.ID IS NULL) ORDER BY 1",
         {"2", "3"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rows(c.oracle), c.expected) << c.oracle;
}

TEST_F(EmbeddedDialect, OrderByPutsNullsWhereOracleDoes)
{
    struct Case {
        const char* oracle;
        QStringList expected;
    };
    const Case cases[] = {
        {"SELECT NAME FROM A ORDER BY NAME", {"one", "three", "two", "-"}},
        {"SELECT NAME FROM A ORDER BY NAME ASC", {"one", "three", "two", "-"}},
        {"SELECT NAME FROM A ORDER BY NAME DESC", {"-", "two", "three", "one"}},
        {"SELECT NAME FROM A ORDER BY NAME NULLS FIRST", {"-", "one", "three", "two"}},
        {"SELECT ID, NOTE FROM B ORDER BY NOTE, ID", {"1|b1", "2|b2", "3|-"}},
        {"SELECT ID FROM (SELECT ID, NAME FROM A ORDER BY NAME LIMIT 3) ORDER BY ID", {"1", "2", "3"}},
        {"SELECT substr(NAME, 1, 2) FROM A ORDER BY substr(NAME, 1, 2)", {"on", "th", "tw", "-"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rows(c.oracle), c.expected) << c.oracle;
}

TEST_F(EmbeddedDialect, TextOutsideTheRewriteStaysAsWritten)
{
    // SQLite names unaliased columns by their text, so the select list must not change.
    const QString plain = "SELECT COUNT(*)\nFROM A\nWHERE ID = :OWNER";
    EXPECT_EQ(embedded::toSqlite(plain), plain);
    const QString joined =
        embedded::toSqlite("SELECT substr(A.NAME, 1, 2), B.KIND FROM A, B WHERE A.ID = B.ID(+)");
    EXPECT_TRUE(joined.startsWith("SELECT substr(A.NAME, 1, 2), B.KIND FROM A LEFT JOIN B ON A.ID = B.ID"))
        << joined.toStdString();
    EXPECT_FALSE(joined.contains("(+)"));
}

TEST_F(EmbeddedDialect, UntranslatableFormsFailWithOracleCodes)
{
    struct Case {
        const char* oracle;
        const char* code;
    };
    const Case cases[] = {
        {"SELECT * FROM A, B WHERE A.ID = B.ID(+) OR A.ID = 1", "ORA-01719"},
        {"SELECT * FROM A, B WHERE A.ID(+) = B.ID(+)", "ORA-01468"},
        {"SELECT * FROM A, B WHERE A.ID(+) = B.ID AND B.ID(+) = A.ID", "ORA-01416"},
        {"SELECT * FROM A JOIN B ON A.ID = B.ID WHERE A.ID = B.ID(+)", "ORA-25156"},
        {"SELECT * FROM A, B WHERE ID = B.ID AND NAME(+) = 'x'", "ORA-00904"},
        {"SELECT * FROM A, B WHERE A.ID = C.ID(+)", "ORA-00904"},
    };
    for (const Case& c : cases) {
        try {
            embedded::toSqlite(c.oracle);
            ADD_FAILURE() << "accepted: " << c.oracle;
        } catch (const DbError& e) {
            EXPECT_TRUE(e.message().startsWith(c.code)) << c.oracle << ": " << e.message().toStdString();
        }
    }
}

} // namespace
} // namespace morvane::testing
