#pragma once
// A record of every statement sent to the server, with its bound values.
// Tests listen in memory; a user sets MORVANE_SQL_TRACE to a file path.
#include "database/DbDriver.h"
#include <functional>

namespace morvane {

struct TraceEntry {
    QString queryName; // "AQ_Tab_Cols", "AQ_Count", ...
    QString kind;      // "open" or "execute"
    QString sql;
    BindList binds;
};

class SqlTrace {
public:
    using Listener = std::function<void(const TraceEntry&)>;
    static void record(const TraceEntry& entry);
    static int addListener(Listener listener);
    static void removeListener(int id);
};

// Collects entries while it lives; for tests.
class TraceRecorder {
public:
    TraceRecorder();
    ~TraceRecorder();
    TraceRecorder(const TraceRecorder&) = delete;
    TraceRecorder& operator=(const TraceRecorder&) = delete;
    const QVector<TraceEntry>& entries() const { return m_entries; }
    void clear() { m_entries.clear(); }

private:
    int m_id;
    QVector<TraceEntry> m_entries;
};

} // namespace morvane
