#include "database/embedded/SqliteUtil.h"
#include <QFile>
#include <sqlite3.h>

namespace morvane::embedded {

QString oracleLikeMessage(const QString& m)
{
    struct Code {
        const char* prefix;
        const char* ora;
    };
    // The messages the program's users know from the server for the same faults.
    static const Code codes[] = {
        {"no such table", "ORA-00942: table or view does not exist"},
        {"no such column", "ORA-00904: invalid identifier"},
        {"ambiguous column name", "ORA-00918: column ambiguously defined"},
        {"near ", "ORA-00900: invalid SQL statement"},
        {"incomplete input", "ORA-00900: invalid SQL statement"},
        {"attempt to write a readonly database", "ORA-16000: database open for read-only access"},
    };
    for (const Code& c : codes)
        if (m.startsWith(QLatin1String(c.prefix)))
            return QStringLiteral("%1 (%2)").arg(QLatin1String(c.ora), m);
    return QStringLiteral("SQLite: ") + m;
}

QString errorText(sqlite3* db)
{
    return oracleLikeMessage(QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory"));
}

QString quoteIdent(const QString& name)
{
    QString n = name;
    n.replace('"', QLatin1String("\"\""));
    return '"' + n + '"';
}

Statement::Statement(sqlite3* db, const QString& sql) : m_db(db)
{
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), utf8.size(), &m_stmt, nullptr) != SQLITE_OK) {
        const QString msg = errorText(db);
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        throw DbError(msg);
    }
    if (!m_stmt)
        throw DbError(QStringLiteral("ORA-00900: invalid SQL statement (empty statement)"));
}

Statement::~Statement() { sqlite3_finalize(m_stmt); }

Statement& Statement::bind(int index, const QVariant& value)
{
    int rc;
    if (value.isNull()) {
        rc = sqlite3_bind_null(m_stmt, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::Bool: rc = sqlite3_bind_int64(m_stmt, index, value.toLongLong()); break;
        case QMetaType::Double: rc = sqlite3_bind_double(m_stmt, index, value.toDouble()); break;
        default: {
            const QByteArray utf8 = value.toString().toUtf8();
            rc = sqlite3_bind_text(m_stmt, index, utf8.constData(), utf8.size(), SQLITE_TRANSIENT);
        }
        }
    }
    if (rc != SQLITE_OK)
        throw DbError(errorText(m_db));
    return *this;
}

Statement& Statement::bindAll(std::initializer_list<QVariant> values)
{
    int i = 1;
    for (const QVariant& v : values)
        bind(i++, v);
    return *this;
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const QString msg = errorText(m_db);
    sqlite3_reset(m_stmt);
    throw DbError(msg);
}

void Statement::run()
{
    while (step()) { }
    reset();
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

QString Statement::text(int column) const
{
    if (sqlite3_column_type(m_stmt, column) == SQLITE_NULL)
        return {};
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return QString::fromUtf8(p, sqlite3_column_bytes(m_stmt, column));
}

qint64 Statement::integer(int column) const { return sqlite3_column_int64(m_stmt, column); }

bool Statement::isNull(int column) const { return sqlite3_column_type(m_stmt, column) == SQLITE_NULL; }

int Statement::columnCount() const { return sqlite3_column_count(m_stmt); }

void exec(sqlite3* db, const QString& sql)
{
    char* err = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString msg = oracleLikeMessage(QString::fromUtf8(err ? err : sqlite3_errmsg(db)));
        sqlite3_free(err);
        throw DbError(msg);
    }
}

// A savepoint nests inside a transaction that a caller may already hold.
Transaction::Transaction(sqlite3* db) : m_db(db) { exec(db, QStringLiteral("SAVEPOINT morvane_tx")); }

Transaction::~Transaction()
{
    if (m_open) {
        sqlite3_exec(m_db, "ROLLBACK TO morvane_tx", nullptr, nullptr, nullptr);
        sqlite3_exec(m_db, "RELEASE morvane_tx", nullptr, nullptr, nullptr);
    }
}

void Transaction::commit()
{
    exec(m_db, QStringLiteral("RELEASE morvane_tx"));
    m_open = false;
}

sqlite3* createDatabaseFile(const QString& path, const QString& failureText)
{
    QFile::remove(path);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr)
        != SQLITE_OK) {
        const QString msg = errorText(db);
        sqlite3_close(db);
        throw DbError(QStringLiteral("%1: %2 (%3)").arg(failureText, path, msg));
    }
    return db;
}

} // namespace morvane::embedded
