// TEST DOUBLE of the Oracle client library: see OciStandIn.h. Nothing here is
// Oracle's code or a verification against Oracle.
#include "OciStandIn.h"
#include "StandInText.h"
#include "database/oracle/OciApi.h"
#include "database/embedded/SqliteDriver.h"
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#define STANDIN_EXPORT extern "C" __declspec(dllexport)
#else
#define STANDIN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

using namespace morvane;
namespace o = morvane::oci;

namespace {

MorvaneStandInStats g_stats;
std::vector<std::string> g_statements;
int g_dropAfter = -1;
int g_dropCode = 3113;
bool g_dropKills = true;
// Set from the environment too, to see the warning in the running program.
int g_logonWarning = qEnvironmentVariableIntValue("MORVANE_STANDIN_LOGON_WARNING");
bool g_envInfo = false;
standin::DbCharset g_charset = standin::DbCharset::JA16SJIS;
QMutex g_mutex; // the driver is single-threaded per connection; this keeps the stats sane

struct Handle {
    explicit Handle(ub4 t) : type(t) { ++g_stats.openHandles; }
    virtual ~Handle() { --g_stats.openHandles; }
    ub4 type;
};

struct Env : Handle {
    Env() : Handle(o::HTYPE_ENV) { }
    int code = 0; // errors of OCIEnvNlsCreate itself
    std::string text;
};

struct Err : Handle {
    Err() : Handle(o::HTYPE_ERROR) { }
    int code = 0;
    std::string text;
    void set(int c, const std::string& t)
    {
        code = c;
        text = t;
    }
};

struct Server : Handle {
    Server() : Handle(o::HTYPE_SERVER) { }
    QString path; // the dictionary file of the service
    bool attached = false;
    bool dead = false; // the connection dropped
};

struct Session : Handle {
    Session() : Handle(o::HTYPE_SESSION) { }
    QString user, password;
    std::unique_ptr<SqliteDriver> db;
    bool rolledBack = true; // no statement since the last rollback
};

struct SvcCtx : Handle {
    SvcCtx() : Handle(o::HTYPE_SVCCTX) { }
    Server* server = nullptr;
    Session* session = nullptr;
};

struct Bind : Handle {
    Bind() : Handle(o::HTYPE_BIND) { }
    std::string name; // upper case, without the colon
    void* value = nullptr;
    sb4 size = 0;
    ub2 dty = 0;
    sb2* ind = nullptr;
    ub2* alen = nullptr;
};

struct Define : Handle {
    Define() : Handle(o::HTYPE_DEFINE) { }
    ub4 position = 0;
    char* buf = nullptr;
    sb4 size = 0;
    ub2 dty = 0;
    sb2* ind = nullptr;
    ub2* rlen = nullptr;
    ub2* rcode = nullptr;
    bool dynamic = false;
    void* ctx = nullptr;
    OCICallbackDefine callback = nullptr;
};

struct Param : Handle {
    Param() : Handle(o::DTYPE_PARAM) { }
    std::string name;
    ub2 dtype = 0;
    ub2 size = 0;
};

struct Stmt : Handle {
    Stmt() : Handle(o::HTYPE_STMT) { }
    SvcCtx* svc = nullptr;
    std::string text;
    standin::ScannedSql scanned;
    std::vector<std::string> placeholders; // upper case, distinct
    std::vector<std::unique_ptr<Bind>> binds;
    std::vector<std::unique_ptr<Define>> defines;
    bool executed = false;
    ResultSet result;
    std::vector<ub2> types;
    std::vector<ub2> sizes;
    int cursor = 0;
    ub4 lastFetched = 0;
};

std::string upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return s;
}

bool isSelect(const std::string& sql)
{
    size_t i = sql.find_first_not_of(" \t\r\n(");
    if (i == std::string::npos)
        return false;
    const std::string head = upper(sql.substr(i, 6));
    return head == "SELECT" || head.rfind("WITH", 0) == 0;
}

sword error(Err* err, int code, const std::string& text)
{
    if (err)
        err->set(code, text);
    return o::ERROR;
}

sword fromDbError(Err* err, const DbError& e)
{
    int code = e.oraCode();
    std::string text = e.message().toStdString();
    if (code == 0) {
        code = 20999;
        text = "ORA-20999: " + text;
    }
    return error(err, code, text);
}

// Every mode a call does not implement is refused, so that a driver passing
// one (OCI_DESCRIBE_ONLY to an execute, say) fails here as it would misbehave
// on a server.
sword unsupportedMode(Err* err, const char* call, ub4 mode)
{
    return error(err, 24300,
                 std::string("ORA-24300: bad value for mode (stand-in: ") + call + " mode "
                     + std::to_string(mode) + " not implemented)");
}

