// The client layer's contract: the same tests against every engine behind
// IDbDriver — the embedded engine, and the Oracle driver (OciDriver) on the
// test double of the Oracle client library (tests/oci_standin). The stand-in
// runs the driver's real code path; it is no verification against Oracle
// (see oci_live_test.cpp for that).
#include "database/DbDriver.h"
#include "database/Statements.h"
#include "database/embedded/DemoDictionary.h"
#include "database/embedded/SqliteDriver.h"
#include "database/oracle/OciDriver.h"
#include "support/DemoLogon.h"
#include "support/OciStandInHarness.h"
#include "support/ResultColumns.h"
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <memory>

using namespace morvane;
using namespace morvane::test;

namespace {

enum class Engine { Embedded, OciStandIn };

std::string engineName(const ::testing::TestParamInfo<Engine>& info)
{
    return info.param == Engine::Embedded ? "Embedded" : "OciOnStandIn";
}
void PrintTo(Engine e, std::ostream* os)
{
    *os << (e == Engine::Embedded ? "embedded engine" : "OCI driver on the stand-in");
}

// A text of exactly `bytes` UTF-8 bytes made of Japanese characters (3 bytes each) and 'x'.
QString japaneseOfBytes(int bytes)
{
    QString s;
    const QString kana = QStringLiteral("表定義書コメント");
    for (int i = 0; i < bytes / 3; ++i)
        s += kana[i % kana.size()];
    s += QString(bytes % 3, 'x');
    return s;
}

class DbContract : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("DEMO.db");
        createDemoDictionary(path);
        addCases();
        driver = makeDriver();
        ASSERT_NO_THROW(driver->logon(demoLogon()));
    }

    std::unique_ptr<IDbDriver> makeDriver()
    {
        if (GetParam() == Engine::Embedded)
            return std::make_unique<SqliteDriver>(path);
        if (!standIn)
            standIn = std::make_unique<UseStandIn>(dir.path());
        EXPECT_TRUE(StandIn::get().ok())
            << "stand-in controls not found in " << StandIn::path().toStdString();
        auto d = std::make_unique<OciDriver>();
        d->setFetchRows(4);        // several fetch calls for every longer result
        d->setLongPieceBytes(100); // LONG values cross many pieces
        return d;
    }

    bool oci() const { return GetParam() == Engine::OciStandIn; }

    // Rows the demo lacks: a long view text, a 128-byte name, and a comment
    // that fills VARCHAR2(4000) in a Shift-JIS database: 2,000 full-width
    // characters, 6,000 bytes once the client has them in UTF-8.
    void addCases()
    {
        longText = QStringLiteral("SELECT E.EMPNO AS \"社員番号\"");
        for (int i = 0; longText.toUtf8().size() < 70000; ++i)
            longText += QStringLiteral(",\n       E.ENAME || '%1番目の列' AS C%1").arg(i);
        longText += QStringLiteral("\n  FROM EMP E");
        longName = QString(128, 'N');
        longComment = japaneseOfBytes(6000);
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
        auto exec = [db](const QString& sql, const QStringList& values) {
            sqlite3_stmt* st = nullptr;
            ASSERT_EQ(sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr), SQLITE_OK)
                << sqlite3_errmsg(db);
            for (int i = 0; i < values.size(); ++i) {
                const QByteArray v = values[i].toUtf8();
                sqlite3_bind_text(st, i + 1, v.constData(), v.size(), SQLITE_TRANSIENT);
            }
            EXPECT_EQ(sqlite3_step(st), SQLITE_DONE) << sqlite3_errmsg(db);
            sqlite3_finalize(st);
        };
        exec("INSERT INTO ALL_VIEWS (OWNER, VIEW_NAME, TEXT_LENGTH, TEXT) VALUES ('SCOTT', 'LONG_V', ?, ?)",
             {QString::number(longText.toUtf8().size()), longText});
        exec("INSERT INTO ALL_CATALOG (OWNER, TABLE_NAME, TABLE_TYPE) VALUES ('SCOTT', ?, 'TABLE')",
             {longName});
        exec(
            "INSERT INTO ALL_TAB_COMMENTS (OWNER, TABLE_NAME, TABLE_TYPE, COMMENTS) VALUES ('SCOTT', ?, 'TABLE', ?)",
            {longName, longComment});
        sqlite3_close(db);
    }

    ResultSet run(const QStringList& lines, const BindList& binds = {})
    {
        return driver->query(lines.join('\n'), binds);
    }
    static int col(const ResultSet& rs, const QString& name) { return test::col(rs, name); }
    static QStringList column(const ResultSet& rs, const QString& name) { return test::column(rs, name); }
    int errorCodeOf(const std::function<void()>& f)
    {
        try {
            f();
        } catch (const DbError& e) {
            lastError = e.message();
            return e.oraCode();
        }
        return 0;
    }

    QTemporaryDir dir;
    QString path;
    std::unique_ptr<UseStandIn> standIn;
    std::unique_ptr<IDbDriver> driver;
    QString longText, longName, longComment, lastError;
};

