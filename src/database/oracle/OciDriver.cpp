#include "database/oracle/OciDriver.h"
#include "database/oracle/OciLibrary.h"
#include "database/oracle/OciNumber.h"
#include <QByteArray>
#include <algorithm>
#include <deque>
#include <vector>

namespace morvane {

using namespace oci;

namespace oci {

QStringList placeholderNames(const QString& sql)
{
    QStringList out;
    const int n = sql.size();
    int i = 0;
    auto identChar = [](QChar c) { return c.isLetterOrNumber() || c == '_' || c == '$' || c == '#'; };
    while (i < n) {
        const QChar c = sql[i];
        if (c == '\'' || c == '"') { // literal or quoted name
            const int end = sql.indexOf(c, i + 1);
            i = end < 0 ? n : end + 1;
        } else if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
            const int end = sql.indexOf('\n', i);
            i = end < 0 ? n : end + 1;
        } else if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
            const int end = sql.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else if (c == ':' && i + 1 < n && (sql[i + 1].isLetter() || sql[i + 1].isDigit())) {
            int j = i + 1;
            while (j < n && identChar(sql[j]))
                ++j;
            const QString name = sql.mid(i + 1, j - i - 1).toUpper();
            if (!out.contains(name))
                out << name;
            i = j;
        } else {
            ++i;
        }
    }
    return out;
}

bool isConnectionLost(int code)
{
    // The codes after which Oracle's own C wrapper (ODPI-C) counts a session
    // as dead, and the start-up and shutdown ones.
    switch (code) {
    case 22: // invalid session ID; access denied
    case 28: // your session has been killed
    case 31: // your session has been marked for kill
    case 45: // your session has been terminated with no replay
    case 378:
    case 602:
    case 603: // server session terminated by fatal error
    case 609:
    case 1012: // not logged on
    case 1033:
    case 1034:
    case 1041:
    case 1043:
    case 1089:
    case 1090:
    case 1092:
    case 2396: // exceeded maximum idle time
    case 3113: // end-of-file on communication channel
    case 3114: // not connected to ORACLE
    case 3122:
    case 3135: // connection lost contact
    case 12153:
    case 12537:
    case 12547:
    case 12570:
    case 12571:
    case 12583:
    case 27146:
    case 28511:
    case 56600: // an illegal OCI function call was issued
        return true;
    default: return false;
    }
}

} // namespace oci