// Declared widths of the dictionary columns the program reads, in bytes of
// the database character set, as a 12.2 or later server describes them.
int declaredWidth(const QString& column)
{
    static const QHash<QString, int> widths = {
        {"USERNAME", 128},    {"OWNER", 128},     {"TABLE_NAME", 128},     {"TABLE_TYPE", 11},
        {"OLD_TYPE", 11},     {"COMMENTS", 4000}, {"TABLESPACE_NAME", 30}, {"INDEX_OWNER", 128},
        {"INDEX_NAME", 128},  {"INDEX_TYPE", 27}, {"UNIQUENESS", 9},       {"COLUMN_NAME", 128},
        {"DATA_TYPE", 128},   {"NULLABLE", 1},    {"VIEW_NAME", 128},      {"SYNONYM_NAME", 128},
        {"TABLE_OWNER", 128}, {"DB_LINK", 128},   {"DESCEND", 4}};
    return widths.value(column.toUpper(), 0);
}

// A text as the client receives it: held in the database character set,
// converted to AL32UTF8.
QByteArray clientBytes(const QString& value)
{
    const std::string held = standin::toDatabase(value.toStdString(), g_charset);
    const std::string sent = standin::toClient(held, g_charset);
    return QByteArray(sent.data(), qsizetype(sent.size()));
}

const char* const kLost = "ORA-03113: end-of-file on communication channel";
const char* const kNotConnected = "ORA-03114: not connected to ORACLE";

bool connectionGone(SvcCtx* svc, Err* err)
{
    if (!svc || !svc->server || !svc->session || !svc->session->db) {
        error(err, 3114, kNotConnected);
        return true;
    }
    if (svc->server->dead) {
        error(err, 3114, kNotConnected);
        return true;
    }
    return false;
}

// Oracle's default number-to-text form, as a driver that defined numbers as
// text would receive it: no leading zero before the point, and the decimal
// character of NLS_NUMERIC_CHARACTERS.
[[maybe_unused]] QString defaultNumberText(const QString& plain)
{
    QString t = plain;
    if (t.startsWith(QLatin1String("0.")))
        t.remove(0, 1);
    else if (t.startsWith(QLatin1String("-0.")))
        t.remove(1, 1);
    const QString nls = qEnvironmentVariable("NLS_NUMERIC_CHARACTERS");
    if (!nls.isEmpty())
        t.replace('.', nls.at(0));
    return t;
}

// The type and width of each result column as a server describes them.
void describeColumns(Stmt& st)
{
    st.types.clear();
    st.sizes.clear();
    for (int c = 0; c < st.result.columns.size(); ++c) {
        const ColumnMeta& m = st.result.columns[c];
        ub2 type = o::SQLT_CHR; // VARCHAR2
        int width = 0;
        if (m.numeric) {
            type = o::SQLT_NUM;
            width = 22;
        } else if (m.name.compare(QLatin1String("TEXT"), Qt::CaseInsensitive) == 0
                   || m.name.compare(QLatin1String("DATA_DEFAULT"), Qt::CaseInsensitive) == 0) {
            type = o::SQLT_LNG; // ALL_VIEWS.TEXT is a LONG
        } else {
            // The declared width in bytes of the database character set, never
            // the client's: a Japanese character of 2 bytes here arrives in 3.
            width = std::max(1, declaredWidth(m.name));
            for (const auto& row : st.result.rows)
                width = std::max(width, int(standin::toDatabase(row[c].toStdString(), g_charset).size()));
        }
        st.types.push_back(type);
        st.sizes.push_back(ub2(std::min(width, 65535)));
    }
}

} // namespace

// ---------------------------------------------------------------------------
// Controls for the tests
// ---------------------------------------------------------------------------

STANDIN_EXPORT void morvane_standin_reset()
{
    QMutexLocker l(&g_mutex);
    const int open = g_stats.openHandles;
    g_stats = MorvaneStandInStats{};
    g_stats.openHandles = open;
    g_statements.clear();
    g_dropAfter = -1;
    g_dropCode = 3113;
    g_dropKills = true;
    g_logonWarning = 0;
    g_envInfo = false;
    g_charset = standin::DbCharset::JA16SJIS;
}

STANDIN_EXPORT const MorvaneStandInStats* morvane_standin_stats() { return &g_stats; }

STANDIN_EXPORT const char* morvane_standin_statement(int n)
{
    if (n < 0 || n >= int(g_statements.size()))
        return nullptr;
    return g_statements[size_t(n)].c_str();
}

STANDIN_EXPORT void morvane_standin_drop_after_fetches(int fetchCalls) { g_dropAfter = fetchCalls; }

STANDIN_EXPORT void morvane_standin_logon_warning(int oraCode) { g_logonWarning = oraCode; }

STANDIN_EXPORT void morvane_standin_fetch_failure(int oraCode, int killsSession)
{
    g_dropCode = oraCode;
    g_dropKills = killsSession != 0;
}

