#include "Bench.h"
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
} // namespace bench

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir data;
    if (qEnvironmentVariableIsEmpty("MORVANE_DATA_DIR"))
        qputenv("MORVANE_DATA_DIR", data.path().toUtf8());
    QApplication app(argc, argv);
    const char* filter = argc > 1 ? argv[1] : nullptr;
    for (auto& c : bench::cases()) {
        if (filter && !std::strstr(c.name.c_str(), filter))
            continue;
        if (c.setup)
            c.setup();
        std::vector<double> ms;
        for (int i = 0; i < c.runs; ++i) {
            const auto t0 = std::chrono::steady_clock::now();
            c.body();
            const auto t1 = std::chrono::steady_clock::now();
            ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        }
        std::sort(ms.begin(), ms.end());
        std::printf("%s: %.2f ms\n", c.name.c_str(), ms[ms.size() / 2]);
        std::fflush(stdout);
    }
    return 0;
}
