// The CSV export on the demo dictionary: bytes read back from the file, the
// question and the opener, the temporary folder's safety, the end steps.
#include "core/Cp932.h"
#include "app/MainWindow.h"
#include "core/Platform.h"
#include "core/Winplace.h"
#include "database/DataModule.h"
#include "output/CsvExport.h"
#include "support/MainWindowParts.h"
#include "support/FakePlatform.h"
#include "support/ScriptedDialogs.h"
#include "support/ScopedDataDir.h"
#include "tablelist/TableListWindow.h"
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace morvane;
using namespace morvane::test;

namespace {

class CsvExportTest : public ::testing::Test, protected MainWindowParts {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        oldTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", tmp.path().toUtf8());
        // The byte checks below read CP932; the other choices have a test of their own.
        session.settings.CSV_ENCODING = "CP932";
        logOn();
        dm.AdjustColumnWidths();
        showWithOwner("SCOTT");
        previousOpener = output::setFileOpener([this](const QString& path) {
            opened << path;
            return true;
        });
    }
    void TearDown() override
    {
        output::setFileOpener(previousOpener);
        qputenv("TMPDIR", oldTmp);
    }

    void load(const QString& table)
    {
        session.settings.LAST_OWNER = "SCOTT";
        session.state.TableName = table;
        session.state.TableType = "TABLE";
        ASSERT_TRUE(dm.LoadTableDictionary());
    }
    QString folder() const { return tmp.path() + QStringLiteral("/morvane-%1").arg(getuid()); }
    QString exportPath(const QString& name) const
    {
        return folder() + "/" + QStringLiteral("ＤＢ仕様書（") + name + QStringLiteral("）.CSV");
    }
    static QByteArray bytes(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    // Lines of a CP932 file, each without its CR LF; the last element is what follows the last CR LF.
    static QStringList cp932Lines(const QString& path) { return cp932::decode(bytes(path)).split("\r\n"); }
    void setComment(const QString& table, const QString& column, const QString& comment)
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(data.path() + "/DEMO.db").constData(), &db), SQLITE_OK);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db,
                           "UPDATE ALL_COL_COMMENTS SET COMMENTS = ?1 WHERE OWNER = 'SCOTT' "
                           "AND TABLE_NAME = ?2 AND COLUMN_NAME = ?3",
                           -1, &st, nullptr);
        const QByteArray c = comment.toUtf8(), t = table.toUtf8(), n = column.toUtf8();
        sqlite3_bind_text(st, 1, c.constData(), c.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, t.constData(), t.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 3, n.constData(), n.size(), SQLITE_TRANSIENT);
        EXPECT_EQ(sqlite3_step(st), SQLITE_DONE);
        sqlite3_finalize(st);
        sqlite3_close(db);
    }
    // Opens the table list and presses its export button on the given row.
    void exportTableList(int row, int* currentAfter = nullptr)
    {
        dialogs.handlers.push_back([=](QDialog& d) {
            auto& list = dynamic_cast<TF_Table&>(d);
            list.FormShow(); // what showing the window does
            dm.AQ_Catalog.gotoBookmark(row);
            list.BitBtn1->click();
            if (currentAfter)
                *currentAfter = list.DBGrid1->currentIndex().row() * 100 + dm.AQ_Catalog.currentRow();
            return int(QDialog::Rejected);
        });
        main.BitBtn2Click();
    }

    QTemporaryDir tmp;
    QByteArray oldTmp;
    QStringList opened;
    output::FileOpener previousOpener;
};

} // namespace

