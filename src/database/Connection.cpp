#include "database/Connection.h"
#include "database/embedded/SqliteDriver.h"
#include "database/embedded/DemoDictionary.h"
#include "database/oracle/OciDriver.h"
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace morvane {

QString embeddedDataDir()
{
    const QString env = qEnvironmentVariable("MORVANE_DATA_DIR");
    if (!env.isEmpty())
        return env;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/Velkram/Morvane");
}

QString embeddedDatabaseFor(const QString& service)
{
    const QString name = service.trimmed();
    // A service name is a plain word; anything that could leave the folder is no file of ours.
    if (name.isEmpty() || name.contains('/') || name.contains('\\') || name.startsWith('.'))
        return {};
    const QString dir = embeddedDataDir();
    const QString path = dir + '/' + name.toUpper() + QStringLiteral(".db");
    if (QFileInfo::exists(path))
        return path;
    if (name.compare(QLatin1String("DEMO"), Qt::CaseInsensitive) == 0) {
        if (!QDir().mkpath(dir))
            throw DbError(QStringLiteral("埋め込みデータベースのフォルダを作成できません: %1").arg(dir));
        createDemoDictionary(path);
        return path;
    }
    return {};
}

Connection::Connection() = default;
Connection::~Connection() { close(); }

void Connection::open()
{
    close();
    if (!m_fixedDriver) {
        const QString path = embeddedDatabaseFor(m_params.server);
        if (!path.isEmpty())
            m_driver = std::make_unique<SqliteDriver>(path);
        else
            m_driver = std::make_unique<OciDriver>();
    }
    if (!m_driver)
        throw DbError(QStringLiteral("no database driver"));
    m_driver->logon(m_params);
}

void Connection::close() noexcept
{
    if (m_driver)
        m_driver->logoff();
}

bool Connection::isOpen() const { return m_driver && m_driver->isConnected(); }

IDbDriver& Connection::driver()
{
    if (!isOpen())
        throw DbError(QStringLiteral("ORA-03114: not connected to ORACLE"));
    return *m_driver;
}

void Connection::setDriverForTesting(std::unique_ptr<IDbDriver> driver)
{
    m_driver = std::move(driver);
    m_fixedDriver = true;
}

} // namespace morvane
