// Snapshots of the generator's 1,000-object owner (embedded engine and the
// stand-in OCI library) and the comparison of two 3,000-object snapshots with
// 1 % of the objects changed: time, statements sent and peak memory.
#include "Bench.h"
#include "database/Connection.h"
#include "database/SchemaDiff.h"
#include "database/Snapshot.h"
#include "database/SqlTrace.h"
#include "database/embedded/DictionaryGenerator.h"
#include "database/oracle/OciLibrary.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>
#include <memory>
#include <sqlite3.h>

using namespace morvane;

namespace {

// Peak resident memory since the last reset, in kB (Linux; 0 elsewhere).
void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}
long peakKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

// Processor time since start: wall time says little on a shared machine.
double cpuMs(std::clock_t start) { return 1000.0 * double(std::clock() - start) / CLOCKS_PER_SEC; }

std::unique_ptr<Connection> connect(const QString& server)
{
    auto c = std::make_unique<Connection>();
    c->setLogon({server, QStringLiteral("SYS"), QStringLiteral("DEMO")});
    c->open();
    return c;
}

struct SnapshotFixture {
    QTemporaryDir served; // the stand-in's folder of dictionaries
    int objects = 0;
    bool ready = false;

    void setUp()
    {
        if (ready)
            return;
        objects = bench::sized(1000, 50);
        embedded::GeneratorOptions o;
        o.owners = 2;
        o.objectsPerOwner = objects;
        o.overwrite = true;
        embedded::generateDictionary(embeddedDataDir() + QStringLiteral("/BENCHSNAP.db"), o);
        QFile::remove(served.filePath(QStringLiteral("ORCL.db")));
        QFile::copy(embeddedDataDir() + QStringLiteral("/BENCHSNAP.db"),
                    served.filePath(QStringLiteral("ORCL.db")));
        ready = true;
    }
    void take(const QString& server, bool print)
    {
        auto source = connect(server);
        TraceRecorder trace;
        resetPeak();
        const std::clock_t cpu = std::clock();
        const SnapshotReport r =
            takeSnapshot(*source, {QStringLiteral("OWNER01")}, served.filePath(QStringLiteral("OUT.db")));
        if (print)
            std::printf("  %s: %lld objects, %d statements sent, %lld rows, peak %ld kB, cpu %.0f ms\n",
                        qPrintable(server), static_cast<long long>(r.objects), int(trace.entries().size()),
                        static_cast<long long>(r.rows), peakKb(), cpuMs(cpu));
    }
};

SnapshotFixture g_snap;
bool g_printedEmbedded = false, g_printedOci = false;
const int r1 = bench::add({"snapshot_1000_objects_embedded", 5, [] { g_snap.setUp(); },
                           [] {
                               g_snap.take(QStringLiteral("BENCHSNAP"), !g_printedEmbedded);
                               g_printedEmbedded = true;
                           }});
const int r2 = bench::add({"snapshot_1000_objects_oci_standin", 5, [] { g_snap.setUp(); },
                           [] {
#ifdef MORVANE_OCI_STANDIN
                               qputenv(oci::kLibraryOverrideVariable, MORVANE_OCI_STANDIN);
                               qputenv("MORVANE_STANDIN_DIR", g_snap.served.path().toUtf8());
                               g_snap.take(QStringLiteral("ORCL"), !g_printedOci);
                               g_printedOci = true;
                               qunsetenv(oci::kLibraryOverrideVariable);
#else
                               if (!g_printedOci)
                                   std::printf("  skipped: built without the stand-in OCI library\n");
                               g_printedOci = true;
#endif
                           }});

struct DiffFixture {
    int objects = 0;
    bool ready = false;
    void setUp()
    {
        if (ready)
            return;
        objects = bench::sized(3000, 100);
        const QString dir = embeddedDataDir();
        embedded::GeneratorOptions o;
        o.owners = 1;
        o.objectsPerOwner = objects;
        o.overwrite = true;
        embedded::generateDictionary(dir + QStringLiteral("/BENCHGEN.db"), o);
        QFile::remove(dir + QStringLiteral("/BENCHA.db"));
        QFile::remove(dir + QStringLiteral("/BENCHB.db"));
        takeSnapshot(*connect(QStringLiteral("BENCHGEN")), {QStringLiteral("OWNER01")},
                     dir + QStringLiteral("/BENCHA.db"));
        QFile::copy(dir + QStringLiteral("/BENCHA.db"), dir + QStringLiteral("/BENCHB.db"));
        // 1 % of the objects: every hundredth gets a changed column comment.
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(dir + QStringLiteral("/BENCHB.db")).constData(), &db);
        sqlite3_exec(db,
                     "UPDATE ALL_COL_COMMENTS SET COMMENTS = 'changed' WHERE OWNER = 'OWNER01' AND "
                     "COLUMN_NAME = 'COL_001' AND CAST(substr(TABLE_NAME, 3) AS INTEGER) % 100 = 1",
                     nullptr, nullptr, nullptr);
        sqlite3_close(db);
        ready = true;
    }
    void run()
    {
        resetPeak();
        const std::clock_t cpu = std::clock();
        auto a = connect(QStringLiteral("BENCHA"));
        auto b = connect(QStringLiteral("BENCHB"));
        const auto changes = compareSchemas(readSchema(*a, QStringLiteral("OWNER01")),
                                            readSchema(*b, QStringLiteral("OWNER01")), true);
        static bool printed = false;
        if (!printed)
            std::printf("  %d objects a side, %d changes, peak %ld kB, cpu %.0f ms\n", objects,
                        int(changes.size()), peakKb(), cpuMs(cpu));
        printed = true;
    }
};

DiffFixture g_diff;
const int r3 =
    bench::add({"diff_3000_objects_1pct_changed", 5, [] { g_diff.setUp(); }, [] { g_diff.run(); }});

} // namespace