TEST_F(CsvExportTest, ColumnListOfThreeColumns)
{
    load("DEPT");
    messages.answers.push_back(MessageResult::No);
    main.BitBtn1Click();
    const QByteArray raw = bytes(exportPath("DEPT"));
    EXPECT_FALSE(raw.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(raw.endsWith("\r\n"));
    EXPECT_EQ(raw.count("\r\n"), 4);
    EXPECT_EQ(raw.count('\n'), 4); // no bare line feeds
    const QStringList lines = cp932Lines(exportPath("DEPT"));
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], "\"COLUMN_ID\",\"COLUMN_NAME\",\"COMMENTS\",\"DATA_TYPE\",\"DATA_LENGTH\","
                        "\"DATA_PRECISION\",\"DATA_SCALE\",\"NULLABLE\",\"DEFAULT_LENGTH\",");
    EXPECT_EQ(lines[1], "\"1\",\"DEPTNO\",\"部門番号\",\"NUMBER\",\"22\",\"2\",\"0\",\"N\",\"\",");
    // A text column has no precision, scale or default length: empty items.
    EXPECT_EQ(lines[2], "\"2\",\"DNAME\",\"部門名\",\"VARCHAR2\",\"14\",\"\",\"\",\"Y\",\"\",");
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(lines[i].count("\","), 9) << i;
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(dm.Tag, SlotTabCols);

    // The question, its three texts joined LF CR LF CR; No opens nothing.
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Confirmation);
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(messages.shown[0].text,
              "データ出力が正常に終了しました。Ｅｘｃｅｌを起動しますか？\n\r\n\r"
              "Ｅｘｃｅｌが終了されている事を確認して下さい。\n\r\n\r"
              "もしＥｘｃｅｌが起動されない場合は、拡張子の関連付けを確認して下さい。");
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_FALSE(platform::isBusyCursor());
    EXPECT_EQ(dm.AQ_Tab_Cols.currentRow(), 0);
    EXPECT_FALSE(dm.AQ_Tab_Cols.controlsDisabled());

    // Yes hands the file itself to the opener.
    messages.answers.push_back(MessageResult::Yes);
    main.BitBtn1Click();
    EXPECT_EQ(opened, QStringList({exportPath("DEPT")}));
}

TEST_F(CsvExportTest, TableListWritesThreeItemsAndReplacesTheColumnList)
{
    load("DEPT");
    main.BitBtn1Click();
    ASSERT_TRUE(bytes(exportPath("DEPT")).contains("DEPTNO"));
    int current = -1;
    exportTableList(3, &current);
    // Grid and query back on the first row after the export.
    EXPECT_EQ(current, 0);
    EXPECT_EQ(dm.Tag, SlotCatalog);
    const QStringList lines = cp932Lines(exportPath("DEPT"));
    EXPECT_EQ(lines[0], "\"OWNER\",\"テーブル名\",\"テーブルコメント\",");
    EXPECT_EQ(lines[1],
              "\"SCOTT\",\"BONUS\",\"賞与実績（統計情報未取得）\","); // type, then name: BONUS leads
    EXPECT_FALSE(lines.join("").contains("DEPTNO"));
    EXPECT_FALSE(lines.join("").contains("TABLE\""));
    EXPECT_FALSE(lines.join("").contains("VIEW\""));
    for (int i = 0; i + 1 < lines.size(); ++i)
        EXPECT_EQ(lines[i].count("\","), 3) << lines[i].toStdString();
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files).size(), 1);
}

TEST_F(CsvExportTest, TableListWithoutAChosenTableNamesTheFileByTheEmptyName)
{
    ASSERT_TRUE(session.state.TableName.isEmpty());
    exportTableList(0);
    EXPECT_TRUE(QFileInfo(folder() + "/ＤＢ仕様書（）.CSV").isFile());

    // A name with path separators names a file in the export folder, not a folder.
    session.state.TableName = "../A/B";
    exportTableList(0);
    EXPECT_TRUE(QFileInfo(folder() + "/ＤＢ仕様書（.._A_B）.CSV").isFile());
    EXPECT_TRUE(messages.texts().filter("作成できません").isEmpty())
        << messages.texts().join("|").toStdString();
}

TEST_F(CsvExportTest, APlantedLinkIsReplacedNotFollowed)
{
    load("DEPT");
    QTemporaryDir elsewhere;
    const QString victim = elsewhere.filePath("victim.txt");
    {
        QFile f(victim);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("precious");
    }
    ASSERT_EQ(mkdir(QFile::encodeName(folder()).constData(), 0700), 0);
    ASSERT_TRUE(QFile::link(victim, exportPath("DEPT")));
    main.BitBtn1Click();
    EXPECT_EQ(bytes(victim), "precious");
    EXPECT_FALSE(QFileInfo(exportPath("DEPT")).isSymLink());
    EXPECT_TRUE(bytes(exportPath("DEPT")).contains("DEPTNO"));
}