STANDIN_EXPORT void morvane_standin_env_info(int on) { g_envInfo = on != 0; }

STANDIN_EXPORT int morvane_standin_database_charset(const char* oracleName)
{
    return oracleName && standin::charsetByName(oracleName, g_charset) ? 1 : 0;
}

// ---------------------------------------------------------------------------
// OCI functions
// ---------------------------------------------------------------------------

STANDIN_EXPORT sword OCIEnvNlsCreate(OCIEnv** envhpp, ub4 mode, void*, void* (*)(void*, size_t),
                                     void* (*)(void*, void*, size_t), void (*)(void*, void*), size_t, void**,
                                     ub2 charset, ub2 ncharset)
{
    if (!envhpp)
        return o::INVALID_HANDLE;
    *envhpp = nullptr;
    g_stats.envCharset = charset;
    g_stats.envNcharset = ncharset;
    // Only AL32UTF8 is delivered; 0 (take NLS_LANG) is not implemented.
    if ((mode & ~(o::DEFAULT | o::THREADED)) != 0 || charset != o::AL32UTF8 || ncharset != o::AL32UTF8)
        return o::ERROR;
    *envhpp = reinterpret_cast<OCIEnv*>(new Env);
    return g_envInfo ? o::SUCCESS_WITH_INFO : o::SUCCESS;
}

STANDIN_EXPORT sword OCIHandleAlloc(const void* parenth, void** hndlpp, ub4 type, size_t, void**)
{
    if (!parenth || !hndlpp)
        return o::INVALID_HANDLE;
    Handle* h = nullptr;
    switch (type) {
    case o::HTYPE_ERROR: h = new Err; break;
    case o::HTYPE_SERVER: h = new Server; break;
    case o::HTYPE_SVCCTX: h = new SvcCtx; break;
    case o::HTYPE_SESSION: h = new Session; break;
    case o::HTYPE_STMT: h = new Stmt; break;
    default: return o::INVALID_HANDLE;
    }
    *hndlpp = h;
    return o::SUCCESS;
}

STANDIN_EXPORT sword OCIHandleFree(void* hndlp, ub4 type)
{
    auto* h = static_cast<Handle*>(hndlp);
    if (!h || h->type != type)
        return o::INVALID_HANDLE;
    delete h;
    return o::SUCCESS;
}

STANDIN_EXPORT sword OCIDescriptorFree(void* descp, ub4 type) { return OCIHandleFree(descp, type); }

STANDIN_EXPORT sword OCIAttrSet(void* trgthndlp, ub4 trghndltyp, void* attributep, ub4 size, ub4 attrtype,
                                OCIError* errhp)
{
    auto* h = static_cast<Handle*>(trgthndlp);
    auto* err = reinterpret_cast<Err*>(errhp);
    if (!h || h->type != trghndltyp)
        return o::INVALID_HANDLE;
    if (trghndltyp == o::HTYPE_SVCCTX && attrtype == o::ATTR_SERVER) {
        static_cast<SvcCtx*>(h)->server = static_cast<Server*>(attributep);
        return o::SUCCESS;
    }
    if (trghndltyp == o::HTYPE_SVCCTX && attrtype == o::ATTR_SESSION) {
        static_cast<SvcCtx*>(h)->session = static_cast<Session*>(attributep);
        return o::SUCCESS;
    }
    if (trghndltyp == o::HTYPE_SESSION && (attrtype == o::ATTR_USERNAME || attrtype == o::ATTR_PASSWORD)) {
        const QString v = QString::fromUtf8(static_cast<const char*>(attributep), int(size));
        (attrtype == o::ATTR_USERNAME ? static_cast<Session*>(h)->user : static_cast<Session*>(h)->password) =
            v;
        return o::SUCCESS;
    }
    return error(err, 24315, "ORA-24315: illegal attribute type (stand-in)");
}

