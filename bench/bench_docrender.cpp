// morvane-doc on generated owners, run as the user runs it: one file per
// object with one job and with every core, the owner as one file, PNG
// against PDF, and the peak resident memory of each run.
#include "Bench.h"
#include "database/Connection.h"
#include "database/embedded/DictionaryGenerator.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace morvane;

namespace {

struct RunFigures {
    double wallMs = 0, cpuMs = 0;
    long peakKb = 0;
    int files = 0;
    bool ok = false;
};

QTemporaryDir& outRoot()
{
    static QTemporaryDir dir;
    return dir;
}

QString ensureOwner(int objects)
{
    const QString service = QStringLiteral("BENCHDOC%1").arg(objects);
    const QString path = embeddedDataDir() + QStringLiteral("/") + service + QStringLiteral(".db");
    if (!QFile::exists(path)) {
        QDir().mkpath(embeddedDataDir());
        embedded::GeneratorOptions o;
        o.owners = 1;
        o.objectsPerOwner = objects;
        embedded::generateDictionary(path, o);
    }
    return service;
}

// One run of morvane-doc in a child process; its own time and memory.
RunFigures runDoc(int objects, const QStringList& extra)
{
    RunFigures f;
    const QString out = outRoot().filePath(QStringLiteral("run"));
    QDir(out).removeRecursively();
    QStringList args{QCoreApplication::applicationDirPath() + QStringLiteral("/morvane-doc"),
                     "--server",
                     ensureOwner(objects),
                     "--user",
                     "SYS",
                     "--owner",
                     "OWNER01",
                     "--out",
                     out};
    args += extra;
    std::vector<QByteArray> bytes;
    for (const QString& a : args)
        bytes.push_back(QFile::encodeName(a));
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    qputenv("MORVANE_PASSWORD", "DEMO");
    const auto t0 = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        // Progress lines would drown the figures.
        if (!freopen("/dev/null", "w", stderr))
            _exit(127);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid)
        return f;
    f.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    f.cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0
              + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
    f.peakKb = usage.ru_maxrss;
    f.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    f.files = static_cast<int>(QDir(out).entryList(QDir::Files).size());
    QDir(out).removeRecursively();
    return f;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Median wall and CPU time of several runs, printed; the wall median is returned.
double measure(const char* name, int objects, const QStringList& extra, int runs = 3)
{
    std::vector<double> wall, cpu;
    long peak = 0;
    RunFigures last;
    for (int i = 0; i < (bench::quick() ? 1 : runs); ++i) {
        last = runDoc(objects, extra);
        wall.push_back(last.wallMs);
        cpu.push_back(last.cpuMs);
        peak = std::max(peak, last.peakKb);
    }
    std::printf("%s: %.2f ms (cpu %.2f ms, peak %ld kB, %d files%s)\n", name, median(wall), median(cpu), peak,
                last.files, last.ok ? "" : ", FAILED");
    std::fflush(stdout);
    return median(wall);
}

const QStringList pdf{"--format", "pdf"};

void perObjectAndOneFile(int full)
{
    const int n = bench::sized(full, 20);
    const QString size = QString::number(n);
    const double per =
        measure(qPrintable("doc_pdf_per_object_jobs1_" + size), n, pdf + QStringList{"--jobs", "1"});
    const double two =
        measure(qPrintable("doc_pdf_per_object_jobs2_" + size), n, pdf + QStringList{"--jobs", "2"});
    const double one = measure(qPrintable("doc_pdf_one_file_" + size), n, pdf + QStringList{"--one-file"});
    std::printf("  (%d objects: two jobs take %.2f of one job's time; one file %.2f of it)\n", n, two / per,
                one / per);
}

const int d1 = bench::add({"doc_render_200_objects", 1, {}, [] { perObjectAndOneFile(200); }});
const int d2 = bench::add({"doc_render_1000_objects", 1, {}, [] { perObjectAndOneFile(1000); }});

const int d3 = bench::add(
    {"doc_png_against_pdf_1000_objects", 1, {}, [] {
         const int n = bench::sized(1000, 20);
         const double p =
             measure("doc_pdf_96dpi_jobs1", n, QStringList{"--format", "pdf", "--dpi", "96", "--jobs", "1"});
         const double g = measure("doc_png_96dpi_jobs1", n, QStringList{"--format", "png", "--jobs", "1"});
         std::printf("  (%d objects: PNG takes %.2f of the PDF time)\n", n, g / p);
     }});

const int d4 = bench::add({"doc_peak_memory_3000_objects", 1, {}, [] {
                               const int n = bench::sized(3000, 20);
                               measure("doc_pdf_one_file_3000", n, pdf + QStringList{"--one-file"}, 1);
                               measure("doc_pdf_per_object_3000", n, pdf, 1);
                           }});

} // namespace
