#pragma once
// The embedded engine: answers the program's Oracle statement texts from a
// SQLite file that holds the dictionary views as tables.
#include "database/DbDriver.h"

struct sqlite3;

namespace morvane {

class SqliteDriver : public IDbDriver {
public:
    explicit SqliteDriver(QString path);
    ~SqliteDriver() override;

    void logon(const LogonParams& params) override;
    void logoff() noexcept override;
    bool isConnected() const override { return m_db != nullptr; }
    ResultSet query(const QString& sql, const BindList& binds) override;
    void execute(const QString& sql, const BindList& binds) override;

private:
    struct StatementCache;
    void checkDictionary();

    QString m_path;
    sqlite3* m_db = nullptr;
    QString m_user;
    std::unique_ptr<StatementCache> m_cache;
};

} // namespace morvane
