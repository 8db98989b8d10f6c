// The dictionary load of one wide table on a large embedded dictionary.
#include "Bench.h"
#include "database/Connection.h"
#include "database/DataModule.h"
#include "database/embedded/DictionaryGenerator.h"
#include <QDir>
#include <memory>

using namespace morvane;

namespace {

struct LoadFixture {
    Session session;
    std::unique_ptr<TDataModule2> dm;
    void setUp()
    {
        const QString dir = embeddedDataDir();
        QDir().mkpath(dir);
        embedded::GeneratorOptions o;
        o.owners = 2;
        o.objectsPerOwner = 100;
        o.bigOwner = true;
        o.bigObjects = bench::sized(20000, 50);
        o.overwrite = true;
        embedded::generateDictionary(dir + "/BENCHLOAD.db", o);
        session.settings.LAST_ALIAS = "BENCHLOAD";
        session.settings.U_LogOn = "DEMO";
        session.settings.MaxPageRow = 55;
        session.state.LogonUser = "SYS";
        dm = std::make_unique<TDataModule2>(session);
        dm->connectWithCurrentValues();
        dm->AdjustColumnWidths();
    }
    void load()
    {
        session.settings.LAST_OWNER = "BIG";
        session.state.TableName = "BIG_T300";
        session.state.TableType = "TABLE";
        if (!dm->LoadTableDictionary() || dm->AQ_Tab_Cols.recordCount() != 300)
            throw DbError("load of BIG_T300 failed");
    }
};

LoadFixture g_load;
const int torn = bench::addTeardown([] { g_load.dm.reset(); });
const int registered =
    bench::add({"load_table_dictionary_300cols_20idx", 30, [] { g_load.setUp(); }, [] { g_load.load(); }});

} // namespace
