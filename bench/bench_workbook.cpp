// The workbook of a generated owner of 1,000 objects, written by morvane-doc
// in a process of its own: the time and that process's peak memory.
#include "Bench.h"
#include "database/Connection.h"
#include "database/embedded/DictionaryGenerator.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

QString g_service;
QTemporaryDir g_out;

void prepare(int objects)
{
    g_service = QStringLiteral("BENCHPRINT%1").arg(objects);
    const QString path = morvane::embeddedDataDir() + QStringLiteral("/") + g_service + QStringLiteral(".db");
    if (QFile::exists(path))
        return;
    QDir().mkpath(morvane::embeddedDataDir());
    morvane::embedded::GeneratorOptions o;
    o.owners = 1;
    o.objectsPerOwner = objects;
    morvane::embedded::generateDictionary(path, o);
}

void writeWorkbook()
{
    const QByteArray out = g_out.path().toUtf8();
    const QByteArray service = g_service.toUtf8();
    const char* argv[] = {MORVANE_DOC_PATH, "--server", service.constData(), "--user", "SYS",
                          "--owner",        "OWNER01",  "--format",          "xlsx",   "--out",
                          out.constData(),  nullptr};
    qputenv("MORVANE_PASSWORD", "DEMO");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // Its progress lines would drown the figures.
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        std::printf("  morvane-doc could not be started\n");
        return;
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    // The processor time beside the wall time: on a shared machine the two differ.
    const double cpu = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
                       + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    std::printf("  (exit %d, %lld bytes, %.2f s processor time, peak resident %ld kB)\n",
                WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                static_cast<long long>(QFileInfo(g_out.filePath(QStringLiteral("OWNER01.xlsx"))).size()), cpu,
                usage.ru_maxrss);
}

const int w1 =
    bench::add({"workbook_1000_objects_xlsx", 3, [] { prepare(bench::sized(1000, 20)); }, writeWorkbook});

} // namespace
