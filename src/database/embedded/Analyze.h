#pragma once
// ANALYZE TABLE for the embedded engine: recomputes the storage figures of a
// dictionary table and of its indexes from the table's stored rows, sized the
// way an Oracle server with 8 KB blocks would store them.
#include <QString>
#include <optional>

struct sqlite3;

namespace morvane::embedded {

struct AnalyzeCommand {
    QString owner;
    QString table;
    bool remove = false; // DELETE STATISTICS instead of COMPUTE
};

// nullopt when the text is no ANALYZE statement at all; a malformed ANALYZE
// throws ORA-01490. Unquoted names are upper-cased as Oracle does; a missing
// owner is the logon user.
std::optional<AnalyzeCommand> parseAnalyze(const QString& sql, const QString& logonUser);

// Throws "ORA-00942: table or view does not exist" for a table not in ALL_TABLES.
void runAnalyze(sqlite3* db, const AnalyzeCommand& cmd);

// Bytes Oracle needs for a NUMBER given as decimal text ("-12.50", "7369").
int oracleNumberBytes(const QString& decimal);

inline constexpr int kBlockSize = 8192;

} // namespace morvane::embedded
