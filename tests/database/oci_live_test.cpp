// Integration test against a live Oracle server, through the real Oracle
// client library. It runs only when the environment names a server:
//
//     MORVANE_TEST_ORACLE=user/password@service   (service: tnsnames alias or host:port/service)
//
// The account needs CREATE SESSION, CREATE TABLE, CREATE VIEW, CREATE SYNONYM
// and a quota on its default tablespace; the test creates scratch objects
// named MORVANE_T<pid>... in its own schema and drops them again. Every
// statement keeps within Oracle's documented limits (1,000 columns, names of
// 30 bytes, no statement near 64 KB), so any server from 11.2 on takes it.
// Without the variable every test here reports itself skipped.
#include "database/DbDriver.h"
#include "database/Statements.h"
#include "database/oracle/OciDriver.h"
#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QDir>
#include <gtest/gtest.h>

using namespace morvane;

namespace {

struct LiveTarget {
    QString user, password, service;
};

bool liveTarget(LiveTarget& t)
{
    const QString spec = qEnvironmentVariable("MORVANE_TEST_ORACLE");
    const int slash = spec.indexOf('/');
    const int at = spec.lastIndexOf('@');
    if (spec.isEmpty() || slash <= 0 || at <= slash)
        return false;
    t.user = spec.left(slash);
    t.password = spec.mid(slash + 1, at - slash - 1);
    t.service = spec.mid(at + 1);
    return true;
}

int columnOf(const ResultSet& rs, const QString& name)
{
    for (int c = 0; c < rs.columns.size(); ++c)
        if (rs.columns[c].name == name)
            return c;
    ADD_FAILURE() << "no column " << name.toStdString();
    return 0;
}

// 250 select-list columns of 280-character literals: about 78 KB of view text.
constexpr int kViewColumns = 250;
constexpr int kLiteralChars = 280;

class OracleLive : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!liveTarget(target))
            GTEST_SKIP() << "MORVANE_TEST_ORACLE=user/password@service is not set: no live Oracle test";
        ASSERT_NO_THROW(driver.logon({target.service, target.user, target.password}));
        owner = target.user.toUpper();
        const QString id = QString::number(QCoreApplication::applicationPid());
        table = "MORVANE_T" + id;
        view = "MORVANE_V" + id;
        synonym = "MORVANE_S" + id;
    }
    void TearDown() override
    {
        if (!driver.isConnected())
            return;
        for (const QString& drop : {"DROP SYNONYM " + synonym, "DROP VIEW " + view, "DROP TABLE " + table}) {
            try {
                driver.execute(drop, {});
            } catch (const DbError&) {
            }
        }
    }
    ResultSet run(const QStringList& lines, const BindList& binds = {})
    {
        return driver.query(lines.join('\n'), binds);
    }

    LiveTarget target;
    OciDriver driver;
    QString owner, table, view, synonym;
};

} // namespace

