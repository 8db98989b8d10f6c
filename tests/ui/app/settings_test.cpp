// The settings store: names, order, encodings, defaults and failures.
#include "app/MainWindow.h"
#include "core/Cp932.h"
#include "core/Winplace.h"
#include "support/FakePlatform.h"
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace morvane;
using namespace morvane::test;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    // A file of its own per write: the store caches files by name and time.
    QString path() const { return dir.path() + QStringLiteral("/Velkram/Morvane%1.conf").arg(generation); }
    void writeRaw(const QByteArray& text)
    {
        ++generation;
        QDir().mkpath(dir.path() + "/Velkram");
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    AppSettings load()
    {
        AppSettings s;
        SettingsStore(path()).load(s, "TF_Main");
        return s;
    }
    QTemporaryDir dir;
    RecordingMessages messages;
    int generation = 0;
};

} // namespace

TEST_F(SettingsTest, SectionIsTheMainWindowsClassName)
{
    EXPECT_EQ(sectionNameOf(TF_Main::staticMetaObject.className()), "TF_Main");
}

TEST_F(SettingsTest, FirstRunGivesDefaults)
{
    const AppSettings s = load();
    EXPECT_TRUE(s.LAST_OWNER.isEmpty());
    EXPECT_TRUE(s.U_LogOn.isEmpty());
    EXPECT_FALSE(s.UserSet);
    EXPECT_FALSE(s.UserSet2);
    EXPECT_EQ(s.MaxPageRow, 55);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(SettingsTest, IntegersAndBooleansFromStoredText)
{
    struct Case {
        const char* stored;
        int maxPageRow;
        bool userSet;
    } cases[] = {{"0", 55, false}, {"", 55, false},    {"abc", 55, false},
                 {"-3", -3, true}, {"120", 120, true}, {"99999999999999", 55, false},
                 {"2", 2, true},   {"1", 1, true},     {" 7 ", 7, true}};
    for (const Case& c : cases) {
        writeRaw(QByteArray("[TF_Main]\nMaxPageRow=") + c.stored + "\nUserSet=" + c.stored + "\n");
        const AppSettings s = load();
        EXPECT_EQ(s.MaxPageRow, c.maxPageRow) << c.stored;
        EXPECT_EQ(s.UserSet, c.userSet) << c.stored;
    }
}

TEST_F(SettingsTest, SaveWritesEveryValueAsTextAndLoadRestoresIt)
{
    AppSettings s;
    s.LAST_OWNER = "SCOTT";
    s.PRINT_NAME = "山田 太郎";
    s.UserSet = true;
    s.U_SetOwner = "HR\r\n\r\nSALES\r\n";
    s.U_LogOn = "pa ss;word=1;";
    s.MaxPageRow = -3;
    s.LAST_ALIAS = "DEMO";
    s.UserSet2 = false;
    s.CSV_ENCODING = "UTF-8";
    ASSERT_TRUE(SettingsStore(path()).save(s, "TF_Main"));

    QSettings raw(path(), QSettings::IniFormat);
    raw.beginGroup("TF_Main");
    EXPECT_EQ(raw.value("UserSet").toString(), "1");
    EXPECT_EQ(raw.value("UserSet2").toString(), "0");
    EXPECT_EQ(raw.value("MaxPageRow").toString(), "-3");
    EXPECT_EQ(raw.childKeys().size(), 9); // the eight, and the CSV encoding

    const AppSettings back = load();
    EXPECT_EQ(back.LAST_OWNER, s.LAST_OWNER);
    EXPECT_EQ(back.PRINT_NAME, s.PRINT_NAME);
    EXPECT_EQ(back.U_SetOwner, s.U_SetOwner);
    EXPECT_EQ(back.U_LogOn, s.U_LogOn);
    EXPECT_EQ(back.MaxPageRow, -3);
    EXPECT_TRUE(back.UserSet);
    EXPECT_EQ(back.LAST_ALIAS, "DEMO");
    EXPECT_EQ(back.CSV_ENCODING, "UTF-8");
    // Empty texts are written too.
    AppSettings empty;
    ASSERT_TRUE(SettingsStore(path()).save(empty, "TF_Main"));
    EXPECT_TRUE(load().LAST_OWNER.isEmpty());
}

TEST_F(SettingsTest, StoredPasswordFileIsOwnerOnly)
{
    AppSettings s;
    s.U_LogOn = "SECRET";
    ASSERT_TRUE(SettingsStore(path()).save(s, "TF_Main"));
    const auto perms = QFileInfo(path()).permissions();
    EXPECT_FALSE(perms & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther));
    EXPECT_TRUE(perms & QFile::ReadOwner);
}

