// The Oracle driver's own parts: NUMBER bytes to text, bind names, loading the
// client library and what happens without it, and logon details checked on
// the test double of the client library (tests/oci_standin) — which shows the
// driver's calls, not Oracle's answers.
#include "database/Connection.h"
#include "database/DataModule.h"
#include "database/DbDriver.h"
#include "database/Statements.h"
#include "database/embedded/DemoDictionary.h"
#include "database/embedded/SqliteDriver.h"
#include "database/oracle/OciDriver.h"
#include "database/oracle/OciLibrary.h"
#include "database/oracle/OciNumber.h"
#include "support/FakePlatform.h"
#include "support/DemoLogon.h"
#include "support/OciStandInHarness.h"
#include "support/ScopedDataDir.h"
#include "oci_standin/StandInText.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace morvane;
using namespace morvane::test;

namespace {

QString decode(const QByteArray& form)
{
    QByteArray b = form;
    b.resize(oci::NUMBER_SIZE);
    return oci::numberToText(reinterpret_cast<const unsigned char*>(b.constData()), b.size());
}

QString fromBytes(std::initializer_list<int> bytes)
{
    QByteArray b;
    b.append(char(bytes.size()));
    for (int v : bytes)
        b.append(char(v));
    return decode(b);
}

// A NUMBER as Oracle documents its internal form: d1.d2d3... x 100^exponent;
// the exponent byte holds a sign bit and the exponent plus 65, all bits
// inverted when negative; digits are d + 1, or 101 - d followed by 102 when
// a negative number has fewer than 20 of them.
QString documented(bool negative, int exponent, const std::vector<int>& digits)
{
    const int head = 0x80 | (exponent + 65);
    QByteArray b;
    b.append(char(negative ? ~head & 0xFF : head));
    for (int d : digits)
        b.append(char(negative ? 101 - d : d + 1));
    if (negative && digits.size() < 20)
        b.append(char(102));
    b.prepend(char(b.size()));
    return decode(b);
}

QString roundTrip(const QString& decimal)
{
    const std::string b = standin::encodeNumber(decimal.toStdString());
    return decode(QByteArray(b.data(), qsizetype(b.size())));
}

} // namespace

TEST(OciNumber, DocumentedFormsReadAsPlainDecimals)
{
    const QString zeros124(124, '0');
    EXPECT_EQ(fromBytes({0x80}), "0");
    EXPECT_EQ(documented(false, 0, {1}), "1");
    EXPECT_EQ(documented(false, 1, {1}), "100");
    EXPECT_EQ(documented(false, -1, {50}), "0.5");
    EXPECT_EQ(documented(true, -1, {50}), "-0.5");
    EXPECT_EQ(documented(false, 3, {12, 34, 56, 78}), "12345678");
    EXPECT_EQ(documented(true, 3, {12, 34, 56, 78}), "-12345678");
    // The ends of NUMBER's range: 1e-130 shares its exponent byte 0x80 with
    // zero, and every positive number from 1e124 on has the exponent byte FF.
    EXPECT_EQ(documented(false, -65, {1}), "0." + QString(129, '0') + "1");
    EXPECT_EQ(documented(true, -65, {1}), "-0." + QString(129, '0') + "1");
    EXPECT_EQ(documented(false, 62, {1}), "1" + zeros124);
    EXPECT_EQ(documented(false, 62, {10}), "1" + zeros124 + "0");
    EXPECT_EQ(documented(false, 62, std::vector<int>(19, 99)), QString(38, '9') + QString(88, '0'));
    EXPECT_EQ(documented(true, 62, std::vector<int>(19, 99)), "-" + QString(38, '9') + QString(88, '0'));
    EXPECT_EQ(
        documented(false, 18, {12, 34, 56, 78, 90, 12, 34, 56, 78, 90, 12, 34, 56, 78, 90, 12, 34, 56, 78}),
        "12345678901234567890123456789012345678");
    // 1/3 to 40 digits: 20 digits, so a negative one has no terminator.
    EXPECT_EQ(documented(false, -1, std::vector<int>(20, 33)), "0." + QString(40, '3'));
    EXPECT_EQ(documented(true, -1, std::vector<int>(20, 33)), "-0." + QString(40, '3'));
    // Infinity: FF 65 and the lone 00.
    EXPECT_EQ(fromBytes({0xFF, 0x65}), "~");
    EXPECT_EQ(fromBytes({0x00}), "-~");
}

