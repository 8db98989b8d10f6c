// The embedded engine alone: generating a large dictionary, the catalog of an
// owner with 20,000 objects, and ANALYZE of a demo table.
#include "Bench.h"
#include "database/embedded/DemoDictionary.h"
#include "database/embedded/DictionaryGenerator.h"
#include "database/embedded/SqliteDriver.h"
#include "database/Statements.h"
#include <QTemporaryDir>
#include <memory>

using namespace morvane;

namespace {

struct EngineFixture {
    QTemporaryDir dir;
    std::unique_ptr<SqliteDriver> big, demo;

    void generate()
    {
        embedded::GeneratorOptions o;
        o.owners = 1;
        o.objectsPerOwner = 10;
        o.bigOwner = true;
        o.bigObjects = bench::sized(20000, 300);
        o.overwrite = true;
        embedded::generateDictionary(dir.filePath("GEN.db"), o);
    }
    void open()
    {
        if (big)
            return;
        generate();
        big = std::make_unique<SqliteDriver>(dir.filePath("GEN.db"));
        big->logon({"GEN", "SYS", "DEMO"});
        createDemoDictionary(dir.filePath("DEMO.db"));
        demo = std::make_unique<SqliteDriver>(dir.filePath("DEMO.db"));
        demo->logon({"DEMO", "SYS", "DEMO"});
    }
    void catalog()
    {
        const auto rs = big->query(sql::catalogTableList("BIG", "TABLE_TYPE, TABLE_NAME").join('\n'), {});
        if (rs.rows.size() < bench::sized(15000, 200))
            throw DbError("catalog of BIG too small");
    }
    void catalogByComment() { big->query(sql::catalogTableList("BIG", "COMMENTS").join('\n'), {}); }
    void columns()
    {
        const auto rs = big->query(sql::tableColumns().join('\n'),
                                   {{"OWNER", "BIG"}, {"OWNER1", "BIG"}, {"TABLE_NAME", "BIG_T300"}});
        if (rs.rows.size() != 300)
            throw DbError("BIG_T300 columns missing");
    }
    void analyze() { demo->execute(sql::analyzeTable("SALES", "MONTHLY_SALES"), {}); }
};

EngineFixture g_engine;
const int torn = bench::addTeardown([] {
    g_engine.big.reset();
    g_engine.demo.reset();
});
const int r1 = bench::add({"engine_generate_20000_objects", 3, {}, [] { g_engine.generate(); }});
const int r2 =
    bench::add({"engine_catalog_table_list_20000", 20, [] { g_engine.open(); }, [] { g_engine.catalog(); }});
const int r3 = bench::add({"engine_catalog_sorted_by_comment_20000", 20, [] { g_engine.open(); },
                           [] { g_engine.catalogByComment(); }});
const int r4 = bench::add({"engine_columns_300", 50, [] { g_engine.open(); }, [] { g_engine.columns(); }});
const int r5 =
    bench::add({"engine_analyze_65_columns", 50, [] { g_engine.open(); }, [] { g_engine.analyze(); }});

} // namespace
