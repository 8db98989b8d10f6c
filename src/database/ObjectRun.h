#pragma once
// One run over many objects of one owner: for each catalog row, make it the
// chosen object, load its dictionary for that owner, act on it, count what
// failed, and go on. Print-all, multi-print, the all-tables ANALYZE and the
// headless renderer each bring their own action and messages.
#include "core/FailureSummary.h"
#include "database/Query.h"
#include <QVector>
#include <functional>

namespace morvane {

class TDataModule2;

struct CatalogRow {
    QString name, type, comment;
};

// Hands out the rows of a run one after another; false when there are no more.
using RowSource = std::function<bool(CatalogRow& row)>;

// From the query's first row on, moving the query (the catalog's fields
// TABLE_NAME, TABLE_TYPE and COMMENTS).
RowSource queryRows(Query& catalog);
// The rows at the bookmarks, in the order given, moving the query.
RowSource bookmarkRows(Query& catalog, QVector<Bookmark> marks);
RowSource listRows(QVector<CatalogRow> rows);

struct ObjectRunSteps {
    // TableComment := "(" + comment + ")" or empty; the ANALYZE run leaves it.
    bool setComment = true;
    // Load the object before the action (into the shared state, never into
    // the settings record: the owner stays the run's); the ANALYZE run loads
    // inside its own action.
    bool load = true;
    std::function<void(const CatalogRow&)> chosen;     // TableName and TableType are set
    std::function<bool(const CatalogRow&)> act;        // false counts the object as failed
    std::function<void(const CatalogRow&)> loadFailed; // after the load's own message
    std::function<void()> between;                     // after each object
    // When set, each object's messages are kept there as OWNER.NAME's.
    FailureSummary* failures = nullptr;
};

struct ObjectRunResult {
    int objects = 0;
    int failed = 0;
};

// Every row is an object of owner; the action finds what was loaded in
// dm.loaded(). Errors of the row source or of an action are not caught: they
// end the run.
ObjectRunResult runPerObject(TDataModule2& dm, const QString& owner, const RowSource& rows,
                             const ObjectRunSteps& steps);

} // namespace morvane
