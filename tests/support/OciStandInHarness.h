#pragma once
// Reaches the test double of the Oracle client library (tests/oci_standin)
// from the tests: its controls and statistics, and the environment that makes
// OciDriver load it exactly as it would load libclntsh.
#include "oci_standin/OciStandIn.h"
#include "database/oracle/OciLibrary.h"
#include <QByteArray>
#include <QLibrary>
#include <QString>
#include <vector>
#include <utility>

namespace morvane::test {

// Sets environment variables while it lives (an empty value unsets).
class ScopedEnv {
public:
    ScopedEnv() = default;
    ScopedEnv(const char* name, const QByteArray& value) { set(name, value); }
    ~ScopedEnv()
    {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (it->second.second)
                qputenv(it->first.constData(), it->second.first);
            else
                qunsetenv(it->first.constData());
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    void set(const char* name, const QByteArray& value)
    {
        m_saved.push_back({name, {qgetenv(name), qEnvironmentVariableIsSet(name)}});
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

private:
    std::vector<std::pair<QByteArray, std::pair<QByteArray, bool>>> m_saved;
};

class StandIn {
public:
    static QString path() { return QStringLiteral(MORVANE_OCI_STANDIN); }
    static QString incompletePath() { return QStringLiteral(MORVANE_OCI_STANDIN_INCOMPLETE); }

    static StandIn& get()
    {
        static StandIn s;
        return s;
    }
    bool ok() const
    {
        return reset && stats && statement && dropAfterFetches && logonWarning && fetchFailure && envInfo
               && databaseCharset;
    }

    morvane_standin_reset_t reset = nullptr;
    morvane_standin_stats_t stats = nullptr;
    morvane_standin_statement_t statement = nullptr;
    morvane_standin_drop_after_fetches_t dropAfterFetches = nullptr;
    morvane_standin_logon_warning_t logonWarning = nullptr;
    morvane_standin_fetch_failure_t fetchFailure = nullptr;
    morvane_standin_env_info_t envInfo = nullptr;
    morvane_standin_database_charset_t databaseCharset = nullptr;

private:
    StandIn()
    {
        // The same file the driver loads: the process shares one copy of it.
        QLibrary lib(path());
        if (!lib.load())
            return;
        reset = reinterpret_cast<morvane_standin_reset_t>(lib.resolve("morvane_standin_reset"));
        stats = reinterpret_cast<morvane_standin_stats_t>(lib.resolve("morvane_standin_stats"));
        statement = reinterpret_cast<morvane_standin_statement_t>(lib.resolve("morvane_standin_statement"));
        dropAfterFetches = reinterpret_cast<morvane_standin_drop_after_fetches_t>(
            lib.resolve("morvane_standin_drop_after_fetches"));
        logonWarning =
            reinterpret_cast<morvane_standin_logon_warning_t>(lib.resolve("morvane_standin_logon_warning"));
        fetchFailure =
            reinterpret_cast<morvane_standin_fetch_failure_t>(lib.resolve("morvane_standin_fetch_failure"));
        envInfo = reinterpret_cast<morvane_standin_env_info_t>(lib.resolve("morvane_standin_env_info"));
        databaseCharset = reinterpret_cast<morvane_standin_database_charset_t>(
            lib.resolve("morvane_standin_database_charset"));
    }
};

// Points the driver at the stand-in and the stand-in at a folder of dictionaries.
class UseStandIn {
public:
    explicit UseStandIn(const QString& dictionaryDir)
    {
        m_env.set(oci::kLibraryOverrideVariable, StandIn::path().toUtf8());
        m_env.set("MORVANE_STANDIN_DIR", dictionaryDir.toUtf8());
        if (StandIn::get().ok())
            StandIn::get().reset();
    }

private:
    ScopedEnv m_env;
};

} // namespace morvane::test