STANDIN_EXPORT sword OCIAttrGet(const void* trgthndlp, ub4 trghndltyp, void* attributep, ub4* sizep,
                                ub4 attrtype, OCIError* errhp)
{
    auto* h = static_cast<const Handle*>(trgthndlp);
    auto* err = reinterpret_cast<Err*>(errhp);
    if (!h || h->type != trghndltyp || !attributep)
        return o::INVALID_HANDLE;
    if (trghndltyp == o::HTYPE_STMT) {
        auto* st = static_cast<const Stmt*>(h);
        switch (attrtype) {
        case o::ATTR_STMT_TYPE:
            *static_cast<ub2*>(attributep) = isSelect(st->text) ? o::STMT_SELECT : ub2(7);
            return o::SUCCESS;
        case o::ATTR_PARAM_COUNT:
            if (!st->executed)
                return error(err, 24338, "ORA-24338: statement handle not executed");
            *static_cast<ub4*>(attributep) = ub4(st->result.columns.size());
            return o::SUCCESS;
        case o::ATTR_ROWS_FETCHED: *static_cast<ub4*>(attributep) = st->lastFetched; return o::SUCCESS;
        case o::ATTR_ROW_COUNT: *static_cast<ub4*>(attributep) = ub4(st->cursor); return o::SUCCESS;
        default: break;
        }
    } else if (trghndltyp == o::DTYPE_PARAM) {
        auto* p = static_cast<const Param*>(h);
        switch (attrtype) {
        case o::ATTR_DATA_TYPE: *static_cast<ub2*>(attributep) = p->dtype; return o::SUCCESS;
        case o::ATTR_DATA_SIZE: *static_cast<ub2*>(attributep) = p->size; return o::SUCCESS;
        case o::ATTR_NAME:
            *static_cast<const OraText**>(attributep) = reinterpret_cast<const OraText*>(p->name.c_str());
            if (sizep)
                *sizep = ub4(p->name.size());
            return o::SUCCESS;
        default: break;
        }
    }
    return error(err, 24315, "ORA-24315: illegal attribute type (stand-in)");
}

STANDIN_EXPORT sword OCIServerAttach(OCIServer* srvhp, OCIError* errhp, const OraText* dblink, sb4 dblink_len,
                                     ub4 mode)
{
    auto* srv = reinterpret_cast<Server*>(srvhp);
    auto* err = reinterpret_cast<Err*>(errhp);
    if (!srv || srv->type != o::HTYPE_SERVER || !err)
        return o::INVALID_HANDLE;
    if (mode != o::DEFAULT)
        return unsupportedMode(err, "OCIServerAttach", mode);
    QString name = QString::fromUtf8(reinterpret_cast<const char*>(dblink), dblink_len).trimmed();
    // Easy Connect "host:port/service": the service part names the file.
    if (name.contains('/'))
        name = name.section('/', -1);
    const QString dir = qEnvironmentVariable("MORVANE_STANDIN_DIR");
    const QString path = dir + '/' + name.toUpper() + QStringLiteral(".db");
    if (dir.isEmpty() || name.isEmpty() || !QFileInfo::exists(path))
        return error(err, 12154, "ORA-12154: TNS:could not resolve the connect identifier specified");
    srv->path = path;
    srv->attached = true;
    srv->dead = false;
    return o::SUCCESS;
}

STANDIN_EXPORT sword OCIServerDetach(OCIServer* srvhp, OCIError* errhp, ub4 mode)
{
    auto* srv = reinterpret_cast<Server*>(srvhp);
    if (!srv || srv->type != o::HTYPE_SERVER)
        return o::INVALID_HANDLE;
    if (mode != o::DEFAULT)
        return unsupportedMode(reinterpret_cast<Err*>(errhp), "OCIServerDetach", mode);
    srv->attached = false;
    return o::SUCCESS;
}

STANDIN_EXPORT sword OCISessionBegin(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 credt,
                                     ub4 mode)
{
    auto* svc = reinterpret_cast<SvcCtx*>(svchp);
    auto* err = reinterpret_cast<Err*>(errhp);
    auto* ses = reinterpret_cast<Session*>(usrhp);
    if (!svc || !err || !ses || svc->type != o::HTYPE_SVCCTX || ses->type != o::HTYPE_SESSION)
        return o::INVALID_HANDLE;
    g_stats.sessionMode = mode;
    if ((mode & ~o::SYSDBA) != 0)
        return unsupportedMode(err, "OCISessionBegin", mode);
    if (!svc->server || !svc->server->attached)
        return error(err, 3114, kNotConnected);
    // No user name begins or ends with a blank.
    if (credt != o::CRED_RDBMS || ses->user != ses->user.trimmed())
        return error(err, 1017, "ORA-01017: invalid username/password; logon denied");
    if (ses->user.compare(QLatin1String("SYS"), Qt::CaseInsensitive) == 0 && !(mode & o::SYSDBA))
        return error(err, 28009, "ORA-28009: connection as SYS should be as SYSDBA or SYSOPER");
    auto db = std::make_unique<SqliteDriver>(svc->server->path);
    try {
        db->logon({svc->server->path, ses->user, ses->password});
    } catch (const DbError& e) {
        return fromDbError(err, e);
    }
    ses->db = std::move(db);
    if (g_logonWarning) {
        err->set(g_logonWarning, g_logonWarning == 28002
                                     ? "ORA-28002: the password will expire within 7 days"
                                     : "ORA-" + std::to_string(g_logonWarning) + ": warning (stand-in)");
        return o::SUCCESS_WITH_INFO;
    }
    return o::SUCCESS;
}

