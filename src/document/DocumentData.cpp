#include "document/DocumentData.h"
#include "database/Query.h"
#include <algorithm>
#include <stdexcept>

namespace morvane::document {

namespace {
ResultSet rowsOf(const Session& session, int slot)
{
    const Query* q = session.state.QueryTable.at(static_cast<size_t>(slot));
    return q && q->isOpen() ? q->result() : ResultSet{};
}
} // namespace

DocumentData documentDataFrom(const Session& session, const LoadedObject& loaded)
{
    const AppSettings& set = session.settings;
    DocumentData d;
    d.owner = loaded.owner;
    d.tableName = loaded.name;
    d.tableType = loaded.chosen.type;
    d.tableComment = session.state.TableComment;
    d.printName = set.PRINT_NAME;
    d.isSynonym = loaded.isSynonym;
    d.synonymOwner = loaded.synonymOwner;
    d.synonymName = loaded.synonymName;
    d.synonymTargetType = loaded.synonymTargetType;
    d.maxPageRow = set.effectiveMaxPageRow();
    d.rowCounts = loaded.rowCounts;
    d.tables = rowsOf(session, SlotTables);
    d.indexes = rowsOf(session, SlotIndexes);
    d.indCols = rowsOf(session, SlotIndCols);
    d.views = rowsOf(session, SlotViews);
    d.tabCols = rowsOf(session, SlotTabCols);
    return d;
}

DocumentData documentDataFrom(const Session& session)
{
    return documentDataFrom(session, LoadedObject::fromShared(session.state, session.settings.LAST_OWNER));
}

QString fieldText(const ResultSet& rows, int row, const QString& field)
{
    for (int c = 0; c < rows.columns.size(); ++c) {
        if (rows.columns.at(c).name.compare(field, Qt::CaseInsensitive) != 0)
            continue;
        if (row < 0 || row >= rows.rows.size() || c >= rows.rows.at(row).size())
            return QString();
        const QString& v = rows.rows.at(row).at(c);
        return v.isNull() ? QString("") : v;
    }
    throw std::runtime_error(QStringLiteral("フィールド '%1' が見つかりません").arg(field).toStdString());
}

qint64 fieldInteger(const ResultSet& rows, int row, const QString& field)
{
    return integerValue(fieldText(rows, row, field));
}

} // namespace morvane::document