// A value stored as a list (an unquoted comma) is bad: it alone keeps its
// default, every other value is read, and the save keeps what the file held
// for a bad value the run left alone, with a copy of the file before it.
TEST_F(SettingsTest, ABadValueKeepsItsDefaultAloneAndItsStoredFormAcrossASave)
{
    const QByteArray original = "[TF_Main]\nLAST_OWNER=SCOTT, HR\nPRINT_NAME=YAMADA\nUserSet=1, 2\n"
                                "U_LogOn=PW\nMaxPageRow=40\nLAST_ALIAS=DEMO\n";
    writeRaw(original);
    SettingsStore store(path());
    AppSettings s;
    store.load(s, "TF_Main");
    EXPECT_TRUE(s.LAST_OWNER.isEmpty());
    EXPECT_FALSE(s.UserSet);
    EXPECT_EQ(s.PRINT_NAME, "YAMADA");
    EXPECT_EQ(s.U_LogOn, "PW");
    EXPECT_EQ(s.MaxPageRow, 40);
    EXPECT_EQ(s.LAST_ALIAS, "DEMO");
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, "'LAST_OWNER' のデータ型が不正です\n\r'UserSet' のデータ型が不正です");
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Application);

    s.UserSet = true; // the user changed one of the two
    ASSERT_TRUE(store.save(s, "TF_Main"));
    QSettings raw(path(), QSettings::IniFormat);
    raw.beginGroup("TF_Main");
    EXPECT_EQ(raw.value("LAST_OWNER").toStringList(), QStringList({"SCOTT", "HR"}));
    EXPECT_EQ(raw.value("UserSet").toString(), "1");
    EXPECT_EQ(raw.value("U_LogOn").toString(), "PW");
    EXPECT_EQ(raw.value("LAST_ALIAS").toString(), "DEMO");
    EXPECT_EQ(raw.value("MaxPageRow").toString(), "40");
    QFile bak(path() + ".bak");
    ASSERT_TRUE(bak.open(QIODevice::ReadOnly));
    EXPECT_EQ(bak.readAll(), original);
}

// A file saved by hand in CP932 ("表" ends in a backslash byte there).
TEST_F(SettingsTest, AHandSavedCp932FileIsReadAsCp932)
{
    writeRaw(cp932::encode("[TF_Main]\nPRINT_NAME=表 太郎\nU_SetOwner=販売\nLAST_ALIAS=DEMO\n"));
    SettingsStore store(path());
    AppSettings s;
    store.load(s, "TF_Main");
    EXPECT_EQ(s.PRINT_NAME, "表 太郎");
    EXPECT_EQ(s.U_SetOwner, "販売");
    EXPECT_EQ(s.LAST_ALIAS, "DEMO");
    EXPECT_TRUE(messages.shown.isEmpty());
    ASSERT_TRUE(store.save(s, "TF_Main"));
    EXPECT_EQ(load().PRINT_NAME, "表 太郎");
}

TEST_F(SettingsTest, GarbageFileLoadsDefaultsWithoutCrashing)
{
    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk.append(static_cast<char>((i * 7919) % 256));
    writeRaw(junk);
    const AppSettings s = load();
    EXPECT_EQ(s.MaxPageRow, 55);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.contains("読み込めません"));
    AppSettings next;
    next.LAST_OWNER = "HR";
    EXPECT_TRUE(SettingsStore(path()).save(next, "TF_Main"));
    EXPECT_EQ(load().LAST_OWNER, "HR");
    // The unreadable file is kept aside, not lost.
    QFile old(path() + ".bak");
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), junk);
}

TEST_F(SettingsTest, UnwritableFolderIsReportedAndSaveReturns)
{
    // A plain file where the settings folder should be: no user, root included, can write there.
    QFile blocker(dir.path() + "/blocker");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    AppSettings s;
    s.LAST_OWNER = "SCOTT";
    EXPECT_FALSE(SettingsStore(dir.path() + "/blocker/Velkram/Morvane.conf").save(s, "TF_Main"));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, "キー TF_Main の作成に失敗しました");
}
