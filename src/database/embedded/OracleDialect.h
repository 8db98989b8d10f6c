#pragma once
// Turns the Oracle statement texts the program sends into texts SQLite runs
// with the same result. Only what SQLite lacks is touched, the rest of the
// text stays as written (SQLite names unaliased result columns by their text).
#include <QString>

namespace morvane::embedded {

// Rewrites the (+) outer-join marker into LEFT JOINs; in ORDER BY, takes bare
// names for the select-list columns they name and gives every term Oracle's
// NULL placement (last ascending, first descending).
// Throws DbError with an Oracle-like message for a form it cannot translate.
QString toSqlite(const QString& oracleSql);

// The two steps separately, for tests.
QString rewriteOuterJoins(const QString& sql);
QString oracleOrderBy(const QString& sql);

} // namespace morvane::embedded