TEST(OciNumber, TheStandInsEncoderAndTheDecoderAgree)
{
    for (const char* text :
         {"0.5", "-0.5", "0.05", "0.000001", "12.25", "-12.25", "1000000", "7369", "2147483645",
          "12345678901234567890123456789012345678", "-99999999999999999999999999999999999999",
          "10000000000000000000000000000000000000", "1234567890.0987654321",
          "0.3333333333333333333333333333333333333333"}) {
        const QString v = QString::fromLatin1(text);
        EXPECT_EQ(roundTrip(v), v);
    }
    EXPECT_EQ(roundTrip("0"), "0");
    EXPECT_EQ(roundTrip("5.10"), "5.1");
    EXPECT_EQ(roundTrip("007"), "7");
    EXPECT_EQ(roundTrip("1e124"), "1" + QString(124, '0'));
    EXPECT_EQ(roundTrip("-1e-130"), "-0." + QString(129, '0') + "1");
    EXPECT_EQ(QByteArray::fromStdString(standin::encodeNumber("0.5")), QByteArray("\x02\xC0\x33", 3));
}

TEST(OciNumber, InvalidBytesGiveANullText)
{
    EXPECT_TRUE(oci::numberToText(nullptr, 22).isNull());
    EXPECT_TRUE(fromBytes({0xC1, 0xFF}).isNull());
    const unsigned char tooLong[3] = {30, 0xC1, 0x02};
    EXPECT_TRUE(oci::numberToText(tooLong, 3).isNull());
}

TEST(OciBinds, EachNameOnceInOrderOutsideQuotesAndComments)
{
    EXPECT_EQ(oci::placeholderNames(sql::synonymLookup().join('\n')), QStringList({"OWNER", "TABLE_NAME"}));
    EXPECT_EQ(oci::placeholderNames(sql::tableColumns().join('\n')),
              QStringList({"OWNER", "OWNER1", "TABLE_NAME"}));
    const QString tricky = "SELECT ':NOT' FROM X -- :NOR\nWHERE A = :a /* :NEITHER */ AND \":Q\" = :B";
    EXPECT_EQ(oci::placeholderNames(tricky), QStringList({"A", "B"}));
    // The stand-in's own scan finds the same.
    EXPECT_EQ(standin::scanSql(tricky.toStdString()).placeholders, (std::vector<std::string>{"A", "B"}));
    EXPECT_TRUE(oci::placeholderNames(sql::ownerList().join('\n')).isEmpty());
}

TEST(DbErrorCode, KeepsTheOldConstructorAndReadsTheOraNumber)
{
    EXPECT_EQ(DbError("ORA-01017: invalid username/password; logon denied").oraCode(), 1017);
    EXPECT_EQ(DbError("ORA-03113: end-of-file on communication channel", 0).oraCode(), 3113);
    EXPECT_EQ(DbError("text", 12154).oraCode(), 12154);
    EXPECT_EQ(DbError("no number").oraCode(), 0);
    EXPECT_EQ(DbError("no number").message(), "no number");
}

TEST(OciLoading, OverrideAloneIsSearchedWhenSet)
{
    ScopedEnv env(oci::kLibraryOverrideVariable, "/nonexistent/libclntsh.so");
    EXPECT_EQ(oci::libraryCandidates(), QStringList({"/nonexistent/libclntsh.so"}));
    OciDriver d;
    try {
        d.logon({"ORCL", "SCOTT", "tiger"});
        FAIL() << "logon without a library";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains("MORVANE_OCI_LIBRARY=/nonexistent/libclntsh.so"))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().contains("ファイルがありません")) << e.message().toStdString();
    }
    EXPECT_FALSE(d.isConnected());
}

#ifndef Q_OS_WIN
TEST(OciLoading, SearchFollowsLdLibraryPathThenOracleHome)
{
    ScopedEnv env;
    env.set(oci::kLibraryOverrideVariable, "");
    env.set("LD_LIBRARY_PATH", "/opt/a:/opt/b");
    env.set("ORACLE_HOME", "/u01/app/oracle/product/19c");
    const QStringList c = oci::libraryCandidates();
    ASSERT_GE(c.size(), 4);
    EXPECT_EQ(c.first(), "/opt/a/libclntsh.so");
    EXPECT_LT(c.indexOf("/opt/b/libclntsh.so"), c.indexOf("/u01/app/oracle/product/19c/lib/libclntsh.so"));
    EXPECT_TRUE(c.contains("/u01/app/oracle/product/19c/lib/libclntsh.so.19.1"));
    // The system's search last, with the versioned names that ldconfig registers.
    EXPECT_LT(c.indexOf("/u01/app/oracle/product/19c/lib/libclntsh.so.11.1"), c.indexOf("libclntsh.so"));
    EXPECT_TRUE(c.contains("libclntsh.so.19.1"));
    EXPECT_EQ(c.last(), "libclntsh.so.11.1");
}

