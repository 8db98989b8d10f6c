#pragma once
// Runs a dictionary script: SQLite statements plus the engine's own
// "ANALYZE TABLE owner.table COMPUTE STATISTICS" lines.
#include <QByteArray>
#include <QString>

struct sqlite3;

namespace morvane::embedded {

// Throws DbError naming the script and the line of the failing statement.
void runDictionaryScript(sqlite3* db, const QByteArray& script, const QString& name);

} // namespace morvane::embedded
