#pragma once
// The Oracle client: Oracle's call interface (OCI), loaded at run time so that
// the program builds and runs without it (see OciLibrary.h for the search).
// Qt Core only.
#include "database/DbDriver.h"
#include <QStringList>
#include <memory>

namespace morvane {

namespace oci {
struct Api;
// The distinct bind names of a statement, upper-cased, in order of first
// appearance, without the colon; text in quotes and comments is skipped.
QStringList placeholderNames(const QString& sql);
// Oracle error numbers after which the session is gone: the driver then
// reports itself disconnected, and only a new logon goes on.
bool isConnectionLost(int oraCode);
} // namespace oci

class OciDriver : public IDbDriver {
public:
    OciDriver();
    ~OciDriver() override;

    void logon(const LogonParams& params) override;
    void logoff() noexcept override;
    bool isConnected() const override { return m_connected; }
    ResultSet query(const QString& sql, const BindList& binds) override;
    void execute(const QString& sql, const BindList& binds) override;

    QString logonWarning() const override { return m_logonWarning; }
    // The file the Oracle client was loaded from; empty before the first logon.
    QString libraryPath() const;

    // Rows per fetch call (0: sized from the row width) and bytes per piece of a
    // LONG value; tests make them small to cross the boundaries.
    void setFetchRows(int rows) { m_fetchRows = rows; }
    void setLongPieceBytes(int bytes) { m_longPiece = bytes; }

private:
    struct Handles;
    struct Statement;
    [[noreturn]] void fail(int rc, const char* call);
    void check(int rc, const char* call);
    void prepare(Statement& st, const QString& sql, const BindList& binds);
    // Runs a prepared statement; true when it is a query, left open for fetching.
    bool executePrepared(Statement& st);
    // The steps of reading an open query: its columns, their buffers, one array fetch
    // (false once the last rows are in).
    struct Fetch;
    void describeColumns(Statement& st, Fetch& f);
    void defineBuffers(Statement& st, Fetch& f);
    bool fetchBatch(Statement& st, Fetch& f, ResultSet& rs);
    void freeHandles(bool rollback) noexcept;

    std::shared_ptr<const oci::Api> m_api;
    std::unique_ptr<Handles> m_h;
    bool m_connected = false;
    QString m_logonWarning;
    int m_fetchRows = 0;
    int m_longPiece = 64 * 1024;
};

} // namespace morvane