namespace {

const char* const kNotConnected = "ORA-03114: not connected to ORACLE";

enum class Kind { Text, Number, Long };

// One piece of a LONG value as the define callback hands it out.
struct Piece {
    std::vector<char> bytes;
    ub4 length = 0; // capacity on the way in, bytes written on the way out
};

struct Column {
    QString name;
    Kind kind = Kind::Text;
    ub2 type = 0;
    int width = 0; // bytes per row of the buffer (Text, Number)
    std::vector<char> data;
    std::vector<sb2> ind;
    std::vector<ub2> len;
    std::vector<ub2> rcode;
    // Long: the pieces of each row of the current fetch, and its size per piece.
    std::vector<std::deque<Piece>> pieces;
    int pieceBytes = 0;
};

// The define callback for LONG columns: hands out one fresh piece per call,
// so a value of any length arrives whole.
sb4 longPieceCallback(void* ctx, OCIDefine*, ub4 iter, void** bufpp, ub4** alenp, ub1* piecep, void** indp,
                      ub2** rcodep)
{
    auto* col = static_cast<Column*>(ctx);
    if (iter >= col->pieces.size())
        return oci::ERROR;
    auto& row = col->pieces[iter];
    if (*piecep == FIRST_PIECE || *piecep == ONE_PIECE)
        row.clear();
    row.emplace_back();
    Piece& p = row.back();
    p.bytes.resize(static_cast<size_t>(col->pieceBytes));
    p.length = static_cast<ub4>(p.bytes.size());
    *bufpp = p.bytes.data();
    *alenp = &p.length;
    *indp = &col->ind[iter];
    *rcodep = &col->rcode[iter];
    *piecep = NEXT_PIECE;
    return oci::CONTINUE;
}

// Kind and buffer width of a column from its described type and size.
void sizeColumn(Column& c, ub2 dtype, ub2 size, int longPiece)
{
    c.type = dtype;
    switch (dtype) {
    case SQLT_NUM:
    case SQLT_INT:
    case SQLT_FLT:
    case SQLT_VNU:
    case SQLT_BFLOAT:
    case SQLT_BDOUBLE:
    case SQLT_IBFLOAT:
    case SQLT_IBDOUBLE:
        c.kind = Kind::Number;
        c.width = NUMBER_SIZE;
        break;
    case SQLT_LNG:
    case SQLT_CLOB:
        c.kind = Kind::Long;
        c.pieceBytes = std::max(16, longPiece);
        break;
    default:
        // Up to 4 bytes per character after conversion to AL32UTF8; dates and
        // other short types read in the session's text form.
        c.kind = Kind::Text;
        c.width = std::clamp(int(size) * 4, 64, 32767);
        break;
    }
}

// Row r of the last fetch as text: NULL as a null QString, numbers in Oracle's text form.
QVector<QString> rowValues(const std::vector<Column>& cols, ub4 r)
{
    QVector<QString> row(static_cast<int>(cols.size()));
    for (size_t i = 0; i < cols.size(); ++i) {
        const Column& c = cols[i];
        QString& v = row[static_cast<int>(i)];
        // Never hand on a cut value.
        if (c.rcode[r] == 1406)
            throw DbError(QStringLiteral("ORA-01406: fetched column value was truncated (%1)").arg(c.name),
                          1406);
        if (c.kind == Kind::Long) {
            QByteArray whole;
            for (const Piece& p : c.pieces[r])
                whole.append(p.bytes.data(), static_cast<int>(std::min<size_t>(p.length, p.bytes.size())));
            if (c.ind[r] != -1 || !whole.isEmpty())
                v = whole.isEmpty() ? QString() : QString::fromUtf8(whole);
            continue;
        }
        if (c.ind[r] == -1)
            continue; // NULL stays a null QString
        const char* cell = c.data.data() + static_cast<size_t>(r) * c.width;
        if (c.kind == Kind::Number)
            v = numberToText(reinterpret_cast<const unsigned char*>(cell), c.width);
        else
            v = QString::fromUtf8(cell, std::min<int>(c.len[r], c.width));
    }
    return row;
}

} // namespace

struct OciDriver::Handles {
    OCIEnv* env = nullptr;
    OCIError* err = nullptr;
    OCIServer* server = nullptr;
    OCISvcCtx* svc = nullptr;
    OCISession* session = nullptr;
    bool attached = false;
    bool begun = false;
};

// A prepared statement with its binds; released whatever happens.
struct OciDriver::Statement {
    const Api* api = nullptr;
    OCIError* err = nullptr;
    OCIStmt* stmt = nullptr;
    QByteArray text;
    struct Bind {
        QByteArray name;
        QByteArray value;
        sb2 ind = 0;
    };
    std::deque<Bind> binds; // addresses stay put while OCI holds them
    ~Statement()
    {
        if (stmt)
            api->StmtRelease(stmt, err, nullptr, 0, DEFAULT);
    }
};

OciDriver::OciDriver() = default;
OciDriver::~OciDriver() { logoff(); }

QString OciDriver::libraryPath() const { return m_api ? m_api->path : QString(); }

void OciDriver::fail(int rc, const char* call)
{
    QString text;
    sb4 code = 0;
    if (rc == INVALID_HANDLE) {
        text = QStringLiteral("OCI: %1 に無効なハンドルが渡されました").arg(QLatin1String(call));
    } else if (m_h && (m_h->err || m_h->env)) {
        OraText buf[3072] = {};
        const bool onEnv = !m_h->err;
        void* handle = onEnv ? static_cast<void*>(m_h->env) : static_cast<void*>(m_h->err);
        const sword got =
            m_api->ErrorGet(handle, 1, nullptr, &code, buf, sizeof buf, onEnv ? HTYPE_ENV : HTYPE_ERROR);
        if (got == SUCCESS) {
            buf[sizeof buf - 1] = 0;
            text = QString::fromUtf8(reinterpret_cast<const char*>(buf)).trimmed();
        }
    }
    if (text.isEmpty())
        text = QStringLiteral("OCI: %1 が失敗しました (戻り値 %2)").arg(QLatin1String(call)).arg(rc);
    if (isConnectionLost(code) && m_connected)
        m_connected = false;
    throw DbError(text, code);
}

