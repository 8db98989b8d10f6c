// Generated dictionaries answer the program's statements with the requested sizes.
#include "database/embedded/DictionaryGenerator.h"
#include "database/embedded/SqliteDriver.h"
#include "database/Statements.h"
#include <gtest/gtest.h>
#include <QTemporaryDir>

namespace morvane::testing {
namespace {

using embedded::GeneratorOptions;
using embedded::ObjectKind;

int expectedOfKind(int first, int last, ObjectKind kind)
{
    int n = 0;
    for (int k = first; k <= last; ++k)
        n += embedded::generatedKind(k) == kind;
    return n;
}

TEST(EmbeddedGenerator, CatalogHasTheRequestedObjects)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("GEN.db");
    GeneratorOptions o;
    o.owners = 2;
    o.objectsPerOwner = 57;
    o.columnsPerTable = 4;
    o.indexesPerTable = 2;
    o.bigOwner = true;
    o.bigObjects = 130;
    o.bigColumns = 75;
    o.bigIndexes = 6;
    o.password = "Secret";
    const auto report = embedded::generateDictionary(path, o);
    EXPECT_EQ(report.catalogRows(), 2 * 57 + 130);

    SqliteDriver d(path);
    EXPECT_THROW(d.logon({"GEN", "SYS", "DEMO"}), DbError);
    d.logon({"GEN", "SYS", "Secret"});
    const auto count = [&](const QStringList& lines, const BindList& binds) {
        return d.query(lines.join('\n'), binds).rows.size();
    };
    const int tables = expectedOfKind(1, 57, ObjectKind::Table);
    const int views = expectedOfKind(1, 57, ObjectKind::View);
    const int synonyms = expectedOfKind(1, 57, ObjectKind::Synonym);
    EXPECT_EQ(expectedOfKind(1, 57, ObjectKind::Sequence), 5);
    for (const char* owner : {"OWNER01", "OWNER02"}) {
        EXPECT_EQ(count(sql::catalogAllObjects(), {{"OWNER", owner}}), tables + views + synonyms) << owner;
        EXPECT_EQ(count(sql::catalogTablesOnly(), {{"OWNER", owner}}), tables) << owner;
        EXPECT_EQ(count(sql::catalogTableList(owner, "TABLE_NAME"), {}), tables + views) << owner;
    }
    EXPECT_EQ(count(sql::catalogAllObjects(), {{"OWNER", "BIG"}}),
              1 + expectedOfKind(2, 130, ObjectKind::Table) + expectedOfKind(2, 130, ObjectKind::View)
                  + expectedOfKind(2, 130, ObjectKind::Synonym));
    EXPECT_EQ(d.query(sql::ownerList().join('\n'), {}).rows.size(), 3);

    const BindList big = {{"OWNER", "BIG"}, {"OWNER1", "BIG"}, {"TABLE_NAME", "BIG_T300"}};
    EXPECT_EQ(count(sql::tableColumns(), big), 75);
    EXPECT_EQ(count(sql::indexes(), big), 6);
    EXPECT_EQ(d.query(sql::countRows(4).join('\n'), big).rows[0][0], "11"); // 1 + 5 * 2 key columns
    const BindList ic = {{"OWNER1", "BIG"},
                         {"OWNER2", "BIG"},
                         {"OWNER3", "BIG"},
                         {"TABLE_NAME1", "BIG_T300"},
                         {"TABLE_NAME2", "BIG_T300"}};
    EXPECT_EQ(count(sql::indexColumns(), ic), 11);
    EXPECT_EQ(d.query(sql::synonymLookup().join('\n'), {{"OWNER", "OWNER01"}, {"TABLE_NAME", "S_00009"}})
                  .rows.value(0)
                  .value(3),
              "T_00006");
    EXPECT_EQ(count(sql::views(), {{"OWNER", "OWNER02"}, {"TABLE_NAME", "V_00007"}}), 1);

    // An existing file is kept unless asked to replace it.
    EXPECT_THROW(embedded::generateDictionary(path, o), DbError);
    o.owners = -1;
    o.overwrite = true;
    EXPECT_THROW(embedded::generateDictionary(path, o), DbError);
}

} // namespace
} // namespace morvane::testing