TEST_P(DbContract, OwnerListWithoutSysAndSystem)
{
    const ResultSet rs = run(sql::ownerList());
    const QStringList owners = column(rs, "USERNAME");
    EXPECT_TRUE(owners.contains("SCOTT"));
    EXPECT_TRUE(owners.contains("HR"));
    EXPECT_FALSE(owners.contains("SYS"));
    EXPECT_FALSE(owners.contains("SYSTEM"));
    QStringList sorted = owners;
    sorted.sort();
    EXPECT_EQ(owners, sorted);
}

TEST_P(DbContract, BindsByNameAndAnArrayFetchOverSeveralCalls)
{
    const ResultSet all = run(sql::catalogAllObjects(), {{"OWNER", "SCOTT"}});
    ASSERT_GT(all.rows.size(), 4) << "must need more than one fetch call";
    for (const QString& owner : column(all, "OWNER"))
        EXPECT_EQ(owner, "SCOTT");
    const ResultSet count = driver->query("SELECT COUNT(*) FROM ALL_CATALOG WHERE OWNER = :OWNER AND "
                                          "TABLE_TYPE <> 'SEQUENCE'",
                                          {{"OWNER", "SCOTT"}});
    ASSERT_EQ(count.rows.size(), 1);
    EXPECT_EQ(count.rows[0][0], QString::number(all.rows.size()));
    EXPECT_TRUE(count.columns[0].numeric);
    if (oci()) {
        const MorvaneStandInStats& s = *StandIn::get().stats();
        EXPECT_GE(s.fetchCalls, 3);
        EXPECT_EQ(s.maxRowsDelivered, 4) << "array fetch, four rows per call";
    }
}

TEST_P(DbContract, ANameUsedTwiceIsBoundOnce)
{
    // :OWNER stands twice in the synonym lookup.
    const ResultSet rs = run(sql::synonymLookup(), {{"OWNER", "SCOTT"}, {"TABLE_NAME", "EMPLOYEES"}});
    ASSERT_EQ(rs.rows.size(), 1);
    EXPECT_EQ(rs.rows[0][col(rs, "TABLE_NAME")], "EMP");
    EXPECT_EQ(rs.rows[0][col(rs, "OLD_TYPE")], "TABLE");
    if (oci()) {
        EXPECT_EQ(StandIn::get().stats()->bindCalls, 2);
        EXPECT_EQ(StandIn::get().stats()->duplicateBinds, 0);
    }
}

TEST_P(DbContract, StatementsArriveAsTheProgramWroteThem)
{
    const QString text = sql::indexColumns().join('\n');
    const ResultSet rs = driver->query(text, {{"OWNER1", "SCOTT"},
                                              {"OWNER2", "SCOTT"},
                                              {"OWNER3", "SCOTT"},
                                              {"TABLE_NAME1", "EMP"},
                                              {"TABLE_NAME2", "EMP"}});
    EXPECT_FALSE(rs.rows.isEmpty());
    if (oci()) {
        ASSERT_NE(StandIn::get().statement(0), nullptr);
        EXPECT_EQ(QString::fromUtf8(StandIn::get().statement(0)), text);
    }
}