TEST(OciLoading, EveryLoaderMessageIsKept)
{
    // Two names the system's search cannot load: both reasons reach the user.
    try {
        oci::loadApiFrom({"libmorvane-absent-a.so.1", "libmorvane-absent-b.so.1"});
        FAIL() << "loaded a library that does not exist";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains("libmorvane-absent-a.so.1")) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains("libmorvane-absent-b.so.1")) << e.message().toStdString();
    }
}

TEST(OciLoading, MissingClientNamesTheLibraryAndWhereItWasLooked)
{
    QTemporaryDir empty;
    ScopedEnv env;
    env.set(oci::kLibraryOverrideVariable, "");
    env.set("LD_LIBRARY_PATH", empty.path().toUtf8());
    env.set("ORACLE_HOME", "");
    try {
        oci::loadApi();
        GTEST_SKIP() << "an Oracle client is installed on this machine";
    } catch (const DbError& e) {
        const QString m = e.message();
        EXPECT_TRUE(m.contains("libclntsh.so")) << m.toStdString();
        EXPECT_TRUE(m.contains("LD_LIBRARY_PATH=" + empty.path())) << m.toStdString();
        EXPECT_TRUE(m.contains("ORACLE_HOME")) << m.toStdString();
        EXPECT_TRUE(m.contains("MORVANE_OCI_LIBRARY")) << m.toStdString();
    }
}
#endif

TEST(OciLoading, LibraryLackingAFunctionIsNamed)
{
    ScopedEnv env(oci::kLibraryOverrideVariable, StandIn::incompletePath().toUtf8());
    OciDriver d;
    try {
        d.logon(demoLogon());
        FAIL() << "logon on a library without OCIStmtFetch2";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains("OCIStmtFetch2")) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(StandIn::incompletePath())) << e.message().toStdString();
    }
}

TEST(OciLoading, StartUpWithoutClientShowsTheConnectionHelp)
{
    // What the start-up logon asks of the windows.
    struct Windows : ILogonWindows {
        bool askLogon(LogonPrompt&) override { return false; }
        void showConnectionHelp(const QString& message) override { help << message; }
        QStringList help;
    } windows;
    ScopedDataDir data;
    QTemporaryDir empty;
    ScopedEnv env(oci::kLibraryOverrideVariable, (empty.path() + "/libclntsh.so").toUtf8());
    Session session;
    session.settings.U_LogOn = "tiger";
    session.settings.LAST_ALIAS = "ORCL";
    session.state.LogonUser = "SCOTT";
    TDataModule2 dm(session);
    dm.logonWindows = &windows;
    RecordingMessages messages;
    dm.DataModule2Create();
    ASSERT_EQ(windows.help.size(), 1);
    EXPECT_TRUE(windows.help[0].contains("libclntsh")) << windows.help[0].toStdString();
    EXPECT_TRUE(session.terminationRequested);
    EXPECT_FALSE(dm.Database1_ADO.isOpen());
}

// --- On the stand-in: what the driver asks of the client library -----------

namespace {

class OciOnStandIn : public ::testing::Test {
protected:
    static int errorCodeOf(OciDriver& d, const QString& sql)
    {
        try {
            d.query(sql, {});
        } catch (const DbError& e) {
            return e.oraCode();
        }
        return 0;
    }
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        createDemoDictionary(dir.filePath("DEMO.db"));
        use = std::make_unique<UseStandIn>(dir.path());
        ASSERT_TRUE(StandIn::get().ok());
    }
    QTemporaryDir dir;
    std::unique_ptr<UseStandIn> use;
};

} // namespace

TEST_F(OciOnStandIn, SysLogsOnAsSysdbaOthersWithoutIt)
{
    {
        OciDriver d;
        d.logon({"DEMO", "sys", "DEMO"});
        EXPECT_TRUE(d.isConnected());
        EXPECT_EQ(StandIn::get().stats()->sessionMode & oci::SYSDBA, oci::SYSDBA);
        EXPECT_EQ(d.libraryPath(), StandIn::path());
    }
    setEmbeddedAccount(dir.filePath("DEMO.db"), "SCOTT", "tiger");
    OciDriver d;
    d.logon({"DEMO", "SCOTT", "tiger"});
    EXPECT_EQ(StandIn::get().stats()->sessionMode & oci::SYSDBA, 0u);
}