void OciDriver::check(int rc, const char* call)
{
    if (rc != SUCCESS && rc != SUCCESS_WITH_INFO)
        fail(rc, call);
}

void OciDriver::logon(const LogonParams& params)
{
    logoff();
    m_logonWarning.clear();
    m_api = loadApi();
    const Api& a = *m_api;
    m_h = std::make_unique<Handles>();
    try {
        // AL32UTF8 for CHAR and NCHAR data, whatever NLS_LANG says.
        const sword rc = a.EnvNlsCreate(&m_h->env, THREADED, nullptr, nullptr, nullptr, nullptr, 0, nullptr,
                                        AL32UTF8, AL32UTF8);
        // With info (a message file it could not read, say) the environment is usable.
        if ((rc != SUCCESS && rc != SUCCESS_WITH_INFO) || !m_h->env)
            fail(rc, "OCIEnvNlsCreate");
        check(a.HandleAlloc(m_h->env, reinterpret_cast<void**>(&m_h->err), HTYPE_ERROR, 0, nullptr),
              "OCIHandleAlloc");
        check(a.HandleAlloc(m_h->env, reinterpret_cast<void**>(&m_h->server), HTYPE_SERVER, 0, nullptr),
              "OCIHandleAlloc");
        check(a.HandleAlloc(m_h->env, reinterpret_cast<void**>(&m_h->svc), HTYPE_SVCCTX, 0, nullptr),
              "OCIHandleAlloc");
        check(a.HandleAlloc(m_h->env, reinterpret_cast<void**>(&m_h->session), HTYPE_SESSION, 0, nullptr),
              "OCIHandleAlloc");

        // The service name goes as typed: a tnsnames alias or an Easy Connect string.
        const QByteArray server = params.server.trimmed().toUtf8();
        check(a.ServerAttach(m_h->server, m_h->err, reinterpret_cast<const OraText*>(server.constData()),
                             static_cast<sb4>(server.size()), DEFAULT),
              "OCIServerAttach");
        m_h->attached = true;
        check(a.AttrSet(m_h->svc, HTYPE_SVCCTX, m_h->server, 0, ATTR_SERVER, m_h->err), "OCIAttrSet");

        // The name the SYSDBA decision is made on is the name that is sent.
        const QString userName = params.user.trimmed();
        QByteArray user = userName.toUtf8();
        QByteArray password = params.password.toUtf8();
        check(a.AttrSet(m_h->session, HTYPE_SESSION, user.data(), static_cast<ub4>(user.size()),
                        ATTR_USERNAME, m_h->err),
              "OCIAttrSet");
        check(a.AttrSet(m_h->session, HTYPE_SESSION, password.data(), static_cast<ub4>(password.size()),
                        ATTR_PASSWORD, m_h->err),
              "OCIAttrSet");
        // Servers refuse SYS without SYSDBA (ORA-28009).
        const bool sys = userName.compare(QLatin1String("SYS"), Qt::CaseInsensitive) == 0;
        const sword begin =
            a.SessionBegin(m_h->svc, m_h->err, m_h->session, CRED_RDBMS, sys ? SYSDBA : DEFAULT);
        if (begin == SUCCESS_WITH_INFO) {
            // A logon with a warning (the password expires soon) is a logon.
            OraText buf[1024] = {};
            sb4 code = 0;
            if (a.ErrorGet(m_h->err, 1, nullptr, &code, buf, sizeof buf, HTYPE_ERROR) == SUCCESS) {
                buf[sizeof buf - 1] = 0;
                m_logonWarning = QString::fromUtf8(reinterpret_cast<const char*>(buf)).trimmed();
            }
        } else if (begin != SUCCESS) {
            fail(begin, "OCISessionBegin");
        }
        m_h->begun = true;
        check(a.AttrSet(m_h->svc, HTYPE_SVCCTX, m_h->session, 0, ATTR_SESSION, m_h->err), "OCIAttrSet");
    } catch (...) {
        freeHandles(false);
        throw;
    }
    m_connected = true;
}