STANDIN_EXPORT sword OCISessionEnd(OCISvcCtx*, OCIError* errhp, OCISession* usrhp, ub4 mode)
{
    auto* ses = reinterpret_cast<Session*>(usrhp);
    if (!ses || ses->type != o::HTYPE_SESSION)
        return o::INVALID_HANDLE;
    if (mode != o::DEFAULT)
        return unsupportedMode(reinterpret_cast<Err*>(errhp), "OCISessionEnd", mode);
    // A server commits what the session left open.
    if (ses->db && !ses->rolledBack)
        ++g_stats.sessionEndsWithoutRollback;
    ses->db.reset();
    return o::SUCCESS;
}

STANDIN_EXPORT sword OCITransRollback(OCISvcCtx* svchp, OCIError* errhp, ub4 flags)
{
    auto* svc = reinterpret_cast<SvcCtx*>(svchp);
    auto* err = reinterpret_cast<Err*>(errhp);
    if (!svc || !err || svc->type != o::HTYPE_SVCCTX)
        return o::INVALID_HANDLE;
    if (flags != o::DEFAULT)
        return unsupportedMode(err, "OCITransRollback", flags);
    if (connectionGone(svc, err))
        return o::ERROR;
    ++g_stats.rollbacks;
    svc->session->rolledBack = true;
    return o::SUCCESS;
}

STANDIN_EXPORT sword OCIStmtPrepare2(OCISvcCtx* svchp, OCIStmt** stmthp, OCIError* errhp,
                                     const OraText* stmttext, ub4 stmt_len, const OraText* key, ub4,
                                     ub4 language, ub4 mode)
{
    auto* svc = reinterpret_cast<SvcCtx*>(svchp);
    auto* err = reinterpret_cast<Err*>(errhp);
    if (!svc || !err || !stmthp || svc->type != o::HTYPE_SVCCTX)
        return o::INVALID_HANDLE;
    if (language != o::NTV_SYNTAX)
        return error(err, 1002, "ORA-01002: unsupported language (stand-in)");
    if (mode != o::DEFAULT || key)
        return unsupportedMode(err, "OCIStmtPrepare2", mode);
    auto* st = new Stmt;
    st->svc = svc;
    st->text.assign(reinterpret_cast<const char*>(stmttext), stmt_len);
    st->scanned = standin::scanSql(st->text);
    st->placeholders = st->scanned.placeholders;
    {
        QMutexLocker l(&g_mutex);
        g_statements.push_back(st->text);
    }
    *stmthp = reinterpret_cast<OCIStmt*>(st);
    return o::SUCCESS;
}

STANDIN_EXPORT sword OCIStmtRelease(OCIStmt* stmthp, OCIError* errhp, const OraText*, ub4, ub4 mode)
{
    auto* st = reinterpret_cast<Stmt*>(stmthp);
    if (!st || st->type != o::HTYPE_STMT)
        return o::INVALID_HANDLE;
    if (mode != o::DEFAULT)
        return unsupportedMode(reinterpret_cast<Err*>(errhp), "OCIStmtRelease", mode);
    delete st;
    return o::SUCCESS;
}

STANDIN_EXPORT sword OCIBindByName(OCIStmt* stmtp, OCIBind** bindpp, OCIError* errhp,
                                   const OraText* placeholder, sb4 placeh_len, void* valuep, sb4 value_sz,
                                   ub2 dty, void* indp, ub2* alenp, ub2*, ub4 maxarr_len, ub4*, ub4 mode)
{
    auto* st = reinterpret_cast<Stmt*>(stmtp);
    auto* err = reinterpret_cast<Err*>(errhp);
    if (!st || !err || !bindpp || st->type != o::HTYPE_STMT)
        return o::INVALID_HANDLE;
    ++g_stats.bindCalls;
    std::string name(reinterpret_cast<const char*>(placeholder), size_t(std::max(placeh_len, 0)));
    if (!name.empty() && name[0] == ':')
        name.erase(0, 1);
    name = upper(name);
    bool known = false;
    for (const auto& p : st->placeholders)
        known = known || p == name;
    if (!known)
        return error(err, 1036, "ORA-01036: illegal variable name/number");
    if (maxarr_len != 0 || mode != o::DEFAULT || (dty != o::SQLT_CHR && dty != o::SQLT_STR))
        return error(err, 1036, "ORA-01036: bind form not supported by the stand-in");
    for (const auto& b : st->binds)
        if (b->name == name)
            ++g_stats.duplicateBinds;
    auto b = std::make_unique<Bind>();
    b->name = name;
    b->value = valuep;
    b->size = value_sz;
    b->dty = dty;
    b->ind = static_cast<sb2*>(indp);
    b->alen = alenp;
    *bindpp = reinterpret_cast<OCIBind*>(b.get());
    st->binds.push_back(std::move(b));
    return o::SUCCESS;
}

