#include "Bench.h"
#include "core/Memory.h"
#include <QApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace bench {
std::vector<Case>& cases()
{
    static std::vector<Case> c;
    return c;
}
int add(Case c)
{
    cases().push_back(std::move(c));
    return static_cast<int>(cases().size());
}
std::vector<std::function<void()>>& teardowns()
{
    static std::vector<std::function<void()>> t;
    return t;
}
int addTeardown(std::function<void()> fn)
{
    teardowns().push_back(std::move(fn));
    return static_cast<int>(teardowns().size());
}
namespace {
bool g_quick = false;
}
bool quick() { return g_quick; }
} // namespace bench

int main(int argc, char** argv)
{
    // As the program does: the print-all runs here in process.
    morvane::keepFreedMemoryForReuse();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir data;
    if (qEnvironmentVariableIsEmpty("MORVANE_DATA_DIR"))
        qputenv("MORVANE_DATA_DIR", data.path().toUtf8());
    QApplication app(argc, argv);
    const char* filter = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0)
            bench::g_quick = true;
        else
            filter = argv[i];
    }
    if (bench::quick())
        std::printf("quick run: small sizes, one run each; the figures are not comparable\n");
    for (auto& c : bench::cases()) {
        if (filter && !std::strstr(c.name.c_str(), filter))
            continue;
        if (c.setup)
            c.setup();
        std::vector<double> ms;
        const int runs = bench::quick() ? 1 : c.runs;
        for (int i = 0; i < runs; ++i) {
            const auto t0 = std::chrono::steady_clock::now();
            c.body();
            const auto t1 = std::chrono::steady_clock::now();
            ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        }
        std::sort(ms.begin(), ms.end());
        std::printf("%s: %.2f ms\n", c.name.c_str(), ms[ms.size() / 2]);
        std::fflush(stdout);
    }
    for (auto it = bench::teardowns().rbegin(); it != bench::teardowns().rend(); ++it)
        (*it)();
    return 0;
}
