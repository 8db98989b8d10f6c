#include "database/embedded/SqliteDriver.h"
#include "database/embedded/Analyze.h"
#include "database/embedded/DictionarySchema.h"
#include "database/embedded/OracleDialect.h"
#include "database/embedded/SqliteUtil.h"
#include "database/Snapshot.h"
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringList>
#include <cmath>
#include <sqlite3.h>

namespace morvane {

using namespace embedded;

namespace {

const char* const kDictionaryTables[] = {
    "ALL_USERS", "ALL_CATALOG",     "ALL_TAB_COMMENTS", "ALL_TABLES",   "ALL_INDEXES", "ALL_IND_COLUMNS",
    "ALL_VIEWS", "ALL_TAB_COLUMNS", "ALL_COL_COMMENTS", "ALL_SYNONYMS", kAccountsTable};

QString notDictionary(const QString& path, const QString& why)
{
    return QStringLiteral("ORA-01034: ORACLE not available (辞書ファイルとして使えません: %1: %2)")
        .arg(path, why);
}

quint32 bigEndian(const QByteArray& b, int at, int bytes)
{
    quint32 v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

// Catches files that SQLite would open lazily and fail on later: empty,
// foreign or cut short. Reads only the 100-byte header.
void checkFileHeader(const QString& path)
{
    QFile f(path);
    if (!f.exists())
        throw DbError(QStringLiteral("ORA-12154: TNS:could not resolve the connect identifier "
                                     "specified (辞書ファイルがありません: %1)")
                          .arg(path));
    if (!f.open(QIODevice::ReadOnly))
        throw DbError(notDictionary(path, f.errorString()));
    const qint64 size = f.size();
    if (size == 0)
        throw DbError(notDictionary(path, QStringLiteral("空のファイルです")));
    const QByteArray h = f.read(100);
    if (h.size() < 100 || !h.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        throw DbError(notDictionary(path, QStringLiteral("SQLite のデータベースではありません")));
    quint32 pageSize = bigEndian(h, 16, 2);
    if (pageSize == 1)
        pageSize = 65536;
    const quint32 pages = bigEndian(h, 28, 4);
    // The page count is only trustworthy when its version stamp matches the change counter.
    // In WAL mode the newest pages may still sit in the -wal file.
    const bool wal = static_cast<unsigned char>(h[18]) == 2;
    const bool pagesValid = !wal && bigEndian(h, 24, 4) == bigEndian(h, 92, 4) && pages > 0;
    if (pageSize < 512 || (pageSize & (pageSize - 1)) || size % pageSize != 0
        || (pagesValid && qint64(pages) * pageSize > size))
        throw DbError(notDictionary(path, QStringLiteral("ファイルが途中で切れています")));
}

QString formatReal(double v)
{
    if (!std::isfinite(v))
        return QString::number(v);
    if (v == 0)
        return QStringLiteral("0");
    // 15 significant digits, placed by hand so that no exponent appears.
    const QString e = QString::number(std::fabs(v), 'e', 14);
    const int ePos = e.indexOf('e');
    QString digits = e.left(ePos).remove('.');
    const int exp = e.mid(ePos + 1).toInt();
    while (digits.size() > 1 && digits.endsWith('0'))
        digits.chop(1);
    QString out;
    if (exp >= 0) {
        if (digits.size() <= exp + 1)
            out = digits + QString(exp + 1 - digits.size(), '0');
        else
            out = digits.left(exp + 1) + '.' + digits.mid(exp + 1);
    } else {
        out = QStringLiteral("0.") + QString(-exp - 1, '0') + digits;
    }
    return v < 0 ? '-' + out : out;
}

QString columnValue(sqlite3_stmt* st, int c)
{
    switch (sqlite3_column_type(st, c)) {
    case SQLITE_NULL: return {};
    case SQLITE_INTEGER: return QString::number(sqlite3_column_int64(st, c));
    case SQLITE_FLOAT: return formatReal(sqlite3_column_double(st, c));
    case SQLITE_BLOB: {
        const QByteArray raw(static_cast<const char*>(sqlite3_column_blob(st, c)),
                             sqlite3_column_bytes(st, c));
        return QString::fromLatin1(raw.toHex().toUpper());
    }
    default:
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)),
                                 sqlite3_column_bytes(st, c));
    }
}

bool numericDeclType(const char* decl)
{
    if (!decl)
        return false;
    const QByteArray d = QByteArray(decl).toUpper();
    for (const char* w : {"NUMBER", "INT", "REAL", "FLOA", "DOUB", "NUMERIC", "DECIMAL"})
        if (d.contains(w))
            return true;
    return false;
}

} // namespace

// Prepared statements by their Oracle text, so the rewrite and the prepare
// happen once per distinct statement.
struct SqliteDriver::StatementCache {
    static constexpr int kLimit = 64;
    QHash<QString, sqlite3_stmt*> byText;
    QStringList order;

    ~StatementCache() { clear(); }
    void clear()
    {
        for (sqlite3_stmt* st : std::as_const(byText))
            sqlite3_finalize(st);
        byText.clear();
        order.clear();
    }
    sqlite3_stmt* get(sqlite3* db, const QString& oracleSql)
    {
        if (sqlite3_stmt* st = byText.value(oracleSql))
            return st;
        const QByteArray utf8 = toSqlite(oracleSql).toUtf8();
        sqlite3_stmt* st = nullptr;
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(db, utf8.constData(), utf8.size(), &st, &tail) != SQLITE_OK) {
            sqlite3_finalize(st);
            throw DbError(errorText(db));
        }
        if (!st)
            throw DbError(QStringLiteral("ORA-00900: invalid SQL statement"));
        const QByteArray rest = QByteArray(tail).trimmed();
        if (!rest.isEmpty() && rest != ";") {
            sqlite3_finalize(st);
            throw DbError(QStringLiteral("ORA-00933: SQL command not properly ended"));
        }
        if (order.size() >= kLimit)
            sqlite3_finalize(byText.take(order.takeFirst()));
        byText.insert(oracleSql, st);
        order << oracleSql;
        return st;
    }
};

