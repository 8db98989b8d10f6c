// The table list on an owner of 20,000 objects: opening, re-sorting and a
// forward search that walks to the end of the list.
#include "Bench.h"
#include "tablelist/TableListWindow.h"
#include "database/DataModule.h"
#include "database/embedded/DictionaryGenerator.h"
#include "core/Platform.h"
#include <QApplication>
#include <QFile>
#include <cstdio>
#include <functional>
#include <memory>

using namespace morvane;

namespace {

// The "no match" box would otherwise wait for a click.
class SilentMessages : public IMessageBoxes {
public:
    MessageResult show(MessageKind, const QString&, MessageButtons) override
    {
        ++count;
        return MessageResult::Ok;
    }
    int count = 0;
};

struct ListBench {
    Session session;
    std::unique_ptr<TDataModule2> dm;
    std::unique_ptr<TF_Table> window;
    SilentMessages messages;
};

ListBench& state()
{
    static ListBench b;
    return b;
}

void connectBig()
{
    ListBench& b = state();
    if (b.dm)
        return;
    platform::setMessages(&b.messages);
    const QString path = embeddedDataDir() + QStringLiteral("/BENCHLIST.db");
    if (!QFile::exists(path)) {
        embedded::GeneratorOptions o;
        o.owners = 1;
        o.objectsPerOwner = 10;
        o.bigOwner = true;
        o.bigObjects = bench::sized(20000, 300);
        o.bigColumns = 12;
        o.bigIndexes = 2;
        embedded::generateDictionary(path, o);
    }
    b.session.settings.LAST_ALIAS = QStringLiteral("BENCHLIST");
    b.session.settings.U_LogOn = QStringLiteral("DEMO");
    b.session.state.LogonUser = QStringLiteral("SYS");
    b.dm = std::make_unique<TDataModule2>(b.session);
    b.dm->connectWithCurrentValues();
    b.session.settings.LAST_OWNER = QStringLiteral("BIG");
}

// What the query button does: create, prepare, open in type-then-name order, show.
void openList()
{
    ListBench& b = state();
    b.window.reset();
    b.dm->Tag = SlotCatalog;
    b.window = std::make_unique<TF_Table>(*b.dm, b.session);
    b.window->prepareForChoice(QStringLiteral("BIG"));
    b.session.state.CatalogSortCaption = QStringLiteral("テーブル名");
    b.session.state.CatalogSortKey = QStringLiteral("TABLE_TYPE, TABLE_NAME");
    b.window->RefreshCatalog();
    b.window->show();
    QCoreApplication::processEvents();
}

// A failing engine reports once and leaves the timings meaningless, not the run dead.
void guarded(const char* what, const std::function<void()>& fn)
{
    static bool reported = false;
    try {
        fn();
    } catch (const DbError& e) {
        if (!reported)
            std::printf("  %s failed: %s\n", what, qPrintable(e.message()));
        reported = true;
    }
}

int rowsShown() { return state().dm->AQ_Catalog.recordCount(); }

// The window and the data module are QObjects: they go before the application does.
const int t1 = bench::addTeardown([] {
    ListBench& b = state();
    b.window.reset();
    b.dm.reset();
    platform::setMessages(nullptr);
});

const int r1 = bench::add({"tablelist_open_20000", 5, [] { guarded("connect", connectBig); },
                           [] {
                               guarded("open", [] {
                                   openList();
                                   state().window->hide();
                               });
                           }});

const int r2 = bench::add({"tablelist_resort_20000", 5,
                           [] {
                               guarded("open", [] {
                                   connectBig();
                                   openList();
                                   std::printf("  (rows listed: %d)\n", rowsShown());
                               });
                           },
                           [] {
                               guarded("re-sort", [] {
                                   static int n = 0;
                                   // Alternate the name and the type order so each run re-sorts.
                                   state().window->DBGrid1TitleClick(n++ % 2 ? 3 : 1);
                                   QCoreApplication::processEvents();
                               });
                           }});

const int r3 = bench::add({"tablelist_search_full_20000", 5,
                           [] {
                               guarded("open", [] {
                                   connectBig();
                                   openList();
                               });
                           },
                           [] {
                               guarded("search", [] {
                                   TDataModule2& dm = *state().dm;
                                   dm.Tag = SlotCatalog;
                                   dm.AQ_Catalog.first();
                                   // No name starts with this: the walk reaches the last row.
                                   dm.SearchForward(QStringLiteral("TABLE_NAME"), QStringLiteral("ZZZ"));
                                   QCoreApplication::processEvents();
                               });
                           }});

} // namespace
