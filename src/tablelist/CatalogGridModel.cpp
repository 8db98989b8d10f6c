#include "tablelist/CatalogGridModel.h"
#include <QBrush>
#include <QColor>

namespace morvane {

const QVector<GridColumn>& CatalogGridModel::gridColumns()
{
    static const QVector<GridColumn> columns = {
        {QStringLiteral("OWNER"), QStringLiteral("OWNER"), 15, true},
        {QStringLiteral("TABLE_NAME"), QStringLiteral("テーブル名"), 30, false},
        {QStringLiteral("COMMENTS"), QStringLiteral("テーブルコメント"), 45, false},
        {QStringLiteral("TABLE_TYPE"), QStringLiteral("テーブルタイプ"), 11, true},
    };
    return columns;
}

CatalogGridModel::CatalogGridModel(Query& query, QObject* parent)
    : QAbstractTableModel(parent), m_query(query)
{
    connect(&m_query, &Query::resultChanged, this, &CatalogGridModel::resultChanged);
    connect(&m_query, &Query::currentRowChanged, this, &CatalogGridModel::cursorMoved);
    m_fieldIndex.fill(-1, gridColumns().size());
    resultChanged();
}

void CatalogGridModel::resultChanged()
{
    beginResetModel();
    m_rows = m_query.recordCount();
    for (int c = 0; c < gridColumns().size(); ++c)
        m_fieldIndex[c] = m_query.isOpen() ? m_query.fieldIndex(gridColumns()[c].field) : -1;
    m_currentRow = m_query.currentRow();
    endResetModel();
}

void CatalogGridModel::cursorMoved(int row)
{
    const int old = m_currentRow;
    m_currentRow = row;
    const int last = columnCount() - 1;
    if (old >= 0 && old < m_rows)
        emit dataChanged(index(old, 0), index(old, last), {Qt::BackgroundRole});
    if (row >= 0 && row < m_rows && row != old)
        emit dataChanged(index(row, 0), index(row, last), {Qt::BackgroundRole});
}

int CatalogGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rows; }

int CatalogGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(gridColumns().size());
}

QVariant CatalogGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows || index.column() >= m_fieldIndex.size())
        return {};
    switch (role) {
    case Qt::DisplayRole: {
        const QString v = m_query.valueAt(index.row(), m_fieldIndex[index.column()]);
        return v.isNull() ? QString("") : v;
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(
            (gridColumns()[index.column()].centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter));
    case Qt::BackgroundRole:
        // The cursor row stays visible also when it is not among the selected rows.
        if (index.row() == m_currentRow)
            return QBrush(QColor(0xCC, 0xE0, 0xF4));
        return {};
    default: return {};
    }
}

QVariant CatalogGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= gridColumns().size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return gridColumns()[section].title;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

Qt::ItemFlags CatalogGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

} // namespace morvane