STANDIN_EXPORT sword OCIStmtExecute(OCISvcCtx* svchp, OCIStmt* stmtp, OCIError* errhp, ub4 iters, ub4 rowoff,
                                    const void* snap_in, void* snap_out, ub4 mode)
{
    auto* svc = reinterpret_cast<SvcCtx*>(svchp);
    auto* st = reinterpret_cast<Stmt*>(stmtp);
    auto* err = reinterpret_cast<Err*>(errhp);
    if (!svc || !st || !err || st->type != o::HTYPE_STMT)
        return o::INVALID_HANDLE;
    ++g_stats.executes;
    if (mode != o::DEFAULT || rowoff != 0 || snap_in || snap_out)
        return unsupportedMode(err, "OCIStmtExecute", mode);
    if (connectionGone(svc, err))
        return o::ERROR;
    svc->session->rolledBack = false;
    // Oracle's documented limits, which SQLite does not have.
    if (st->scanned.longestIdentifier.size() > 128)
        return error(err, 972, "ORA-00972: identifier is too long");
    if (st->scanned.longestLiteral > 4000)
        return error(err, 1704, "ORA-01704: string literal too long");
    const bool select = isSelect(st->text);
    if (!select && iters == 0)
        return error(err, 24333, "ORA-24333: zero iteration count");
    if (select && iters != 0)
        return error(err, 24333, "ORA-24333: the stand-in fetches only through OCIStmtFetch2");
    // Values of the last bind of each name.
    BindList binds;
    for (const auto& p : st->placeholders) {
        const Bind* found = nullptr;
        for (const auto& b : st->binds)
            if (b->name == p)
                found = b.get();
        if (!found)
            return error(err, 1008, "ORA-01008: not all variables bound");
        QString value;
        if (!(found->ind && *found->ind == -1)) {
            const char* data = static_cast<const char*>(found->value);
            int len = found->alen ? int(*found->alen) : int(found->size);
            if (found->dty == o::SQLT_STR)
                len = int(strnlen(data, size_t(found->size)));
            value = QString::fromUtf8(data, len);
        }
        binds.append({QString::fromStdString(p), value});
    }
    const QString sql = QString::fromUtf8(st->text.data(), int(st->text.size()));
    try {
        if (!select) {
            svc->session->db->execute(sql, binds);
            st->executed = true;
            return o::SUCCESS;
        }
        st->result = svc->session->db->query(sql, binds);
    } catch (const DbError& e) {
        return fromDbError(err, e);
    }
    if (st->result.columns.size() > 1000) {
        st->result = ResultSet{};
        return error(err, 1792, "ORA-01792: maximum number of columns in a table or view is 1000");
    }
    st->executed = true;
    st->cursor = 0;
    describeColumns(*st);
    return o::SUCCESS;
}

STANDIN_EXPORT sword OCIParamGet(const void* hndlp, ub4 htype, OCIError* errhp, void** parmdpp, ub4 pos)
{
    auto* st = static_cast<const Stmt*>(hndlp);
    auto* err = reinterpret_cast<Err*>(errhp);
    if (!st || htype != o::HTYPE_STMT || st->type != o::HTYPE_STMT || !parmdpp)
        return o::INVALID_HANDLE;
    if (!st->executed)
        return error(err, 24338, "ORA-24338: statement handle not executed");
    if (pos < 1 || pos > ub4(st->result.columns.size()))
        return error(err, 24334, "ORA-24334: no descriptor for this position");
    auto* p = new Param;
    p->name = st->result.columns[int(pos - 1)].name.toStdString();
    p->dtype = st->types[pos - 1];
    p->size = st->sizes[pos - 1];
    *parmdpp = p;
    return o::SUCCESS;
}

STANDIN_EXPORT sword OCIDefineByPos(OCIStmt* stmtp, OCIDefine** defnpp, OCIError* errhp, ub4 position,
                                    void* valuep, sb4 value_sz, ub2 dty, void* indp, ub2* rlenp, ub2* rcodep,
                                    ub4 mode)
{
    auto* st = reinterpret_cast<Stmt*>(stmtp);
    auto* err = reinterpret_cast<Err*>(errhp);
    if (!st || !err || !defnpp || st->type != o::HTYPE_STMT)
        return o::INVALID_HANDLE;
    if (position < 1 || position > ub4(st->result.columns.size()))
        return error(err, 1007, "ORA-01007: variable not in select list");
    if (dty != o::SQLT_CHR && dty != o::SQLT_STR && dty != o::SQLT_VNU && dty != o::SQLT_LNG)
        return error(err, 932, "ORA-00932: inconsistent datatypes (stand-in)");
    // Pieces through a callback are implemented for LONG only.
    if (mode != o::DEFAULT && !(mode == o::DYNAMIC_FETCH && dty == o::SQLT_LNG))
        return unsupportedMode(err, "OCIDefineByPos", mode);
    if (value_sz <= 0)
        return error(err, 24307, "ORA-24307: invalid length for piece");
    auto d = std::make_unique<Define>();
    d->position = position;
    d->buf = static_cast<char*>(valuep);
    d->size = value_sz;
    d->dty = dty;
    d->ind = static_cast<sb2*>(indp);
    d->rlen = rlenp;
    d->rcode = rcodep;
    d->dynamic = (mode & o::DYNAMIC_FETCH) != 0;
    for (auto& old : st->defines)
        if (old && old->position == position)
            old.reset();
    *defnpp = reinterpret_cast<OCIDefine*>(d.get());
    st->defines.push_back(std::move(d));
    return o::SUCCESS;
}

