#pragma once
// A minimal benchmark harness: each case runs a number of times and prints
// "name: median ms". Figures only; nothing is asserted.
#include <functional>
#include <string>
#include <vector>

namespace bench {

struct Case {
    std::string name;
    int runs;
    std::function<void()> setup;   // once, before the timed runs (may be empty)
    std::function<void()> body;    // timed
};

// Registers at static-initialisation time.
int add(Case c);
std::vector<Case>& cases();

} // namespace bench
