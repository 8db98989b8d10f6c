#pragma once
// The layout of an embedded dictionary file: the ten dictionary views as
// tables with Oracle's column names, SYS's own description of them, and the
// logon accounts.
//
// Demo data rows of a table OWNER.NAME live in the SQLite table "DATA$OWNER$NAME"
// with the dictionary's column names; ANALYZE reads them.
#include <QString>
#include <QStringList>

struct sqlite3;

namespace morvane::embedded {

inline constexpr const char* kAccountsTable = "MORVANE_ACCOUNTS";

// Creates the dictionary tables and their indexes on an empty database.
void createDictionarySchema(sqlite3* db);
// Gathers SQLite's own planner statistics once the file is filled, so that the
// dictionary statements pick the narrow indexes on large dictionaries.
void gatherPlannerStatistics(sqlite3* db);
// Adds SYS's catalog rows for the dictionary views (columns, comments), as a
// server has them; the program reads ALL_TAB_COLUMNS of SYS for its widths.
void installSysObjects(sqlite3* db);
// Adds or replaces an account; the name is kept upper-cased, as Oracle does.
void storeAccount(sqlite3* db, const QString& user, const QString& password);
// True when the account exists and the password matches exactly.
bool checkAccount(sqlite3* db, const QString& user, const QString& password);

// The columns of a dictionary view in this layout, in their order; empty for an unknown view.
QStringList dictionaryColumns(const QString& view);

QString dataTableName(const QString& owner, const QString& table);
QString passwordHash(const QString& salt, const QString& password);

} // namespace morvane::embedded
