#pragma once
// The seam between the client layer and a database engine. The layer above
// (Connection, Query) never knows which engine runs the statement texts.
#include <QString>
#include <QVector>
#include <QList>
#include <QPair>
#include <memory>
#include <stdexcept>

namespace morvane {

// Every database failure: logon refused, statement rejected, connection lost.
// Carries the server's own message and, when there is one, its ORA number
// (1017 for ORA-01017). Without an explicit number, a message that begins
// with "ORA-nnnnn" gives its number; any other message has 0.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& message, int oraCode = 0)
        : std::runtime_error(message.toStdString()), m_message(message),
          m_oraCode(oraCode != 0 ? oraCode : leadingOraCode(message))
    {
    }
    const QString& message() const { return m_message; }
    int oraCode() const { return m_oraCode; }

    static int leadingOraCode(const QString& message)
    {
        const QString m = message.trimmed();
        if (!m.startsWith(QLatin1String("ORA-")) || m.size() < 9)
            return 0;
        int code = 0;
        for (int i = 4; i < 9; ++i) {
            if (!m[i].isDigit())
                return 0;
            code = code * 10 + m[i].digitValue();
        }
        return code;
    }

private:
    QString m_message;
    int m_oraCode = 0;
};

// The words of a failure as the user should read them: the server's message
// for a database error, else the exception's own text.
inline QString reasonOf(const std::exception& e)
{
    if (const auto* db = dynamic_cast<const DbError*>(&e))
        return db->message();
    return QString::fromUtf8(e.what());
}

struct LogonParams {
    QString server; // network service name
    QString user;
    QString password; // handed over as typed: no connection-string quoting
};

// Named text parameters in bind order; names without the leading colon.
using BindList = QList<QPair<QString, QString>>;

struct ColumnMeta {
    QString name;         // as the select list names it, e.g. "COUNT(*)"
    bool numeric = false; // values are plain decimal digits
};

// A fetched result. A NULL value is a null QString (isNull() true); numbers
// are already plain decimal text (no grouping, no trailing zeros).
struct ResultSet {
    QVector<ColumnMeta> columns;
    QVector<QVector<QString>> rows;
};

class IDbDriver {
public:
    virtual ~IDbDriver() = default;
    virtual void logon(const LogonParams& params) = 0; // throws DbError
    virtual void logoff() noexcept = 0;
    virtual bool isConnected() const = 0;
    // A statement with rows; binds are by name (":OWNER" in the text).
    virtual ResultSet query(const QString& sql, const BindList& binds) = 0;
    // A statement without rows (ANALYZE TABLE ...).
    virtual void execute(const QString& sql, const BindList& binds) = 0;
    // The server's warning of the last logon, which went ahead all the same
    // (ORA-28002: the password will expire soon); empty when there was none.
    virtual QString logonWarning() const { return {}; }
};

} // namespace morvane