TEST_F(OracleLive, ProgramStatementSequence)
{
    // Scratch objects: a table with a Japanese comment, a view with a long text, a synonym.
    driver.execute(
        "CREATE TABLE " + table
            + " (ID NUMBER(10) PRIMARY KEY, NAME VARCHAR2(100), AMOUNT NUMBER(12,2), NOTE VARCHAR2(4000))",
        {});
    driver.execute("COMMENT ON TABLE " + table + " IS '表定義書の試験表'", {});
    driver.execute("COMMENT ON COLUMN " + table + ".NAME IS '名前'", {});
    driver.execute("INSERT INTO " + table + " VALUES (1, 'a', 0.5, NULL)", {});
    driver.execute("COMMIT", {});
    // A view text over 64 KB: 250 columns of long expressions, put together
    // on the server, so that no statement sent comes near Oracle's limits.
    QString viewText = "SELECT ID";
    for (int i = 1; i <= kViewColumns; ++i)
        viewText += QStringLiteral(",\n       NAME || '%1' AS C%2")
                        .arg(QStringLiteral("C%1 ").arg(i).leftJustified(kLiteralChars, 'x'))
                        .arg(i);
    viewText += "\n  FROM " + table;
    ASSERT_GT(viewText.toUtf8().size(), 65536);
    driver.execute(QStringLiteral("DECLARE\n"
                                  "  s CLOB := 'SELECT ID';\n"
                                  "BEGIN\n"
                                  "  FOR i IN 1 .. %1 LOOP\n"
                                  "    s := s || ',' || CHR(10) || '       NAME || ''' ||\n"
                                  "         RPAD('C' || i || ' ', %2, 'x') || ''' AS C' || i;\n"
                                  "  END LOOP;\n"
                                  "  s := s || CHR(10) || '  FROM %3';\n"
                                  "  EXECUTE IMMEDIATE 'CREATE VIEW %4 AS ' || s;\n"
                                  "END;")
                       .arg(kViewColumns)
                       .arg(kLiteralChars)
                       .arg(table, view),
                   {});
    driver.execute("CREATE SYNONYM " + synonym + " FOR " + table, {});

    const ResultSet owners = run(sql::ownerList());
    EXPECT_FALSE(owners.rows.isEmpty());
    const ResultSet list = run(sql::catalogTableList(owner, "TABLE_NAME"));
    const ResultSet all = run(sql::catalogAllObjects(), {{"OWNER", owner}});
    const ResultSet tablesOnly = run(sql::catalogTablesOnly(), {{"OWNER", owner}});
    bool seen = false;
    for (const auto& r : all.rows)
        if (r[columnOf(all, "TABLE_NAME")] == table) {
            seen = true;
            EXPECT_EQ(r[columnOf(all, "COMMENTS")], QStringLiteral("表定義書の試験表"));
        }
    EXPECT_TRUE(seen);
    EXPECT_GE(list.rows.size(), tablesOnly.rows.size());

    const BindList ownerTable = {{"OWNER", owner}, {"TABLE_NAME", table}};
    driver.execute(sql::analyzeTable(owner, table), {});
    const ResultSet tables = run(sql::tables(), ownerTable);
    ASSERT_EQ(tables.rows.size(), 1);
    EXPECT_EQ(tables.rows[0][columnOf(tables, "NUM_ROWS")], "1");
    EXPECT_EQ(run(sql::countRows(6), ownerTable).rows.value(0).value(0), "4");
    run(sql::indexes(), ownerTable);
    run(sql::indexColumns(), {{"OWNER1", owner},
                              {"OWNER2", owner},
                              {"OWNER3", owner},
                              {"TABLE_NAME1", table},
                              {"TABLE_NAME2", table}});
    const ResultSet cols =
        run(sql::tableColumns(), {{"OWNER", owner}, {"OWNER1", owner}, {"TABLE_NAME", table}});
    ASSERT_EQ(cols.rows.size(), 4);
    EXPECT_EQ(cols.rows[1][columnOf(cols, "COMMENTS")], QStringLiteral("名前"));
    EXPECT_EQ(cols.rows[2][columnOf(cols, "DATA_SCALE")], "2");

    const ResultSet v = run(sql::views(), {{"OWNER", owner}, {"TABLE_NAME", view}});
    ASSERT_EQ(v.rows.size(), 1);
    const QString text = v.rows[0][columnOf(v, "TEXT")];
    EXPECT_EQ(QString::number(text.toUtf8().size()), v.rows[0][columnOf(v, "TEXT_LENGTH")]);
    EXPECT_EQ(text.trimmed(), viewText);

    const ResultSet syn = run(sql::synonymLookup(), {{"OWNER", owner}, {"TABLE_NAME", synonym}});
    ASSERT_EQ(syn.rows.size(), 1);
    EXPECT_EQ(syn.rows[0][columnOf(syn, "TABLE_NAME")], table);

    const ResultSet half = driver.query("SELECT AMOUNT FROM " + table, {});
    EXPECT_EQ(half.rows.value(0).value(0), "0.5");

    // A failed statement leaves the session usable.
    EXPECT_THROW(driver.query("SELECT * FROM MORVANE_NO_SUCH_TABLE", {}), DbError);
    EXPECT_FALSE(run(sql::ownerList()).rows.isEmpty());
}

TEST_F(OracleLive, NumbersReadExactlyAcrossTheirRange)
{
    const ResultSet rs =
        driver.query("SELECT 0 AS Z, 0.5 AS H, -0.5 AS NH, 1E-130 AS TINY, -1E-130 AS NTINY,\n"
                     "       1E124 AS BIG, 1E125 AS HUGE,\n"
                     "       9.9999999999999999999999999999999999999E125 AS TOP, 1/3 AS THIRD,\n"
                     "       12345678901234567890123456789012345678 AS WIDE\n"
                     "  FROM DUAL",
                     {});
    ASSERT_EQ(rs.rows.size(), 1);
    const QString tiny = "0." + QString(129, '0') + "1";
    const QStringList want = {"0",
                              "0.5",
                              "-0.5",
                              tiny,
                              "-" + tiny,
                              "1" + QString(124, '0'),
                              "1" + QString(125, '0'),
                              QString(38, '9') + QString(88, '0'),
                              "0." + QString(40, '3'),
                              "12345678901234567890123456789012345678"};
    for (int c = 0; c < want.size(); ++c) {
        EXPECT_TRUE(rs.columns[c].numeric) << rs.columns[c].name.toStdString();
        EXPECT_EQ(rs.rows[0][c], want[c]) << rs.columns[c].name.toStdString();
    }
}

TEST_F(OracleLive, RefusedLogonCarriesOra01017)
{
    OciDriver other;
    try {
        other.logon({target.service, target.user, target.password + "-wrong"});
        FAIL() << "a wrong password was accepted";
    } catch (const DbError& e) {
        EXPECT_EQ(e.oraCode(), 1017) << e.message().toStdString();
    }
}

#ifdef MORVANE_DOC_PATH
TEST_F(OracleLive, MorvaneDocWritesOneOwner)
{
    driver.execute("CREATE TABLE " + table + " (ID NUMBER(10) PRIMARY KEY, NAME VARCHAR2(100))", {});
    QTemporaryDir out;
    QProcess doc;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MORVANE_PASSWORD", target.password);
    doc.setProcessEnvironment(env);
    doc.start(QStringLiteral(MORVANE_DOC_PATH),
              {"--server", target.service, "--user", target.user, "--owner", owner, "--object", table,
               "--format", "pdf", "--out", out.path()});
    ASSERT_TRUE(doc.waitForFinished(600000));
    EXPECT_EQ(doc.exitCode(), 0) << doc.readAllStandardError().toStdString();
    EXPECT_TRUE(QFile::exists(out.path() + "/" + owner + "." + table + ".pdf"));
}
#endif
