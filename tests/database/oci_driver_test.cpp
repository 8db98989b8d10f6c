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
#include "support/OciStandInHarness.h"
#include "support/ScopedDataDir.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace morvane;
using namespace morvane::test;

namespace {

QString fromBytes(std::initializer_list<int> bytes)
{
    QByteArray b;
    b.append(char(bytes.size()));
    for (int v : bytes)
        b.append(char(v));
    b.resize(oci::NUMBER_SIZE);
    return oci::numberToText(reinterpret_cast<const unsigned char*>(b.constData()), b.size());
}

QString roundTrip(const QString& decimal)
{
    const QByteArray b = oci::textToNumber(decimal);
    return oci::numberToText(reinterpret_cast<const unsigned char*>(b.constData()), b.size());
}

} // namespace

TEST(OciNumber, KnownInternalFormsReadAsPlainDecimals)
{
    EXPECT_EQ(fromBytes({0x80}), "0");
    EXPECT_EQ(fromBytes({0xC1, 0x02}), "1");
    EXPECT_EQ(fromBytes({0xC1, 0x06}), "5");
    EXPECT_EQ(fromBytes({0xC2, 0x02}), "100");
    EXPECT_EQ(fromBytes({0xC0, 0x33}), "0.5");
    EXPECT_EQ(fromBytes({0xC4, 0x0D, 0x23, 0x39, 0x4F}), "12345678");
    EXPECT_EQ(fromBytes({0x3B, 0x59, 0x43, 0x2D, 0x17, 0x66}), "-12345678");
    EXPECT_EQ(fromBytes({0x3E, 0x64, 0x66}), "-1");
}

TEST(OciNumber, TextRoundTripsWholeWithoutExponentOrGrouping)
{
    for (const char* text : {"0.5", "-0.5", "0.05", "0.000001", "12.25", "-12.25", "1000000", "7369", "2147483645",
                             "12345678901234567890123456789012345678", "-99999999999999999999999999999999999999",
                             "10000000000000000000000000000000000000", "1234567890.0987654321"}) {
        const QString v = QString::fromLatin1(text);
        EXPECT_EQ(roundTrip(v), v);
    }
    EXPECT_EQ(roundTrip("0"), "0");
    EXPECT_EQ(roundTrip("5.10"), "5.1");
    EXPECT_EQ(roundTrip("007"), "7");
    const QByteArray b = oci::textToNumber("0.5");
    EXPECT_EQ(b.left(3), QByteArray("\x02\xC0\x33", 3));
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
    EXPECT_EQ(oci::placeholderNames(sql::tableColumns().join('\n')), QStringList({"OWNER", "OWNER1", "TABLE_NAME"}));
    EXPECT_EQ(oci::placeholderNames("SELECT ':NOT' FROM X -- :NOR\nWHERE A = :a /* :NEITHER */ AND \":Q\" = :B"),
              QStringList({"A", "B"}));
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
        EXPECT_TRUE(e.message().contains("MORVANE_OCI_LIBRARY=/nonexistent/libclntsh.so")) << e.message().toStdString();
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
    EXPECT_EQ(c.last(), "libclntsh.so");
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
        d.logon({"DEMO", "SYS", "DEMO"});
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
    d.logon({"DEMO", "SYS", "DEMO"});
    EXPECT_EQ(StandIn::get().stats()->envCharset, 873);
    EXPECT_EQ(StandIn::get().stats()->envNcharset, 873);
}

TEST_F(OciOnStandIn, ALogonWithAWarningSucceeds)
{
    StandIn::get().logonWarning(28002);
    OciDriver d;
    EXPECT_NO_THROW(d.logon({"DEMO", "SYS", "DEMO"}));
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
        d.logon({"DEMO", "SYS", "DEMO"});
        d.query(sql::catalogAllObjects().join('\n'), {{"OWNER", "SCOTT"}});
        EXPECT_THROW(d.query("SELECT * FROM NOWHERE", {}), DbError);
        EXPECT_GT(StandIn::get().stats()->openHandles, before);
    }
    EXPECT_EQ(StandIn::get().stats()->openHandles, before);
}

TEST_F(OciOnStandIn, TheWholeProgramSequenceMatchesTheEmbeddedEngine)
{
    SqliteDriver embedded(dir.filePath("DEMO.db"));
    embedded.logon({"DEMO", "SYS", "DEMO"});
    OciDriver d;
    d.setFetchRows(3);
    d.logon({"DEMO", "SYS", "DEMO"});
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
        {sql::indexColumns(), {{"OWNER1", "SCOTT"}, {"OWNER2", "SCOTT"}, {"OWNER3", "SCOTT"},
                               {"TABLE_NAME1", "EMP"}, {"TABLE_NAME2", "EMP"}}},
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
