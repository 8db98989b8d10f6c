#pragma once
// The loaded data of one object as the page routines draw it: a value taken
// out of the shared state and the dictionary queries once the load is done,
// so that drawing a page moves no query and reads no shared state.
#include "core/AppState.h"
#include "database/DbDriver.h"
#include "database/LoadedObject.h"
#include <array>

namespace morvane::document {

struct DocumentData {
    // Header values.
    QString owner; // the owner the statements were bound to
    QString tableName;
    QString tableType;
    QString tableComment; // "(" + comment + ")" or empty
    QString printName;
    bool isSynonym = false;
    QString synonymOwner;
    QString synonymName;
    QString synonymTargetType;

    int maxPageRow = kDefaultMaxPageRow; // the setting; pages hold what fits of it
    std::array<int, 9> rowCounts{};      // slots 2..6

    // Rows of the dictionary load.
    ResultSet tables, indexes, indCols, views, tabCols;
};

// Snapshot of a loaded object: owner, names and counts from the load, its
// rows from the session's queries, the comment and the settings from the session.
DocumentData documentDataFrom(const Session& session, const LoadedObject& loaded);
// The chosen object as LoadTableDictionary left it in the shared records
// (what the windows print and preview).
DocumentData documentDataFrom(const Session& session);

// Page 1, its continuation pages and the column pages: every page a caller draws.
int documentPageCount(const DocumentData& data);

// Value of a field in a row, NULL as empty text; throws std::runtime_error for
// a field the rows do not have (a section that was never loaded).
QString fieldText(const ResultSet& rows, int row, const QString& field);
// Integer value of a field, empty as 0; throws for text that is no number.
qint64 fieldInteger(const ResultSet& rows, int row, const QString& field);

} // namespace morvane::document
