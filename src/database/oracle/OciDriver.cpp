#include "database/oracle/OciDriver.h"
#include <QLibrary>

namespace morvane {

namespace {
const char* const kNotAvailable =
    "Oracle client not available: the Oracle Call Interface library (libclntsh) "
    "could not be loaded, and no embedded database is named %1.";
}

OciDriver::OciDriver() = default;
OciDriver::~OciDriver() { logoff(); }

// The statement layer of the Oracle client is not built yet: until it is,
// a logon fails with a clear text rather than pretending to connect.
void OciDriver::logon(const LogonParams& params)
{
    QLibrary oci(QStringLiteral("clntsh"));
    if (!oci.load())
        throw DbError(QString::fromUtf8(kNotAvailable).arg(params.server));
    throw DbError(QStringLiteral("Oracle client not available: this build cannot talk to "
                                 "the Oracle client yet (service %1).").arg(params.server));
}

void OciDriver::logoff() noexcept { m_connected = false; }

ResultSet OciDriver::query(const QString&, const BindList&)
{
    throw DbError(QStringLiteral("ORA-03114: not connected to ORACLE"));
}

void OciDriver::execute(const QString&, const BindList&)
{
    throw DbError(QStringLiteral("ORA-03114: not connected to ORACLE"));
}

} // namespace morvane
