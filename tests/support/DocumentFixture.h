#pragma once
// A session whose dictionary queries are filled in memory, and helpers to
// pick drawing operations out of a recording canvas.
#include "core/AppState.h"
#include "database/Query.h"
#include "document/DocumentData.h"
#include "document/RecordingCanvas.h"
#include <QStringList>
#include <QVector>
#include <initializer_list>

namespace morvane::test {

using document::CanvasOp;

inline ResultSet makeResult(const QStringList& columns, const QVector<QStringList>& rows)
{
    ResultSet rs;
    for (const auto& c : columns)
        rs.columns.push_back({c, false});
    for (const auto& r : rows)
        rs.rows.push_back(QVector<QString>(r.begin(), r.end()));
    return rs;
}

struct DocumentSession {
    Query tables{"AQ_Tables", SlotTables};
    Query indexes{"AQ_Indexes", SlotIndexes};
    Query indCols{"AQ_Ind_Cols", SlotIndCols};
    Query views{"AQ_Views", SlotViews};
    Query tabCols{"AQ_Tab_Cols", SlotTabCols};
    Session s;

    DocumentSession()
    {
        s.state.QueryTable[SlotTables] = &tables;
        s.state.QueryTable[SlotIndexes] = &indexes;
        s.state.QueryTable[SlotIndCols] = &indCols;
        s.state.QueryTable[SlotViews] = &views;
        s.state.QueryTable[SlotTabCols] = &tabCols;
        s.settings.LAST_OWNER = "SCOTT";
        s.settings.PRINT_NAME = "TARO";
        s.settings.MaxPageRow = 55;
        s.state.TableName = "EMP";
        s.state.TableType = "TABLE";
    }

    // The loaded object as the page routines take it.
    document::DocumentData data() const { return document::documentDataFrom(s); }

    // A table with n1 storage rows, n2 indexes and n3 index columns, counts as given.
    void loadTable(int n1, int n2, int n3)
    {
        QVector<QStringList> t, i, c;
        for (int k = 0; k < n1; ++k)
            t.push_back({"USERS", "10", "40", "65536", "1048576", "14", "5", "3", "38"});
        for (int k = 0; k < n2; ++k)
            i.push_back(
                {"SCOTT", QString("IX_%1").arg(k + 1), "USERS", "UNIQUE", "10", "65536", "65536", "0", "1"});
        for (int k = 0; k < n3; ++k)
            c.push_back(
                {"SCOTT", "IX_1", QString("COL_%1").arg(k + 1), QString::number(k + 1), "22", "4", "0"});
        tables.openWith(makeResult({"TABLESPACE_NAME", "PCT_FREE", "PCT_USED", "INITIAL_EXTENT",
                                    "NEXT_EXTENT", "NUM_ROWS", "BLOCKS", "EMPTY_BLOCKS", "AVG_ROW_LEN"},
                                   t));
        indexes.openWith(makeResult({"OWNER", "INDEX_NAME", "TABLESPACE_NAME", "UNIQUENESS", "PCT_FREE",
                                     "INITIAL_EXTENT", "NEXT_EXTENT", "BLEVEL", "LEAF_BLOCKS"},
                                    i));
        indCols.openWith(makeResult({"INDEX_OWNER", "INDEX_NAME", "COLUMN_NAME", "COLUMN_POSITION",
                                     "COLUMN_LENGTH", "DATA_PRECISION", "DATA_SCALE"},
                                    c));
        s.state.RowCounts[SlotTables] = n1;
        s.state.RowCounts[SlotIndexes] = n2;
        s.state.RowCounts[SlotIndCols] = n3;
    }

    void loadView(const QString& name, const QString& text)
    {
        views.openWith(makeResult({"OWNER", "VIEW_NAME", "TEXT_LENGTH", "TEXT"},
                                  {{"SCOTT", name, QString::number(text.size()), text}}));
    }

    // c columns numbered 1..c; comments from the callback when given.
    void loadColumns(int c, const QStringList& comments = {})
    {
        QVector<QStringList> rows;
        for (int k = 1; k <= c; ++k)
            rows.push_back({QString::number(k), QString("COL_%1").arg(k),
                            k - 1 < comments.size() ? comments[k - 1] : QString("comment %1").arg(k),
                            "NUMBER", "22", QString(), QString(), "Y", QString()});
        tabCols.openWith(makeResult({"COLUMN_ID", "COLUMN_NAME", "COMMENTS", "DATA_TYPE", "DATA_LENGTH",
                                     "DATA_PRECISION", "DATA_SCALE", "NULLABLE", "DEFAULT_LENGTH"},
                                    rows));
        s.state.RowCounts[SlotTabCols] = c;
        s.state.ColumnPageCount = columnPageCount(c, s.settings.MaxPageRow);
    }
};

inline QVector<CanvasOp> textOps(const document::RecordingCanvas& c)
{
    return c.ofKind(CanvasOp::Kind::Text);
}

// y of every horizontal line whose x runs from x1 to x2.
inline QVector<int> horizontalRules(const document::RecordingCanvas& c, int x1, int x2)
{
    QVector<int> ys;
    for (const auto& op : c.ofKind(CanvasOp::Kind::Line))
        if (op.y1 == op.y2 && op.x1 == x1 && op.x2 == x2)
            ys.push_back(op.y1);
    return ys;
}

// Vertical lines as (x, y1, y2).
struct VRule {
    int x, y1, y2;
    bool operator==(const VRule& o) const { return x == o.x && y1 == o.y1 && y2 == o.y2; }
};
inline QVector<VRule> verticalRules(const document::RecordingCanvas& c)
{
    QVector<VRule> v;
    for (const auto& op : c.ofKind(CanvasOp::Kind::Line))
        if (op.x1 == op.x2 && op.y1 != op.y2)
            v.push_back({op.x1, op.y1, op.y2});
    return v;
}

inline QVector<int> range(int from, int to, int step)
{
    QVector<int> v;
    for (int k = from; k <= to; k += step)
        v.push_back(k);
    return v;
}

} // namespace morvane::test
