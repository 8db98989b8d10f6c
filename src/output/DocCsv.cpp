#include "output/DocCsv.h"
#include "output/CsvExport.h"
#include "core/AppState.h"
#include "database/DataModule.h"
#include "database/Statements.h"

namespace morvane::output {

bool writeColumnListCsv(TDataModule2& dm, const QString& path, CsvCharset charset, QString* why)
{
    try {
        dm.Tag = SlotTabCols;
        writeCsvFile(path, csvTableFrom(dm.AQ_Tab_Cols, CsvSource::ColumnList), charset);
        return true;
    } catch (const CsvError& e) {
        *why = e.message();
    } catch (const DbError& e) {
        *why = e.message();
    }
    return false;
}

bool writeTableListCsv(TDataModule2& dm, const QString& owner, const QString& path, CsvCharset charset,
                       QString* why)
{
    Query& q = dm.AQ_Catalog;
    try {
        dm.openCatalog(TDataModule2::CatalogForm::TableList, owner, QStringLiteral("TABLE_TYPE, TABLE_NAME"));
        const CsvTable table = csvTableFrom(q, CsvSource::TableList);
        q.close();
        writeCsvFile(path, table, charset);
        return true;
    } catch (const CsvError& e) {
        *why = e.message();
    } catch (const DbError& e) {
        *why = e.message();
    }
    q.close();
    return false;
}

} // namespace morvane::output
