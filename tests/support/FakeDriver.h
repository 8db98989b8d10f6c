#pragma once
// A driver whose answers a test writes: each statement goes to a handler
// that returns rows or throws DbError. Logon can be refused by password.
#include "database/DbDriver.h"
#include <functional>

namespace morvane::test {

class FakeDriver : public IDbDriver {
public:
    using Handler = std::function<ResultSet(const QString& sql, const BindList& binds)>;
    explicit FakeDriver(Handler h, QString password = QString())
        : m_handler(std::move(h)), m_password(std::move(password)) {}

    void logon(const LogonParams& p) override
    {
        logons.push_back(p);
        if (refuseAll)
            throw DbError("ORA-12541: TNS:no listener");
        if (!m_password.isNull() && p.password != m_password)
            throw DbError("ORA-01017: invalid username/password; logon denied");
        m_connected = true;
    }
    void logoff() noexcept override { m_connected = false; }
    bool isConnected() const override { return m_connected; }
    ResultSet query(const QString& sql, const BindList& binds) override
    {
        return m_handler(sql, binds);
    }
    void execute(const QString& sql, const BindList& binds) override { m_handler(sql, binds); }

    QVector<LogonParams> logons;
    bool refuseAll = false;

private:
    Handler m_handler;
    QString m_password;
    bool m_connected = false;
};

// A result of one row and the given named columns (numeric when the value is digits).
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