void OciDriver::freeHandles(bool rollback) noexcept
{
    if (!m_h)
        return;
    if (m_api) {
        const Api& a = *m_api;
        // Ending a session commits what is open: nothing of ours is ever meant to be kept.
        if (m_h->begun && rollback)
            a.TransRollback(m_h->svc, m_h->err, DEFAULT);
        if (m_h->begun)
            a.SessionEnd(m_h->svc, m_h->err, m_h->session, DEFAULT);
        if (m_h->attached)
            a.ServerDetach(m_h->server, m_h->err, DEFAULT);
        if (m_h->session)
            a.HandleFree(m_h->session, HTYPE_SESSION);
        if (m_h->svc)
            a.HandleFree(m_h->svc, HTYPE_SVCCTX);
        if (m_h->server)
            a.HandleFree(m_h->server, HTYPE_SERVER);
        if (m_h->err)
            a.HandleFree(m_h->err, HTYPE_ERROR);
        if (m_h->env)
            a.HandleFree(m_h->env, HTYPE_ENV);
    }
    m_h.reset();
}

void OciDriver::logoff() noexcept
{
    const bool alive = m_connected;
    m_connected = false;
    freeHandles(alive);
}

void OciDriver::prepare(Statement& st, const QString& sql, const BindList& binds)
{
    if (!m_connected || !m_h)
        throw DbError(QLatin1String(kNotConnected), 3114);
    const Api& a = *m_api;
    st.api = m_api.get();
    st.err = m_h->err;
    // The text goes to the server exactly as the program wrote it.
    st.text = sql.toUtf8();
    check(a.StmtPrepare2(m_h->svc, &st.stmt, m_h->err, reinterpret_cast<const OraText*>(st.text.constData()),
                         static_cast<ub4>(st.text.size()), nullptr, 0, NTV_SYNTAX, DEFAULT),
          "OCIStmtPrepare2");
    // One bind per distinct name: binding by name covers every use of it.
    for (const QString& name : placeholderNames(sql)) {
        const QPair<QString, QString>* value = nullptr;
        for (const auto& b : binds)
            if (b.first.compare(name, Qt::CaseInsensitive) == 0
                || (b.first.startsWith(':') && b.first.mid(1).compare(name, Qt::CaseInsensitive) == 0))
                value = &b;
        if (!value)
            continue; // the server answers ORA-01008 for it
        st.binds.emplace_back();
        Statement::Bind& b = st.binds.back();
        b.name = ':' + name.toUtf8();
        b.value = value->second.toUtf8();
        b.ind = b.value.isEmpty() ? -1 : 0; // Oracle's empty text is NULL
        OCIBind* handle = nullptr;
        check(a.BindByName(st.stmt, &handle, m_h->err, reinterpret_cast<const OraText*>(b.name.constData()),
                           static_cast<sb4>(b.name.size()), b.value.data(), static_cast<sb4>(b.value.size()),
                           SQLT_CHR, &b.ind, nullptr, nullptr, 0, nullptr, DEFAULT),
              "OCIBindByName");
    }
}

// The columns of an open query and the buffers one fetch call fills.
struct OciDriver::Fetch {
    std::vector<Column> cols; // never resized once defined: OCI holds their addresses
    int rowBytes = 0;         // buffer bytes per row, for sizing the array fetch
    int rows = 0;             // rows per fetch call
};

bool OciDriver::executePrepared(Statement& st)
{
    const Api& a = *m_api;
    ub2 type = 0;
    check(a.AttrGet(st.stmt, HTYPE_STMT, &type, nullptr, ATTR_STMT_TYPE, m_h->err), "OCIAttrGet");
    // A statement without rows (ANALYZE TABLE ...) runs once; a query is only opened.
    const bool select = type == STMT_SELECT;
    check(a.StmtExecute(m_h->svc, st.stmt, m_h->err, select ? 0 : 1, 0, nullptr, nullptr, DEFAULT),
          "OCIStmtExecute");
    return select;
}