TEST_F(OciOnStandIn, ClientCharacterSetIsAl32Utf8WhateverNlsLang)
{
    ScopedEnv env("NLS_LANG", "JAPANESE_JAPAN.JA16SJIS");
    OciDriver d;
    d.logon(demoLogon());
    EXPECT_EQ(StandIn::get().stats()->envCharset, 873);
    EXPECT_EQ(StandIn::get().stats()->envNcharset, 873);
}

TEST_F(OciOnStandIn, ALogonWithAWarningSucceeds)
{
    StandIn::get().logonWarning(28002);
    OciDriver d;
    EXPECT_NO_THROW(d.logon(demoLogon()));
    EXPECT_TRUE(d.isConnected());
    EXPECT_TRUE(d.logonWarning().startsWith("ORA-28002")) << d.logonWarning().toStdString();
    EXPECT_FALSE(d.query(sql::ownerList().join('\n'), {}).rows.isEmpty());
}

TEST_F(OciOnStandIn, EasyConnectStringsAndAliasesGoAsTyped)
{
    OciDriver d;
    EXPECT_NO_THROW(d.logon({"dbhost.example.com:1521/DEMO", "SYS", "DEMO"}));
    EXPECT_TRUE(d.isConnected());
}

TEST_F(OciOnStandIn, EveryHandleIsFreedAfterLogoff)
{
    const int before = StandIn::get().stats()->openHandles;
    {
        OciDriver d;
        d.logon(demoLogon());
        d.query(sql::catalogAllObjects().join('\n'), {{"OWNER", "SCOTT"}});
        EXPECT_THROW(d.query("SELECT * FROM NOWHERE", {}), DbError);
        EXPECT_GT(StandIn::get().stats()->openHandles, before);
    }
    EXPECT_EQ(StandIn::get().stats()->openHandles, before);
}

TEST_F(OciOnStandIn, TheWholeProgramSequenceMatchesTheEmbeddedEngine)
{
    SqliteDriver embedded(dir.filePath("DEMO.db"));
    embedded.logon(demoLogon());
    OciDriver d;
    d.setFetchRows(3);
    d.logon(demoLogon());
    const BindList ownerEmp = {{"OWNER", "SCOTT"}, {"TABLE_NAME", "EMP"}};
    const QVector<QPair<QStringList, BindList>> statements = {
        {sql::ownerList(), {}},
        {sql::catalogTableList("SCOTT", "TABLE_NAME"), {}},
        {sql::catalogAllObjects(), {{"OWNER", "SALES"}}},
        {sql::catalogTablesOnly(), {{"OWNER", "HR"}}},
        {sql::adjustColumnWidths(), {}},
        {sql::countRows(2), ownerEmp},
        {sql::countRows(6), ownerEmp},
        {sql::synonymLookup(), {{"OWNER", "SALES"}, {"TABLE_NAME", "STAFF"}}},
        {sql::tables(), ownerEmp},
        {sql::indexes(), ownerEmp},
        {sql::indexColumns(),
         {{"OWNER1", "SCOTT"},
          {"OWNER2", "SCOTT"},
          {"OWNER3", "SCOTT"},
          {"TABLE_NAME1", "EMP"},
          {"TABLE_NAME2", "EMP"}}},
        {sql::views(), {{"OWNER", "SALES"}, {"TABLE_NAME", "V_ORDER_LIST"}}},
        {sql::tableColumns(), {{"OWNER", "SCOTT"}, {"OWNER1", "SCOTT"}, {"TABLE_NAME", "EMP"}}},
    };
    for (const auto& [lines, binds] : statements) {
        const QString text = lines.join('\n');
        const ResultSet want = embedded.query(text, binds);
        const ResultSet got = d.query(text, binds);
        ASSERT_EQ(got.columns.size(), want.columns.size()) << text.toStdString();
        for (int c = 0; c < want.columns.size(); ++c) {
            EXPECT_EQ(got.columns[c].name, want.columns[c].name) << text.toStdString();
            EXPECT_EQ(got.columns[c].numeric, want.columns[c].numeric) << text.toStdString();
        }
        EXPECT_EQ(got.rows, want.rows) << text.toStdString();
    }
}

TEST_F(OciOnStandIn, LogonDetailsAServerInsistsOn)
{
    // An environment created with information is usable.
    StandIn::get().envInfo(1);
    {
        OciDriver d;
        EXPECT_NO_THROW(d.logon({"DEMO", " sys ", "DEMO"}));
        EXPECT_TRUE(d.isConnected());
        // The blanks are gone from the name that was sent, and SYS went as SYSDBA.
        EXPECT_EQ(StandIn::get().stats()->sessionMode & oci::SYSDBA, oci::SYSDBA);
        d.execute(sql::analyzeTable("SCOTT", "EMP"), {});
    }
    // Ending the session would commit: it was rolled back first.
    EXPECT_EQ(StandIn::get().stats()->rollbacks, 1);
    EXPECT_EQ(StandIn::get().stats()->sessionEndsWithoutRollback, 0);
}

