// Logon, bad dictionary files and value conversions of the embedded engine.
#include "embedded_fixture.h"
#include "database/Connection.h"
#include "support/ScopedDataDir.h"
#include <QDir>
#include <QFile>

namespace morvane::testing {
namespace {

using EmbeddedDriver = EmbeddedDemo;

QString failure(const std::function<void()>& f)
{
    try {
        f();
    } catch (const DbError& e) {
        return e.message();
    }
    return QString("<no error>");
}

TEST_F(EmbeddedDriver, LogonChecksAccount)
{
    struct Case {
        const char* user;
        const char* password;
        bool ok;
    };
    const Case cases[] = {
        {"SYS", "DEMO", true},  {"sys", "DEMO", true}, // names are upper-cased
        {"SYS", "demo", false},                        // passwords are case-sensitive
        {"SYS", "", false},     {"SYS", "DEMO ", false}, {"SCOTT", "DEMO", false}, {"", "", false},
    };
    for (const Case& c : cases) {
        SqliteDriver d(path);
        const QString err = failure([&] { d.logon({"DEMO", c.user, c.password}); });
        if (c.ok) {
            EXPECT_EQ(err, "<no error>") << c.user << "/" << c.password;
            EXPECT_TRUE(d.isConnected());
        } else {
            EXPECT_EQ(err, "ORA-01017: invalid username/password; logon denied")
                << c.user << "/" << c.password;
            EXPECT_FALSE(d.isConnected());
            EXPECT_TRUE(failure([&] { d.query("SELECT 1", {}); }).startsWith("ORA-03114"));
        }
    }
    setEmbeddedAccount(path, "scott", "Tiger");
    SqliteDriver d(path);
    EXPECT_EQ(failure([&] { d.logon({"DEMO", "SCOTT", "Tiger"}); }), "<no error>");
}

TEST(EmbeddedFiles, BadDictionaryFilesFailCleanly)
{
    QTemporaryDir dir;
    QString demo = dir.filePath("DEMO.db");
    createDemoDictionary(demo);
    QFile in(demo);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray whole = in.readAll();
    ASSERT_GT(whole.size(), 8192);

    sqlite3* plain = nullptr;
    const QString foreign = dir.filePath("foreign.db");
    sqlite3_open(foreign.toUtf8().constData(), &plain);
    sqlite3_exec(plain, "CREATE TABLE T(X); INSERT INTO T VALUES (1);", nullptr, nullptr, nullptr);
    sqlite3_close(plain);

    struct Case {
        const char* name;
        QByteArray bytes;
        bool write;
        const char* expect;
    };
    const Case cases[] = {
        {"missing.db", {}, false, "ORA-12154"},
        {"empty.db", {}, true, "ORA-01034"},
        {"truncated.db", whole.left(whole.size() / 2), true, "ORA-01034"},
        {"ragged.db", whole.left(whole.size() - 100), true, "ORA-01034"},
        {"header.db", whole.left(60), true, "ORA-01034"},
        {"garbage.db", QByteArray(20000, 'x'), true, "ORA-01034"},
        {"text.db", "SELECT * FROM ALL_USERS;\n", true, "ORA-01034"},
        {"foreign.db", {}, false, "ORA-01034"},
    };
    for (const Case& c : cases) {
        const QString p = dir.filePath(c.name);
        if (c.write) {
            QFile f(p);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c.bytes);
        }
        SqliteDriver d(p);
        const QString err = failure([&] { d.logon({"X", "SYS", "DEMO"}); });
        EXPECT_TRUE(err.startsWith(c.expect)) << c.name << ": " << err.toStdString();
        EXPECT_FALSE(d.isConnected()) << c.name;
    }
    // Opening never creates the file.
    EXPECT_FALSE(QFile::exists(dir.filePath("missing.db")));
    // An existing file, even a bad one, is left as it is.
    createDemoDictionary(dir.filePath("garbage.db"));
    EXPECT_EQ(QFileInfo(dir.filePath("garbage.db")).size(), 20000);
}

TEST(EmbeddedFiles, ConnectionCreatesDemoOnFirstUse)
{
    test::ScopedDataDir data("sub/db");
    Connection c;
    EXPECT_NO_THROW(test::openDemo(c, "demo"));
    EXPECT_TRUE(c.isOpen());
    EXPECT_TRUE(QFile::exists(data.path() + "/DEMO.db"));
    EXPECT_FALSE(QFile::exists(data.path() + "/DEMO.db.building"));
    c.setLogon({"DEMO", "SYS", "WRONG"});
    EXPECT_THROW(c.open(), DbError);
    EXPECT_FALSE(c.isOpen());
}

TEST_F(EmbeddedDriver, ValuesConvertLikeTheClientLayer)
{
    const ResultSet rs = driver->query(
        "SELECT 12.5 AS A, 0.25 AS B, 1e-5 AS C, 3.0 AS D, NULL AS E, 'テキスト' AS F, 42 AS G, "
        "1e20 AS H, -7.125 AS I, COUNT(*) FROM ALL_USERS",
        {});
    ASSERT_EQ(rs.rows.size(), 1);
    EXPECT_EQ(rs.rows[0], (QVector<QString>{"12.5", "0.25", "0.00001", "3", QString(), "テキスト", "42",
                                            "100000000000000000000", "-7.125", "6"}));
    EXPECT_TRUE(rs.rows[0][4].isNull());
    const QVector<bool> numeric = {true, true, true, true, false, false, true, true, true, true};
    for (int c = 0; c < numeric.size(); ++c)
        EXPECT_EQ(rs.columns[c].numeric, numeric[c]) << c;
    EXPECT_EQ(rs.columns[9].name, "COUNT(*)");
}

TEST_F(EmbeddedDriver, BindsAndRejectedStatements)
{
    // An empty text is NULL to Oracle.
    EXPECT_EQ(scalar("SELECT :X IS NULL, :Y", {{"X", ""}, {"Y", "y"}}), "1");
    EXPECT_EQ(scalar("SELECT :owner", {{"OWNER", "SCOTT"}}), "SCOTT");
    EXPECT_TRUE(failure([&] { driver->query("SELECT :A, :B", {{"A", "1"}}); }).startsWith("ORA-01008"));
    struct Case {
        const char* sql;
        const char* code;
    };
    const Case cases[] = {
        {"SELECT * FROM NO_SUCH_VIEW", "ORA-00942"},
        {"SELECT NO_SUCH_COLUMN FROM ALL_USERS", "ORA-00904"},
        {"SELEC USERNAME FROM ALL_USERS", "ORA-00900"},
        {"SELECT 1; SELECT 2", "ORA-00933"},
        {"SELECT A.X FROM T A, U B WHERE A.X = B.X(+) OR A.Y = 1", "ORA-01719"},
    };
    for (const Case& c : cases) {
        const QString err = failure([&] { driver->query(c.sql, {}); });
        EXPECT_TRUE(err.startsWith(c.code)) << c.sql << ": " << err.toStdString();
    }
    // The engine stays usable after each failure, also for repeated cached statements.
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(run(sql::countRows(6), ownerName("SCOTT", "DEPT")).rows[0][0], "3");
}

} // namespace
} // namespace morvane::testing
