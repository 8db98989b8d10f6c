#include "database/SqlTrace.h"
#include <QFile>
#include <QTextStream>
#include <QDateTime>
#include <map>

namespace morvane {

namespace {
std::map<int, SqlTrace::Listener>& listeners()
{
    static std::map<int, SqlTrace::Listener> l;
    return l;
}

void writeToFile(const TraceEntry& e)
{
    static const QString path = qEnvironmentVariable("MORVANE_SQL_TRACE");
    if (path.isEmpty())
        return;
    QFile f(path);
    if (!f.open(QIODevice::Append | QIODevice::Text))
        return;
    QTextStream out(&f);
    out << "-- " << QDateTime::currentDateTime().toString(Qt::ISODateWithMs) << ' ' << e.queryName << ' '
        << e.kind << '\n'
        << e.sql << '\n';
    for (const auto& b : e.binds)
        out << "--   :" << b.first << " = '" << b.second << "'\n";
}
} // namespace

void SqlTrace::record(const TraceEntry& entry)
{
    writeToFile(entry);
    auto copy = listeners(); // a listener may unregister itself
    for (auto& [id, l] : copy)
        l(entry);
}

int SqlTrace::addListener(Listener listener)
{
    static int next = 1;
    listeners()[next] = std::move(listener);
    return next++;
}

void SqlTrace::removeListener(int id) { listeners().erase(id); }

TraceRecorder::TraceRecorder()
    : m_id(SqlTrace::addListener([this](const TraceEntry& e) { m_entries.push_back(e); }))
{
}

TraceRecorder::~TraceRecorder() { SqlTrace::removeListener(m_id); }

} // namespace morvane
