#pragma once
// The state that every subsystem reads and writes: the stored settings record
// and the unsaved state of the main window's unit.
#include "core/PageRows.h"
#include <QString>
#include <array>

namespace morvane {

class Query;

// One field per stored value, each named like its value.
struct AppSettings {
    QString LAST_OWNER;
    QString PRINT_NAME;
    bool UserSet = false;
    QString U_SetOwner;
    QString U_LogOn;
    int MaxPageRow = 0;
    QString LAST_ALIAS;
    bool UserSet2 = false;
    // The CSV export's encoding: "" (automatic), "CP932" or "UTF-8".
    QString CSV_ENCODING;

    // Page counts and column pages need at least one row a page; a 0 or a
    // negative value typed during a run pages by the limit the next start reads.
    int effectiveMaxPageRow() const { return MaxPageRow < 1 ? kDefaultMaxPageRow : MaxPageRow; }
};

enum QuerySlot {
    SlotOwner = 0,
    SlotCatalog = 1,
    SlotTables = 2,
    SlotIndexes = 3,
    SlotIndCols = 4,
    SlotViews = 5,
    SlotTabCols = 6,
    SlotSynonyms = 7,
    SlotTabCols2 = 8
};

struct SharedState {
    QString LogonUser;
    QString TableName;
    QString TableType;
    QString TableComment; // "(" + comment + ")" or empty
    bool IsSynonym = false;
    QString SynonymName;
    QString SynonymOwner;
    QString SynonymTargetType;
    std::array<Query*, 9> QueryTable{};
    std::array<int, 9> RowCounts{}; // used at slots 2..6
    int ColumnPageCount = 0;
    QString CatalogSortKey;
    QString CatalogSortCaption;
};

// Both records of one program run.
struct Session {
    AppSettings settings;
    SharedState state;
    bool terminationRequested = false;
};

// "(" + comment + ")", or empty for an empty comment.
inline QString bracketComment(const QString& comment)
{
    return comment.isEmpty() ? QString() : QStringLiteral("(") + comment + QStringLiteral(")");
}

} // namespace morvane
