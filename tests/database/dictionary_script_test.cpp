// The dictionary script loader: statements that only look like the engine's
// ANALYZE are reported with their line, never run as one.
#include "database/DbDriver.h"
#include "database/embedded/DictionaryScript.h"
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace morvane;

TEST(DictionaryScript, WordsThatBeginWithAnalyzeAreReportedWithTheirLine)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    struct Case {
        QByteArray script;
        QString where;
    } cases[] = {
        {"CREATE TABLE T (A);\nANALYZED_T;\n", "t.sql 2行目"},
        {"analyzer;", "t.sql 1行目"},
        {"\n\nANALYZE TABLE;", "t.sql 3行目"}, // the engine's statement, malformed
    };
    for (const Case& c : cases) {
        try {
            embedded::runDictionaryScript(db, c.script, "t.sql");
            ADD_FAILURE() << "no error for " << c.script.constData();
        } catch (const DbError& e) {
            EXPECT_TRUE(e.message().startsWith(c.where)) << e.message().toStdString();
        }
        sqlite3_exec(db, "DROP TABLE IF EXISTS T", nullptr, nullptr, nullptr);
    }
    sqlite3_close(db);
}
