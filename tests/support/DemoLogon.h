#pragma once
// Logging on to the embedded demo dictionary: server DEMO (or a copy of it
// under a service name of the test's own), user SYS, password DEMO. The
// data folder is the test's own when a ScopedDataDir lives.
#include "core/AppState.h"
#include "database/Connection.h"
#include "database/DataModule.h"
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace morvane::test {

inline LogonParams demoLogon(const QString& server = QStringLiteral("DEMO"))
{
    return {server, QStringLiteral("SYS"), QStringLiteral("DEMO")};
}

// A connection to the demo, or to another dictionary of the data folder. Throws DbError.
inline void openDemo(Connection& connection, const QString& server = QStringLiteral("DEMO"))
{
    connection.setLogon(demoLogon(server));
    connection.open();
}

// A copy of the demo in the data folder under another service name, for a
// test that changes it or takes it away.
inline void copyDemoAs(const QString& server)
{
    const QString demo = embeddedDatabaseFor(QStringLiteral("DEMO"));
    ASSERT_TRUE(QFile::copy(demo, QFileInfo(demo).path() + '/' + server + QStringLiteral(".db")))
        << qPrintable(server);
}

// The data module logged on as start-up leaves it with a stored password:
// server and password in the settings, SYS as the logon user. Throws DbError.
inline void logOnDemo(TDataModule2& dm, const QString& server = QStringLiteral("DEMO"))
{
    Session& session = dm.session();
    session.settings.LAST_ALIAS = server;
    session.settings.U_LogOn = QStringLiteral("DEMO");
    session.state.LogonUser = QStringLiteral("SYS");
    dm.connectWithCurrentValues();
}

} // namespace morvane::test