STANDIN_EXPORT sword OCIDefineDynamic(OCIDefine* defnp, OCIError* errhp, void* octxp, OCICallbackDefine ocbfp)
{
    auto* d = reinterpret_cast<Define*>(defnp);
    if (!d || d->type != o::HTYPE_DEFINE || !errhp)
        return o::INVALID_HANDLE;
    if (!d->dynamic)
        return error(reinterpret_cast<Err*>(errhp), 24304, "ORA-24304: datatype not allowed for this call");
    d->ctx = octxp;
    d->callback = ocbfp;
    return o::SUCCESS;
}

namespace {

// Delivers one value through a dynamic define: as many pieces as the
// callback's buffers need, up to the define's size (value_sz counts the whole
// value). False on a callback error; `cut` tells a value longer than that size.
[[maybe_unused]] bool deliverPieces(Define& d, ub4 iter, const QByteArray& bytes, bool isNull, Err* err,
                                    bool& cut)
{
    const qsizetype limit = std::min<qsizetype>(bytes.size(), d.size);
    cut = !isNull && bytes.size() > limit;
    qsizetype done = 0;
    ub1 piece = o::FIRST_PIECE;
    for (;;) {
        void* buf = nullptr;
        ub4* alen = nullptr;
        void* ind = nullptr;
        ub2* rcode = nullptr;
        ub1 p = piece;
        if (!d.callback
            || d.callback(d.ctx, reinterpret_cast<OCIDefine*>(&d), iter, &buf, &alen, &p, &ind, &rcode)
                   != o::CONTINUE) {
            error(err, 24343, "ORA-24343: user defined callback error");
            return false;
        }
        ++g_stats.longPieces;
        if (!alen || (!buf && *alen > 0)) {
            error(err, 24343, "ORA-24343: user defined callback error");
            return false;
        }
        const ub4 room = *alen;
        const qsizetype n = std::min<qsizetype>(room, limit - done);
        if (n > 0)
            std::memcpy(buf, bytes.constData() + done, size_t(n));
        *alen = ub4(n);
        done += n;
        if (ind)
            *static_cast<sb2*>(ind) = isNull ? -1 : cut ? sb2(std::min<qsizetype>(bytes.size(), 32767)) : 0;
        if (rcode)
            *rcode = isNull ? 1405 : cut ? 1406 : 0;
        if (isNull || done >= limit)
            return true;
        if (room == 0) {
            error(err, 24343, "ORA-24343: user defined callback error (empty buffer)");
            return false;
        }
        piece = o::NEXT_PIECE;
    }
}

// Delivers one value into row r of a define's array. False on an error.
// (Unused, with OCIStmtFetch2, in the "incomplete" build of the stand-in.)
[[maybe_unused]] bool deliverCell(Define& d, int r, bool numberColumn, const QString& v, bool isNull,
                                  Err* err, bool& truncated)
{
    char* cell = d.buf + size_t(r) * size_t(d.size);
    sb2* ind = d.ind ? d.ind + r : nullptr;
    ub2* rlen = d.rlen ? d.rlen + r : nullptr;
    ub2* rcode = d.rcode ? d.rcode + r : nullptr;
    if (isNull) {
        if (!ind) {
            error(err, 1405, "ORA-01405: fetched column value is NULL");
            return false;
        }
        *ind = -1;
        if (rcode)
            *rcode = 1405;
        return true;
    }
    QByteArray bytes;
    if (d.dty == o::SQLT_VNU) {
        const std::string vnu = numberColumn ? standin::encodeNumber(v.toStdString()) : std::string();
        if (vnu.empty()) {
            error(err, 1722, "ORA-01722: invalid number");
            return false;
        }
        bytes = QByteArray(vnu.data(), qsizetype(vnu.size()));
    } else {
        bytes = numberColumn ? defaultNumberText(v).toUtf8() : clientBytes(v);
    }
    const int room = d.dty == o::SQLT_STR ? d.size - 1 : d.size;
    const int copy = std::min<int>(int(bytes.size()), std::max(room, 0));
    std::memcpy(cell, bytes.constData(), size_t(copy));
    if (d.dty == o::SQLT_STR && d.size > 0)
        cell[copy] = 0;
    if (ind)
        *ind = copy < bytes.size() ? sb2(std::min<qsizetype>(bytes.size(), 32767)) : 0;
    if (rlen)
        *rlen = ub2(copy);
    if (rcode)
        *rcode = copy < bytes.size() ? 1406 : 0;
    truncated = truncated || copy < bytes.size();
    return true;
}

} // namespace

