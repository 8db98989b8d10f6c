#pragma once
// Optimiser statistics: "ANALYZE TABLE owner.table COMPUTE STATISTICS" for
// the chosen table, then its dictionary data loaded again so that the
// printed figures are current. Knows no window; the caller does the buttons.
#include <QString>

namespace morvane {
class TDataModule2;
}

namespace morvane::maintenance {

enum class AnalyzeResult {
    Reloaded,       // analysed and loaded again
    ReloadFailed,   // analysed; the load failed and said so
    AnalyzeFailed   // the statement failed: "ANALYZE TABLEエラー"
};

// ANALYZE of LAST_OWNER.TableName (one line, both names as they stand),
// then LoadTableDictionary, with the hourglass and every failure's message.
AnalyzeResult analyzeChosenTable(TDataModule2& dm);

} // namespace morvane::maintenance