void OciDriver::describeColumns(Statement& st, Fetch& f)
{
    const Api& a = *m_api;
    OCIError* err = m_h->err;
    ub4 count = 0;
    check(a.AttrGet(st.stmt, HTYPE_STMT, &count, nullptr, ATTR_PARAM_COUNT, err), "OCIAttrGet");
    f.cols.resize(count);
    for (ub4 i = 0; i < count; ++i) {
        void* param = nullptr;
        check(a.ParamGet(st.stmt, HTYPE_STMT, err, &param, i + 1), "OCIParamGet");
        ub2 dtype = 0, size = 0;
        OraText* name = nullptr;
        ub4 nameLen = 0;
        sword rc = a.AttrGet(param, DTYPE_PARAM, &dtype, nullptr, ATTR_DATA_TYPE, err);
        if (rc == SUCCESS)
            rc = a.AttrGet(param, DTYPE_PARAM, &size, nullptr, ATTR_DATA_SIZE, err);
        if (rc == SUCCESS)
            rc = a.AttrGet(param, DTYPE_PARAM, &name, &nameLen, ATTR_NAME, err);
        Column& c = f.cols[i];
        // The name belongs to the descriptor: copied before it is freed.
        if (rc == SUCCESS)
            c.name = QString::fromUtf8(reinterpret_cast<const char*>(name), static_cast<int>(nameLen));
        a.DescriptorFree(param, DTYPE_PARAM);
        check(rc, "OCIAttrGet");
        sizeColumn(c, dtype, size, m_longPiece);
        f.rowBytes += c.width + 8;
    }
}

void OciDriver::defineBuffers(Statement& st, Fetch& f)
{
    const Api& a = *m_api;
    OCIError* err = m_h->err;
    // Array fetch: as many rows per call as fit about 1 MB of buffers.
    const int rows = m_fetchRows > 0 ? m_fetchRows : std::clamp((1 << 20) / std::max(f.rowBytes, 1), 1, 500);
    f.rows = rows;
    for (ub4 i = 0; i < f.cols.size(); ++i) {
        Column& c = f.cols[i];
        c.ind.assign(rows, 0);
        c.rcode.assign(rows, 0);
        OCIDefine* def = nullptr;
        if (c.kind == Kind::Long) {
            c.pieces.resize(rows);
            check(a.DefineByPos(st.stmt, &def, err, i + 1, nullptr, 0x7FFFFFFF, SQLT_LNG, nullptr, nullptr,
                                nullptr, DYNAMIC_FETCH),
                  "OCIDefineByPos");
            check(a.DefineDynamic(def, err, &c, &longPieceCallback), "OCIDefineDynamic");
        } else {
            c.data.assign(static_cast<size_t>(rows) * c.width, 0);
            c.len.assign(rows, 0);
            check(a.DefineByPos(st.stmt, &def, err, i + 1, c.data.data(), c.width,
                                c.kind == Kind::Number ? SQLT_VNU : SQLT_CHR, c.ind.data(), c.len.data(),
                                c.rcode.data(), DEFAULT),
                  "OCIDefineByPos");
        }
    }
}

bool OciDriver::fetchBatch(Statement& st, Fetch& f, ResultSet& rs)
{
    const Api& a = *m_api;
    OCIError* err = m_h->err;
    for (Column& c : f.cols)
        if (c.kind == Kind::Long) {
            std::fill(c.ind.begin(), c.ind.end(), sb2(-1));
            std::fill(c.rcode.begin(), c.rcode.end(), ub2(0));
            for (auto& p : c.pieces)
                p.clear();
        }
    const sword rc = a.StmtFetch2(st.stmt, err, static_cast<ub4>(f.rows), FETCH_NEXT, 0, DEFAULT);
    if (rc != SUCCESS && rc != SUCCESS_WITH_INFO && rc != NO_DATA)
        fail(rc, "OCIStmtFetch2");
    ub4 fetched = 0;
    check(a.AttrGet(st.stmt, HTYPE_STMT, &fetched, nullptr, ATTR_ROWS_FETCHED, err), "OCIAttrGet");
    fetched = std::min<ub4>(fetched, static_cast<ub4>(f.rows));
    for (ub4 r = 0; r < fetched; ++r)
        rs.rows.push_back(rowValues(f.cols, r));
    return rc != NO_DATA;
}

ResultSet OciDriver::query(const QString& sql, const BindList& binds)
{
    Statement st;
    prepare(st, sql, binds);
    ResultSet rs;
    if (!executePrepared(st))
        return rs;

    Fetch f;
    describeColumns(st, f);
    rs.columns.resize(static_cast<int>(f.cols.size()));
    for (size_t i = 0; i < f.cols.size(); ++i)
        rs.columns[static_cast<int>(i)] = ColumnMeta{f.cols[i].name, f.cols[i].kind == Kind::Number};
    defineBuffers(st, f);
    while (fetchBatch(st, f, rs)) { }
    return rs;
}

void OciDriver::execute(const QString& sql, const BindList& binds)
{
    Statement st;
    prepare(st, sql, binds);
    executePrepared(st);
}

} // namespace morvane