#ifndef MORVANE_STANDIN_WITHOUT_FETCH2
// (The "incomplete" build of the stand-in leaves this function out, to show the
// driver's message for a client library that lacks a function.)
STANDIN_EXPORT sword OCIStmtFetch2(OCIStmt* stmtp, OCIError* errhp, ub4 nrows, ub2 orientation,
                                   sb4 fetchOffset, ub4 mode)
{
    auto* st = reinterpret_cast<Stmt*>(stmtp);
    auto* err = reinterpret_cast<Err*>(errhp);
    if (!st || !err || st->type != o::HTYPE_STMT)
        return o::INVALID_HANDLE;
    ++g_stats.fetchCalls;
    g_stats.lastFetchRows = int(nrows);
    st->lastFetched = 0;
    if (mode != o::DEFAULT || fetchOffset != 0)
        return unsupportedMode(err, "OCIStmtFetch2", mode);
    if (connectionGone(st->svc, err))
        return o::ERROR;
    if (g_dropAfter == 0) {
        g_dropAfter = -1;
        if (g_dropKills)
            st->svc->server->dead = true;
        char text[64];
        std::snprintf(text, sizeof text, "ORA-%05d: %s", g_dropCode,
                      g_dropCode == 3113 ? "end-of-file on communication channel" : "(stand-in)");
        return error(err, g_dropCode, text);
    }
    if (g_dropAfter > 0)
        --g_dropAfter;
    if (!st->executed || !isSelect(st->text))
        return error(err, 24374, "ORA-24374: define not done before fetch or execute and fetch");
    if (orientation != o::FETCH_NEXT || nrows == 0)
        return error(err, 24391, "ORA-24391: invalid fetch operation (stand-in)");
    const int total = int(st->result.rows.size());
    const int n = std::min<int>(int(nrows), total - st->cursor);
    bool truncated = false;
    for (int r = 0; r < n; ++r) {
        const QVector<QString>& row = st->result.rows[st->cursor + r];
        for (const auto& dp : st->defines) {
            if (!dp)
                continue;
            Define& d = *dp;
            const int c = int(d.position - 1);
            const QString& v = row[c];
            const bool isNull = v.isNull() || v.isEmpty();
            if (d.dynamic) {
                bool cut = false;
                if (!deliverPieces(d, ub4(r), isNull ? QByteArray() : clientBytes(v), isNull, err, cut))
                    return o::ERROR;
                truncated = truncated || cut;
                continue;
            }
            if (!deliverCell(d, r, st->types[size_t(c)] == o::SQLT_NUM, v, isNull, err, truncated))
                return o::ERROR;
        }
    }
    st->cursor += n;
    st->lastFetched = ub4(n);
    g_stats.maxRowsDelivered = std::max(g_stats.maxRowsDelivered, n);
    if (truncated) {
        err->set(24345, "ORA-24345: A Truncation or null fetch error occurred");
        return o::SUCCESS_WITH_INFO;
    }
    return n < int(nrows) ? o::NO_DATA : o::SUCCESS;
}
#endif

STANDIN_EXPORT sword OCIErrorGet(void* hndlp, ub4 recordno, OraText* sqlstate, sb4* errcodep, OraText* bufp,
                                 ub4 bufsiz, ub4 type)
{
    auto* h = static_cast<Handle*>(hndlp);
    if (!h || h->type != type || (type != o::HTYPE_ERROR && type != o::HTYPE_ENV))
        return o::INVALID_HANDLE;
    int code = 0;
    std::string text;
    if (type == o::HTYPE_ERROR) {
        code = static_cast<Err*>(h)->code;
        text = static_cast<Err*>(h)->text;
    } else {
        code = static_cast<Env*>(h)->code;
        text = static_cast<Env*>(h)->text;
    }
    if (recordno != 1 || code == 0)
        return o::NO_DATA;
    if (sqlstate)
        std::memcpy(sqlstate, "HY000", 6);
    if (errcodep)
        *errcodep = code;
    if (bufp && bufsiz > 0) {
        text += '\n';
        const size_t n = std::min<size_t>(text.size(), bufsiz - 1);
        std::memcpy(bufp, text.data(), n);
        bufp[n] = 0;
    }
    return o::SUCCESS;
}