TEST_F(CsvExportTest, AFolderThatIsNotTheUsersOwnIsPassedOverForAPrivateOne)
{
    load("DEPT");
    QTemporaryDir elsewhere;
    // Someone put a link to another folder where our folder belongs.
    ASSERT_TRUE(QFile::link(elsewhere.path(), folder()));
    messages.answers.push_back(MessageResult::Yes);
    runGuarded([this] { main.BitBtn1Click(); });
    ASSERT_EQ(messages.shown.size(), 1); // only the question
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Confirmation);
    EXPECT_TRUE(QDir(elsewhere.path()).entryList(QDir::Files).isEmpty());
    ASSERT_EQ(opened.size(), 1);
    const QFileInfo written(opened[0]);
    EXPECT_TRUE(written.fileName() == QStringLiteral("ＤＢ仕様書（DEPT）.CSV"));
    EXPECT_TRUE(written.path().startsWith(folder() + "-")) << written.path().toStdString();
    struct stat st { };
    ASSERT_EQ(lstat(QFile::encodeName(written.path()).constData(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_TRUE(bytes(opened[0]).contains("DEPTNO"));
    // The same private folder serves the next export of the run.
    main.BitBtn1Click();
    EXPECT_EQ(QFileInfo(opened.last()).path(), written.path());

    // A folder of our own with loose permissions is tightened and used.
    QFile::remove(folder());
    ASSERT_EQ(mkdir(QFile::encodeName(folder()).constData(), 0777), 0);
    chmod(QFile::encodeName(folder()).constData(), 0777);
    main.BitBtn1Click();
    ASSERT_EQ(stat(QFile::encodeName(folder()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_TRUE(QFileInfo(exportPath("DEPT")).isFile());
}

TEST_F(CsvExportTest, EncodingFollowsTheStoredChoice)
{
    load("DEPT");
    struct Case {
        const char* setting;
        bool bom;
    } cases[] = {
        {"", true}, // automatic: Unicode, which the Linux spreadsheets open by double-click
        {"UTF-8", true},
        {"CP932", false},
        {"other", true},
    };
    for (const Case& c : cases) {
        session.settings.CSV_ENCODING = c.setting;
        main.BitBtn1Click();
        const QByteArray raw = bytes(exportPath("DEPT"));
        EXPECT_EQ(raw.startsWith("\xEF\xBB\xBF"), c.bom) << c.setting;
        const QString text = c.bom ? QString::fromUtf8(raw.mid(3)) : cp932::decode(raw);
        EXPECT_TRUE(text.contains("\"2\",\"DNAME\",\"部門名\",")) << c.setting;
    }
    // CP932 chosen, a text outside it: the file turns Unicode rather than lose it.
    setComment("DEPT", "LOC", QStringLiteral("한국"));
    load("DEPT");
    session.settings.CSV_ENCODING = "CP932";
    main.BitBtn1Click();
    EXPECT_TRUE(QString::fromUtf8(bytes(exportPath("DEPT"))).contains(QStringLiteral("\"한국\",")));
}

TEST_F(CsvExportTest, AFileThatCannotBeCreatedReportsItsPathAndEndsCleanly)
{
    load("DEPT");
    dm.AQ_Tab_Cols.last();
    // A folder where the file should go: neither delete nor create can take its place.
    ASSERT_TRUE(QDir().mkpath(exportPath("DEPT")));
    runGuarded([this] { main.BitBtn1Click(); });
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Application);
    EXPECT_TRUE(messages.shown[0].text.contains(exportPath("DEPT"))) << messages.shown[0].text.toStdString();
    EXPECT_FALSE(platform::isBusyCursor());
    EXPECT_EQ(dm.AQ_Tab_Cols.currentRow(), 0);
    EXPECT_FALSE(dm.AQ_Tab_Cols.controlsDisabled());
    EXPECT_TRUE(opened.isEmpty());

    // The temporary folder itself cannot be made (its parent is a file).
    const QString file = tmp.path() + "/plain-file";
    QFile(file).open(QIODevice::WriteOnly);
    qputenv("TMPDIR", file.toUtf8());
    messages.shown.clear();
    runGuarded([this] { main.BitBtn1Click(); });
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.contains(file)) << messages.shown[0].text.toStdString();
}
