#pragma once
// A fresh demo dictionary per test, reached through SqliteDriver with the
// program's own statement texts.
#include "database/embedded/DemoDictionary.h"
#include "database/embedded/SqliteDriver.h"
#include "database/Statements.h"
#include "support/DemoLogon.h"
#include "support/ResultColumns.h"
#include <gtest/gtest.h>
#include <QSet>
#include <QTemporaryDir>
#include <sqlite3.h>
#include <memory>

namespace morvane::testing {

class EmbeddedDemo : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("DEMO.db");
        createDemoDictionary(path);
        driver = std::make_unique<SqliteDriver>(path);
        driver->logon(test::demoLogon());
    }

    ResultSet run(const QStringList& lines, const BindList& binds = {})
    {
        return driver->query(lines.join('\n'), binds);
    }
    static BindList ownerName(const QString& owner, const QString& name)
    {
        return {{"OWNER", owner}, {"TABLE_NAME", name}};
    }
    static int col(const ResultSet& rs, const QString& name) { return test::col(rs, name); }
    static QStringList column(const ResultSet& rs, const QString& name) { return test::column(rs, name); }
    QString scalar(const QString& sql, const BindList& binds = {})
    {
        const ResultSet rs = driver->query(sql, binds);
        EXPECT_EQ(rs.rows.size(), 1) << sql.toStdString();
        return rs.rows.isEmpty() ? QString("<none>") : rs.rows[0][0];
    }
    // Writes to the file beside the driver, for cases the demo lacks.
    void rawExec(const QString& sql)
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
        char* err = nullptr;
        const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err);
        EXPECT_EQ(rc, SQLITE_OK) << (err ? err : "");
        sqlite3_free(err);
        sqlite3_close(db);
    }

    QTemporaryDir dir;
    QString path;
    std::unique_ptr<SqliteDriver> driver;
};

} // namespace morvane::testing
