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
    std::function<void()> setup; // once, before the timed runs (may be empty)
    std::function<void()> body;  // timed
};

// Registers at static-initialisation time.
int add(Case c);
std::vector<Case>& cases();

// Runs once after the last case, while the application object still exists:
// windows and the data module must be gone before it is.
int addTeardown(std::function<void()> fn);

// --quick: one run of each case on small sizes, so that a test run sees the
// bench work end to end; its figures say nothing about speed.
bool quick();
inline int sized(int full, int small) { return quick() ? small : full; }

} // namespace bench
