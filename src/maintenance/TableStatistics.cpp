#include "maintenance/TableStatistics.h"
#include "core/FailureSummary.h"
#include "core/Platform.h"
#include "database/DataModule.h"
#include "database/Statements.h"

namespace morvane::maintenance {

AnalyzeResult analyzeChosenTable(TDataModule2& dm)
{
    Session& session = dm.session();
    platform::setBusyCursor();
    AnalyzeResult result = AnalyzeResult::Reloaded;
    try {
        Query& q = dm.AQ_Analyze;
        q.close();
        q.setSql({sql::analyzeTable(session.settings.LAST_OWNER, session.state.TableName)});
        q.execute();
        q.close();
        // The load shows its own wait dialog and its own failure message.
        if (!dm.LoadTableDictionary()) {
            platform::setNormalCursor();
            platform::warning(QStringLiteral(
                "ＯＲＡＣＬＥデータベース再オープンエラー。ＯＲＡＣＬＥ管理者に確認して下さい。"));
            result = AnalyzeResult::ReloadFailed;
        }
    } catch (const std::exception& e) {
        dm.AQ_Analyze.close();
        platform::setNormalCursor();
        platform::error(QStringLiteral("ANALYZE TABLEエラー") + QStringLiteral("\n\r") + reasonOf(e));
        result = AnalyzeResult::AnalyzeFailed;
    }
    platform::setNormalCursor();
    return result;
}

ObjectRunResult analyzeAllTables(TDataModule2& dm, const QString& owner, const AllTablesSteps& steps)
{
    platform::setBusyCursor();
    dm.Tag = SlotCatalog;
    Query& catalog = *dm.currentQuery();
    // Outlives end: the summary shows once the catalog is closed and the cursor normal.
    FailureSummary failures;
    const QueryRunEnd end(catalog);
    dm.openCatalog(TDataModule2::CatalogForm::TablesOnly, owner);

    ObjectRunSteps run;
    run.failures = &failures;
    run.setComment = false; // the comment is shown, TableComment stays
    run.load = false;       // the one-table run loads after its ANALYZE
    run.chosen = steps.chosen;
    run.act = [&](const CatalogRow&) {
        platform::setBusyCursor();
        return steps.analyze ? steps.analyze() : false;
    };
    run.between = steps.between;
    return runPerObject(dm, owner, queryRows(catalog), run);
}

} // namespace morvane::maintenance