TEST_F(OciOnStandIn, ASessionTheServerEndedReportsItselfDisconnected)
{
    struct Case {
        int code;
        bool dead;
    };
    const Case cases[] = {{22, true},    {28, true},    {31, true},    {45, true},    {378, true},
                          {602, true},   {603, true},   {609, true},   {1012, true},  {1041, true},
                          {1043, true},  {1089, true},  {1092, true},  {2396, true},  {3113, true},
                          {3122, true},  {3135, true},  {12153, true}, {12537, true}, {12547, true},
                          {12570, true}, {12583, true}, {27146, true}, {28511, true}, {56600, true},
                          {1013, false}, {1722, false}};
    OciDriver d;
    d.setFetchRows(2);
    for (const Case& c : cases) {
        d.logon(demoLogon());
        StandIn::get().fetchFailure(c.code, c.dead);
        StandIn::get().dropAfterFetches(1);
        try {
            d.query(sql::catalogAllObjects().join('\n'), {{"OWNER", "SCOTT"}});
            ADD_FAILURE() << "no error for ORA-" << c.code;
        } catch (const DbError& e) {
            EXPECT_EQ(e.oraCode(), c.code);
        }
        EXPECT_EQ(d.isConnected(), !c.dead) << "ORA-" << c.code;
    }
    // The next logon starts afresh.
    d.logon(demoLogon());
    EXPECT_FALSE(d.query(sql::ownerList().join('\n'), {}).rows.isEmpty());
}

TEST_F(OciOnStandIn, APasswordAboutToExpireIsShownOnceAtLogon)
{
    // A service with no embedded dictionary of its own goes to the Oracle client.
    ScopedDataDir data;
    createDemoDictionary(dir.filePath("ORCL.db"));
    StandIn::get().logonWarning(28002);
    Session session;
    TDataModule2 dm(session);
    RecordingMessages messages;
    logOnDemo(dm, "ORCL");
    EXPECT_TRUE(dm.Database1_ADO.isOpen());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Warning);
    EXPECT_TRUE(messages.shown[0].text.startsWith(QStringLiteral("パスワードの有効期限が近づいています。")));
    EXPECT_TRUE(messages.shown[0].text.contains("ORA-28002")) << messages.shown[0].text.toStdString();
    // Queries after it show nothing more.
    dm.AdjustColumnWidths();
    EXPECT_EQ(messages.shown.size(), 1);
}

TEST_F(OciOnStandIn, TheStandInKeepsOraclesLimits)
{
    // What SQLite would run but a server refuses must fail here as well.
    OciDriver d;
    d.logon(demoLogon());
    QString wide = "SELECT USERNAME AS C0";
    for (int i = 1; i <= 1000; ++i)
        wide += QStringLiteral(", USERNAME AS C%1").arg(i);
    EXPECT_EQ(errorCodeOf(d, wide + " FROM ALL_USERS"), 1792);
    EXPECT_EQ(errorCodeOf(d, "SELECT USERNAME AS " + QString(129, 'N') + " FROM ALL_USERS"), 972);
    EXPECT_EQ(errorCodeOf(d, "SELECT '" + QString(4001, 'x') + "' AS T FROM ALL_USERS"), 1704);
    EXPECT_EQ(errorCodeOf(d, "SELECT USERNAME AS " + QString(128, 'N') + " FROM ALL_USERS"), 0);
}

TEST_F(OciOnStandIn, JapaneseTextArrivesWholeFromEveryDatabaseCharacterSet)
{
    SqliteDriver embedded(dir.filePath("DEMO.db"));
    embedded.logon(demoLogon());
    const QString text = sql::tableColumns().join('\n');
    const BindList binds = {{"OWNER", "SALES"}, {"OWNER1", "SALES"}, {"TABLE_NAME", "CUSTOMER"}};
    const ResultSet want = embedded.query(text, binds);
    for (const char* charset : {"JA16SJIS", "JA16EUC", "AL32UTF8"}) {
        ASSERT_EQ(StandIn::get().databaseCharset(charset), 1);
        OciDriver d;
        d.logon(demoLogon());
        EXPECT_EQ(d.query(text, binds).rows, want.rows) << charset;
    }
}
