#pragma once
// Optimiser statistics: "ANALYZE TABLE owner.table COMPUTE STATISTICS" for
// the chosen table, then its dictionary data loaded again so that the
// printed figures are current. Knows no window; the caller does the buttons.
#include "database/ObjectRun.h"
#include <QString>
#include <functional>

namespace morvane {
class TDataModule2;
}

namespace morvane::maintenance {

enum class AnalyzeResult {
    Reloaded,     // analysed and loaded again
    ReloadFailed, // analysed; the load failed and said so
    AnalyzeFailed // the statement failed: "ANALYZE TABLEエラー"
};

// ANALYZE of LAST_OWNER.TableName (one line; both names as they stand
// unless one needs quotes, then both quoted),
// then LoadTableDictionary, with the hourglass and every failure's message.
AnalyzeResult analyzeChosenTable(TDataModule2& dm);

struct AllTablesSteps {
    std::function<void(const CatalogRow&)> chosen; // TableName and TableType set: show them
    std::function<bool()> analyze;                 // the one-table run; false when it failed
    std::function<void()> between;                 // after each table
};

// Every table of the owner in name order (the tables-only catalog), each
// analysed by steps.analyze; a failed table does not stop the run. The
// catalog is closed and the cursor restored however the run ends; a failing
// catalog statement propagates.
ObjectRunResult analyzeAllTables(TDataModule2& dm, const QString& owner, const AllTablesSteps& steps);

} // namespace morvane::maintenance
