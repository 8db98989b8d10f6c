#pragma once
// A driver whose answers a test writes: each statement goes to a handler
// that returns rows or throws DbError.
#include "database/DbDriver.h"
#include <functional>

namespace morvane::test {

class FakeDriver : public IDbDriver {
public:
    using Handler = std::function<ResultSet(const QString& sql, const BindList& binds)>;
    explicit FakeDriver(Handler h) : m_handler(std::move(h)) { }

    void logon(const LogonParams&) override { m_connected = true; }
    void logoff() noexcept override { m_connected = false; }
    bool isConnected() const override { return m_connected; }
    ResultSet query(const QString& sql, const BindList& binds) override { return m_handler(sql, binds); }
    void execute(const QString& sql, const BindList& binds) override { m_handler(sql, binds); }

private:
    Handler m_handler;
    bool m_connected = false;
};

// A result of one row with the given text columns.
inline ResultSet oneRow(const QStringList& names, const QStringList& values)
{
    ResultSet rs;
    for (const QString& n : names)
        rs.columns.push_back({n, false});
    rs.rows.push_back(QVector<QString>(values.begin(), values.end()));
    return rs;
}

inline ResultSet noRows(const QStringList& names)
{
    ResultSet rs;
    for (const QString& n : names)
        rs.columns.push_back({n, false});
    return rs;
}

} // namespace morvane::test
