// The table list's multi-print: every selected row in list order, one job each.
#include "widgets/QtPlatform.h"
#include "database/DataModule.h"
#include "database/ObjectRun.h"
#include "output/ui/SharedPrinter.h"
#include "tablelist/TableListWindow.h"
#include <QPushButton>

namespace morvane {

void TF_Table::BitBtn3Click()
{
    struct EndOfRun {
        TDataModule2& dm;
        ~EndOfRun() { dm.Tag = SlotCatalog; }
    } end{m_dm};
    // The selection comes sorted by row position, whatever the order of the clicks.
    const QList<Bookmark> marks = selectedBookmarks();
    if (marks.isEmpty())
        return;

    output::PrintRunScope run;
    // After the run scope: the failures are listed before the PDF files are named.
    FailureSummary failures;
    ObjectRunSteps steps;
    steps.failures = &failures;
    steps.chosen = [this](const CatalogRow&) {
        if (showTableName)
            showTableName(m_session.state.TableName);
    };
    steps.act = [this](const CatalogRow&) {
        if (printLoaded)
            printLoaded(BitBtn3);
        return true;
    };
    steps.loadFailed = [](const CatalogRow&) {
        platform::warning(QStringLiteral("ＯＲＡＣＬＥデータベースオープンエラー。"));
    };
    runPerObject(m_dm, m_session.settings.LAST_OWNER,
                 bookmarkRows(catalogQuery(), QVector<Bookmark>(marks.begin(), marks.end())), steps);
}

} // namespace morvane
