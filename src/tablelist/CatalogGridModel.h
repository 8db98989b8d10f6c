#pragma once
// The grid's view of the catalog query: reads the open result in place, so a
// list of tens of thousands of rows costs nothing to show or re-sort.
#include "database/Query.h"
#include <QAbstractTableModel>
#include <QVector>

namespace morvane {

struct GridColumn {
    QString field;
    QString title;
    int displayWidth; // characters
    bool centred;
};

class CatalogGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CatalogGridModel(Query& query, QObject* parent = nullptr);

    // OWNER, TABLE_NAME, COMMENTS, TABLE_TYPE in grid order.
    static const QVector<GridColumn>& gridColumns();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    Query& query() const { return m_query; }

private:
    void resultChanged();
    void cursorMoved(int row);

    Query& m_query;
    int m_rows = 0;
    QVector<int> m_fieldIndex; // grid column -> result column, -1 when absent
    int m_currentRow = -1;
};

} // namespace morvane
