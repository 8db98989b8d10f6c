#pragma once
// The program's one database connection (Database1_ADO). It picks the engine
// by the service name: an embedded dictionary file when one exists for it,
// otherwise the Oracle client.
#include "database/DbDriver.h"

namespace morvane {

class Connection {
public:
    Connection();
    ~Connection();

    void setLogon(const LogonParams& params) { m_params = params; }
    const LogonParams& logonParams() const { return m_params; }

    void open();           // throws DbError
    void close() noexcept; // never fails, also when closed
    bool isOpen() const;

    IDbDriver& driver(); // throws DbError when closed

    // Tests and tools may hand in an engine of their own.
    void setDriverForTesting(std::unique_ptr<IDbDriver> driver);

private:
    LogonParams m_params;
    std::unique_ptr<IDbDriver> m_driver;
    bool m_fixedDriver = false;
};

// Folder of the embedded dictionaries: $MORVANE_DATA_DIR or the per-user data folder.
QString embeddedDataDir();
// Path of the embedded dictionary for a service name, or empty when there is none.
// Naming the service DEMO creates the demo dictionary on first use.
QString embeddedDatabaseFor(const QString& service);

} // namespace morvane