SqliteDriver::SqliteDriver(QString path)
    : m_path(std::move(path)), m_cache(std::make_unique<StatementCache>())
{
}

SqliteDriver::~SqliteDriver() { logoff(); }

void SqliteDriver::logon(const LogonParams& params)
{
    logoff();
    checkFileHeader(m_path);
    sqlite3* db = nullptr;
    // Never create: a missing dictionary is an error, not an empty database.
    const int rc =
        sqlite3_open_v2(QFile::encodeName(m_path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        const QString why = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        sqlite3_close(db);
        throw DbError(notDictionary(m_path, why));
    }
    m_db = db;
    try {
        sqlite3_busy_timeout(m_db, 3000);
        checkDictionary();
        if (!checkAccount(m_db, params.user, params.password))
            throw DbError(QStringLiteral("ORA-01017: invalid username/password; logon denied"));
    } catch (...) {
        logoff();
        throw;
    }
    m_user = params.user.toUpper();
}

void SqliteDriver::checkDictionary()
{
    QStringList missing;
    try {
        Statement st(m_db, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?"));
        for (const char* t : kDictionaryTables) {
            st.bind(1, QLatin1String(t));
            if (!st.step())
                missing << QLatin1String(t);
            st.reset();
        }
    } catch (const DbError& e) {
        throw DbError(notDictionary(m_path, e.message()));
    }
    if (!missing.isEmpty())
        throw DbError(notDictionary(m_path, QStringLiteral("表 %1 がありません").arg(missing.join(", "))));
}

void SqliteDriver::logoff() noexcept
{
    if (m_cache)
        m_cache->clear();
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    m_user.clear();
}

ResultSet SqliteDriver::query(const QString& sql, const BindList& binds)
{
    if (!m_db)
        throw DbError(QStringLiteral("ORA-03114: not connected to ORACLE"));
    sqlite3_stmt* st = m_cache->get(m_db, sql);
    // Leaves the cached statement ready for its next use, whatever happens here.
    struct Reset {
        sqlite3_stmt* st;
        ~Reset()
        {
            sqlite3_reset(st);
            sqlite3_clear_bindings(st);
        }
    } reset{st};

    const int params = sqlite3_bind_parameter_count(st);
    for (int i = 1; i <= params; ++i) {
        const char* raw = sqlite3_bind_parameter_name(st, i);
        const QString name = raw ? QString::fromUtf8(raw + 1) : QString();
        const QPair<QString, QString>* value = nullptr;
        for (const auto& b : binds)
            if (!name.isEmpty() && b.first.compare(name, Qt::CaseInsensitive) == 0)
                value = &b;
        if (!value)
            throw DbError(QStringLiteral("ORA-01008: not all variables bound (%1)")
                              .arg(raw ? QString::fromUtf8(raw) : QStringLiteral("?")));
        // Oracle makes no difference between an empty text and NULL.
        int rc;
        if (value->second.isEmpty()) {
            rc = sqlite3_bind_null(st, i);
        } else {
            const QByteArray utf8 = value->second.toUtf8();
            rc = sqlite3_bind_text(st, i, utf8.constData(), utf8.size(), SQLITE_TRANSIENT);
        }
        if (rc != SQLITE_OK)
            throw DbError(errorText(m_db));
    }

    ResultSet rs;
    const int cols = sqlite3_column_count(st);
    QVector<bool> declared(cols, false), undeclared(cols, false), sawText(cols, false);
    for (int c = 0; c < cols; ++c) {
        ColumnMeta meta;
        meta.name = QString::fromUtf8(sqlite3_column_name(st, c));
        const char* decl = sqlite3_column_decltype(st, c);
        declared[c] = numericDeclType(decl);
        undeclared[c] = decl == nullptr;
        rs.columns.push_back(meta);
    }
    QVector<bool> sawNumber(cols, false);
    for (;;) {
        const int rc = sqlite3_step(st);
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW)
            throw DbError(errorText(m_db));
        QVector<QString> row(cols);
        for (int c = 0; c < cols; ++c) {
            const int type = sqlite3_column_type(st, c);
            if (type == SQLITE_INTEGER || type == SQLITE_FLOAT)
                sawNumber[c] = true;
            else if (type != SQLITE_NULL)
                sawText[c] = true;
            row[c] = columnValue(st, c);
        }
        rs.rows.push_back(std::move(row));
    }
    for (int c = 0; c < cols; ++c)
        rs.columns[c].numeric = declared[c] || (undeclared[c] && sawNumber[c] && !sawText[c]);
    return rs;
}

void SqliteDriver::execute(const QString& sql, const BindList& binds)
{
    if (!m_db)
        throw DbError(QStringLiteral("ORA-03114: not connected to ORACLE"));
    if (const auto cmd = parseAnalyze(sql, m_user)) {
        // A snapshot holds no table rows: analysing it would replace the
        // source's figures with those of empty tables.
        Statement snap(m_db, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?"));
        snap.bind(1, QLatin1String(kSnapshotTable));
        if (snap.step())
            throw DbError(QStringLiteral("ORA-16000: database open for read-only access "
                                         "(スナップショットの統計はコピー元で取得されたものです)"));
        runAnalyze(m_db, *cmd);
        return;
    }
    query(sql, binds);
}

} // namespace morvane