TEST_P(DbContract, NumbersArePlainDecimalText)
{
    ScopedEnv nls("NLS_NUMERIC_CHARACTERS", ",.");
    const ResultSet rs = run(sql::tables(), {{"OWNER", "SCOTT"}, {"TABLE_NAME", "EMP"}});
    ASSERT_EQ(rs.rows.size(), 1);
    const QRegularExpression plain("^-?[0-9]+(\\.[0-9]*[1-9])?$");
    for (const char* field :
         {"PCT_FREE", "INITIAL_EXTENT", "NEXT_EXTENT", "NUM_ROWS", "BLOCKS", "AVG_ROW_LEN"}) {
        const QString name = QString::fromLatin1(field);
        const int c = col(rs, name);
        EXPECT_TRUE(rs.columns[c].numeric) << name.toStdString();
        const QString v = rs.rows[0][c];
        if (!v.isNull()) {
            EXPECT_TRUE(plain.match(v).hasMatch()) << name.toStdString() << " = " << v.toStdString();
        }
    }
    const ResultSet half = driver->query("SELECT 0.5 AS HALF, -12.25 AS NEG, 1234567 AS BIG FROM ALL_USERS "
                                         "WHERE USERNAME = :U",
                                         {{"U", "SCOTT"}});
    ASSERT_EQ(half.rows.size(), 1);
    EXPECT_EQ(half.rows[0][0], "0.5");
    EXPECT_EQ(half.rows[0][1], "-12.25");
    EXPECT_EQ(half.rows[0][2], "1234567");
}

TEST_P(DbContract, NullIsANullText)
{
    // GUEST's synonym rows: ATC.COMMENTS is NULL through the outer join.
    const ResultSet rs = run(sql::catalogAllObjects(), {{"OWNER", "SCOTT"}});
    const int c = col(rs, "COMMENTS");
    bool sawNull = false;
    for (const auto& r : rs.rows) {
        if (r[c].isNull())
            sawNull = true;
        else
            EXPECT_FALSE(r[c].isEmpty()) << "empty text instead of NULL";
    }
    EXPECT_TRUE(sawNull);
    // An empty bind is NULL, as in Oracle: it matches nothing.
    EXPECT_TRUE(run(sql::catalogAllObjects(), {{"OWNER", ""}}).rows.isEmpty());
}

TEST_P(DbContract, LongNamesAndCommentsArriveWhole)
{
    const ResultSet rs = run(sql::catalogAllObjects(), {{"OWNER", "SCOTT"}});
    const int n = col(rs, "TABLE_NAME");
    const int c = col(rs, "COMMENTS");
    bool found = false;
    for (const auto& r : rs.rows) {
        if (r[n] == longName) {
            found = true;
            EXPECT_EQ(r[c].toUtf8().size(), 6000);
            EXPECT_EQ(r[c], longComment);
        }
    }
    EXPECT_TRUE(found) << "the 128-byte name did not arrive whole";
    // Japanese comments of the demo arrive intact.
    const ResultSet dept = run(sql::catalogAllObjects(), {{"OWNER", "SCOTT"}});
    EXPECT_TRUE(column(dept, "COMMENTS").contains(QStringLiteral("部門マスタ")));
}

