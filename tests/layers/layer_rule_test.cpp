// The layer rule as a test: every project include in src/ points at the
// including file's own folder group or at a group below it.
#include <gtest/gtest.h>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Group {
    const char* folder; // below src/, with a trailing slash
    int rank;
};

// Bottom to top; the longest matching folder decides. Groups of one rank may
// not include each other.
const std::vector<Group> kGroups = {
    {"core/", 0},    {"database/", 1},    {"document/", 2},  {"output/", 3},    {"maintenance/", 3},
    {"widgets/", 4}, {"database/ui/", 5}, {"output/ui/", 5}, {"tablelist/", 6}, {"app/", 7},
};

const Group* groupOf(const std::string& path)
{
    const Group* best = nullptr;
    for (const Group& g : kGroups) {
        const std::string f = g.folder;
        if (path.compare(0, f.size(), f) == 0 && (!best || f.size() > std::string(best->folder).size()))
            best = &g;
    }
    return best;
}

// One line for each include against the order: "file -> header".
std::vector<std::string> includesAgainstTheOrder(const fs::path& src)
{
    std::vector<std::string> wrong;
    const std::regex include(R"(^\s*#\s*include\s*"([^"]+)\")");
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp"))
            continue;
        const std::string rel = fs::relative(entry.path(), src).generic_string();
        const Group* from = groupOf(rel);
        std::ifstream in(entry.path());
        std::string line;
        std::smatch m;
        while (std::getline(in, line)) {
            if (!std::regex_search(line, m, include))
                continue;
            const Group* to = groupOf(m[1].str());
            if (!from || !to) {
                wrong.push_back(rel + " -> " + m[1].str() + " (no layer)");
                continue;
            }
            if (from != to && to->rank >= from->rank)
                wrong.push_back(rel + " -> " + m[1].str());
        }
    }
    return wrong;
}

} // namespace

TEST(LayerRule, EveryIncludeRunsDownTheLayers)
{
    const auto wrong = includesAgainstTheOrder(fs::path(MORVANE_SOURCE_DIR) / "src");
    std::string list;
    for (const auto& w : wrong)
        list += "  " + w + "\n";
    EXPECT_TRUE(wrong.empty()) << "includes against the layer order:\n" << list;
}

// The checker itself: an upward and a sideways include are both caught.
TEST(LayerRule, CatchesUpwardAndSidewaysIncludes)
{
    const fs::path root = fs::temp_directory_path() / ("morvane-layers-" + std::to_string(::getpid()));
    fs::create_directories(root / "core");
    fs::create_directories(root / "database" / "ui");
    fs::create_directories(root / "output" / "ui");
    std::ofstream(root / "core" / "A.cpp") << "#include \"core/A.h\"\n#include \"database/DataModule.h\"\n";
    std::ofstream(root / "database" / "ui" / "B.cpp")
        << "#include \"output/ui/C.h\"\n#include \"widgets/W.h\"\n";
    std::ofstream(root / "output" / "ui" / "C.cpp") << "#include \"output/PrintJob.h\"\n";
    auto wrong = includesAgainstTheOrder(root);
    std::sort(wrong.begin(), wrong.end());
    fs::remove_all(root);
    EXPECT_EQ(wrong, (std::vector<std::string>{"core/A.cpp -> database/DataModule.h",
                                               "database/ui/B.cpp -> output/ui/C.h"}));
}
