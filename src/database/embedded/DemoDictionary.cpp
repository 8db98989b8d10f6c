#include "database/embedded/DemoDictionary.h"
#include "database/embedded/Analyze.h"
#include "database/embedded/DictionarySchema.h"
#include "database/embedded/DictionaryScript.h"
#include "database/embedded/SqliteUtil.h"
#include "database/DbDriver.h"
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace morvane {

using namespace embedded;

namespace embedded {

namespace {

// Skips blanks and comments; returns the offset of the next statement.
int skipBlank(const QByteArray& s, int i)
{
    for (;;) {
        while (i < s.size() && isspace(static_cast<unsigned char>(s[i])))
            ++i;
        if (s.mid(i, 2) == "--") {
            const int nl = s.indexOf('\n', i);
            i = nl < 0 ? s.size() : nl + 1;
        } else if (s.mid(i, 2) == "/*") {
            const int end = s.indexOf("*/", i + 2);
            i = end < 0 ? s.size() : end + 2;
        } else {
            return i;
        }
    }
}

int lineAt(const QByteArray& s, int offset) { return s.left(offset).count('\n') + 1; }

} // namespace

void runDictionaryScript(sqlite3* db, const QByteArray& script, const QString& name)
{
    int at = 0;
    for (;;) {
        at = skipBlank(script, at);
        if (at >= script.size())
            return;
        try {
            // The script's ANALYZE lines are the engine's own statement, not SQLite's.
            // A word that only begins with ANALYZE parses to nothing and is SQLite's to judge.
            if (script.mid(at, 7).toUpper() == "ANALYZE") {
                const int semi = script.indexOf(';', at);
                const int end = semi < 0 ? script.size() : semi + 1;
                const QString text = QString::fromUtf8(script.mid(at, end - at));
                if (const auto command = parseAnalyze(text, QStringLiteral("SYS"))) {
                    runAnalyze(db, *command);
                    at = end;
                    continue;
                }
            }
            sqlite3_stmt* st = nullptr;
            const char* tail = nullptr;
            const char* start = script.constData() + at;
            if (sqlite3_prepare_v2(db, start, script.size() - at, &st, &tail) != SQLITE_OK)
                throw DbError(errorText(db));
            int rc = SQLITE_DONE;
            if (st) {
                while ((rc = sqlite3_step(st)) == SQLITE_ROW) { }
                sqlite3_finalize(st);
            }
            if (rc != SQLITE_DONE)
                throw DbError(errorText(db));
            at = static_cast<int>(tail - script.constData());
        } catch (const DbError& e) {
            throw DbError(QStringLiteral("%1 %2行目: %3").arg(name).arg(lineAt(script, at)).arg(e.message()));
        }
    }
}

} // namespace embedded

namespace {

sqlite3* openExisting(const QString& path)
{
    if (!QFileInfo::exists(path))
        throw DbError(QStringLiteral("辞書ファイルがありません: %1").arg(path));
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr)
        != SQLITE_OK) {
        const QString msg = errorText(db);
        sqlite3_close(db);
        throw DbError(msg);
    }
    return db;
}

} // namespace

void createDemoDictionary(const QString& path)
{
    // An existing dictionary is used as it is, analysed figures included.
    if (QFileInfo::exists(path))
        return;
    QFile resource(QStringLiteral(":/data/demo.sql"));
    if (!resource.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("デモ辞書の SQL が見つかりません (:/data/demo.sql)"));
    const QByteArray script = resource.readAll();

    // Built beside the target and renamed at the end, so a failure leaves no half dictionary.
    const QString building = path + QStringLiteral(".building");
    sqlite3* db = createDatabaseFile(building, QStringLiteral("デモ辞書を作成できません"));
    try {
        exec(db, QStringLiteral("BEGIN"));
        createDictionarySchema(db);
        installSysObjects(db);
        runDictionaryScript(db, script, QStringLiteral("demo.sql"));
        storeAccount(db, QStringLiteral("SYS"), QStringLiteral("DEMO"));
        exec(db, QStringLiteral("COMMIT"));
        gatherPlannerStatistics(db);
        if (sqlite3_close(db) != SQLITE_OK)
            throw DbError(errorText(db));
        db = nullptr;
        if (!QFile::rename(building, path))
            throw DbError(QStringLiteral("デモ辞書を作成できません: %1").arg(path));
    } catch (...) {
        if (db)
            sqlite3_close_v2(db);
        QFile::remove(building);
        throw;
    }
}

void setEmbeddedAccount(const QString& path, const QString& user, const QString& password)
{
    sqlite3* db = openExisting(path);
    try {
        Statement st(db, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?"));
        st.bind(1, QLatin1String(kAccountsTable));
        if (!st.step())
            throw DbError(QStringLiteral("辞書ファイルではありません: %1").arg(path));
        st.reset();
        storeAccount(db, user, password);
    } catch (...) {
        sqlite3_close(db);
        throw;
    }
    sqlite3_close(db);
}

} // namespace morvane