TEST_P(DbContract, LongViewTextArrivesWhole)
{
    const ResultSet rs = run(sql::views(), {{"OWNER", "SCOTT"}, {"TABLE_NAME", "LONG_V"}});
    ASSERT_EQ(rs.rows.size(), 1);
    const QString text = rs.rows[0][col(rs, "TEXT")];
    EXPECT_EQ(text.size(), longText.size());
    EXPECT_EQ(text, longText);
    EXPECT_EQ(rs.rows[0][col(rs, "TEXT_LENGTH")], QString::number(longText.toUtf8().size()));
    if (oci()) {
        EXPECT_GT(StandIn::get().stats()->longPieces, 700) << "the text crossed many 100-byte pieces";
    }
    // A short one, in a result of one row.
    const ResultSet shortV = run(sql::views(), {{"OWNER", "SCOTT"}, {"TABLE_NAME", "EMP_DEPT_V"}});
    ASSERT_EQ(shortV.rows.size(), 1);
    EXPECT_TRUE(shortV.rows[0][col(shortV, "TEXT")].startsWith("SELECT E.EMPNO, E.ENAME"));
}

TEST_P(DbContract, AnalyzeRunsAsAStatementWithoutRows)
{
    EXPECT_NO_THROW(driver->execute(sql::analyzeTable("SCOTT", "EMP"), {}));
    const ResultSet rs = run(sql::tables(), {{"OWNER", "SCOTT"}, {"TABLE_NAME", "EMP"}});
    ASSERT_EQ(rs.rows.size(), 1);
    EXPECT_FALSE(rs.rows[0][col(rs, "NUM_ROWS")].isNull());
    if (oci()) {
        EXPECT_EQ(StandIn::get().stats()->fetchCalls, 1) << "ANALYZE fetched nothing";
    }
}

TEST_P(DbContract, ErrorsCarryTextAndNumberAndLeaveTheConnectionUsable)
{
    EXPECT_EQ(errorCodeOf([&] { driver->query("SELECT X FROM NO_SUCH_VIEW", {}); }), 942);
    EXPECT_TRUE(lastError.startsWith("ORA-00942")) << lastError.toStdString();
    EXPECT_TRUE(driver->isConnected());
    EXPECT_EQ(errorCodeOf([&] { driver->execute(sql::analyzeTable("SCOTT", "NO_SUCH_TABLE"), {}); }), 942);
    EXPECT_EQ(errorCodeOf([&] { driver->query("SELECT USERNAME FROM ALL_USERS WHERE USERNAME = :X", {}); }),
              1008);
    const ResultSet rs = run(sql::ownerList());
    EXPECT_FALSE(rs.rows.isEmpty());
}

TEST_P(DbContract, RefusedLogonsCarryTheirNumbers)
{
    auto other = makeDriver();
    EXPECT_EQ(errorCodeOf([&] { other->logon({"DEMO", "SYS", "wrong"}); }), 1017);
    EXPECT_TRUE(lastError.startsWith("ORA-01017")) << lastError.toStdString();
    EXPECT_FALSE(other->isConnected());
    auto third = makeDriver();
    if (oci()) {
        EXPECT_EQ(errorCodeOf([&] { third->logon({"NOWHERE", "SYS", "DEMO"}); }), 12154);
    } else {
        SqliteDriver missing(dir.filePath("NOWHERE.db"));
        EXPECT_EQ(errorCodeOf([&] { missing.logon({"NOWHERE", "SYS", "DEMO"}); }), 12154);
    }
    EXPECT_EQ(errorCodeOf([&] { driver->query("SELECT USERNAME FROM ALL_USERS", {}); }), 0);
}

TEST_P(DbContract, AConnectionDroppingMidLoadFailsWithItsNumber)
{
    if (!oci())
        GTEST_SKIP() << "the embedded engine has no network connection that could drop";
    StandIn::get().dropAfterFetches(2);
    EXPECT_EQ(errorCodeOf([&] { run(sql::catalogAllObjects(), {{"OWNER", "SCOTT"}}); }), 3113);
    EXPECT_FALSE(driver->isConnected());
    EXPECT_EQ(errorCodeOf([&] { run(sql::ownerList()); }), 3114);
    // A new logon works again.
    driver->logon(demoLogon());
    EXPECT_FALSE(run(sql::ownerList()).rows.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Engines, DbContract, ::testing::Values(Engine::Embedded, Engine::OciStandIn),
                         engineName);

} // namespace
