// morvane-doc over a dictionary with unusual content: names as long as
// Oracle allows, names that collide as file names or hold control characters,
// a synonym chain, comments beyond the old buffers and outside CP932; and a
// settings file it cannot read.
#include "database/embedded/DemoDictionary.h"
#include "output/DocRender.h"
#include "output/DocRenderCli.h"
#include "support/DocRun.h"
#include "support/ScopedDataDir.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace morvane;
using namespace morvane::output;

namespace {

const QString kLongName = QString(128, QChar('L'));                // 128 bytes
const QString kWideName = QString(30, QChar(0x8868));              // 30 × "表"
const QString kLongComment = QString(1333, QChar(0x8AAC)) + "END"; // 4,002 bytes in UTF-8
const QString kMixedComment = QString::fromUtf8("社員 사원 \xF0\xA0\xAE\xB7野家");

class OddDictionary {
public:
    OddDictionary()
    {
        path = data.path() + "/ODD.db";
        createDemoDictionary(path);
        EXPECT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
        exec("INSERT INTO ALL_USERS (USERNAME, USER_ID, CREATED) VALUES ('ODD', 90, '2024-01-01')");
        table("A/B", "slash");
        table("A_B", "underscore");
        table(kLongName, "long name");
        table(kWideName, "wide name");
        table("LONG_COMMENT", kLongComment);
        table("MIXED", kMixedComment);
        table("BAD\nNAME\x1b[31m", "control characters");
        synonym("S_CHAIN", "S_TARGET");
        synonym("S_TARGET", "A_B");
        sqlite3_close(db);
    }

    void exec(const QString& sql, const QStringList& values = {})
    {
        sqlite3_stmt* st = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr), SQLITE_OK)
            << sqlite3_errmsg(db);
        for (int i = 0; i < values.size(); ++i) {
            const QByteArray v = values[i].toUtf8();
            sqlite3_bind_text(st, i + 1, v.constData(), int(v.size()), SQLITE_TRANSIENT);
        }
        EXPECT_EQ(sqlite3_step(st), SQLITE_DONE) << sqlite3_errmsg(db);
        sqlite3_finalize(st);
    }

    void table(const QString& name, const QString& comment)
    {
        exec("INSERT INTO ALL_CATALOG VALUES ('ODD', ?, 'TABLE')", {name});
        exec("INSERT INTO ALL_TAB_COMMENTS VALUES ('ODD', ?, 'TABLE', ?)", {name, comment});
        exec("INSERT INTO ALL_TABLES (OWNER, TABLE_NAME, TABLESPACE_NAME, PCT_FREE, NUM_ROWS) "
             "VALUES ('ODD', ?, 'USERS', 10, 7)",
             {name});
        exec("INSERT INTO ALL_TAB_COLUMNS (OWNER, TABLE_NAME, COLUMN_NAME, DATA_TYPE, DATA_LENGTH, "
             "NULLABLE, COLUMN_ID) VALUES ('ODD', ?, 'ID', 'NUMBER', 22, 'N', 1)",
             {name});
        exec("INSERT INTO ALL_COL_COMMENTS VALUES ('ODD', ?, 'ID', ?)", {name, comment});
    }

    void synonym(const QString& name, const QString& target)
    {
        exec("INSERT INTO ALL_CATALOG VALUES ('ODD', ?, 'SYNONYM')", {name});
        exec("INSERT INTO ALL_SYNONYMS VALUES ('ODD', ?, 'ODD', ?, NULL)", {name, target});
    }

    test::ScopedDataDir data;
    QString path;
    sqlite3* db = nullptr;
};

using test::DocRun;

DocRun render(const QStringList& extra)
{
    return test::runDoc(QStringList{"--owner", "ODD", "--format", "pdf", "--dpi", "96"} + extra, "ODD");
}

QString pdfText(const QString& file)
{
    QProcess p;
    p.start("pdftotext", {"-enc", "UTF-8", file, "-"});
    if (!p.waitForFinished(20000))
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

TEST(DocumentCliOdd, EveryObjectUnderItsOwnFullNameNothingCut)
{
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    OddDictionary dict;
    const DocRun r = render({});
    // Only the synonym chain fails.
    EXPECT_EQ(r.status, kExitFailed) << r.err.toStdString();
    EXPECT_TRUE(
        r.err.contains("ODD.S_CHAIN: エラー: シノニム ODD.S_CHAIN の参照先 ODD.S_TARGET もシノニムです。"))
        << r.err.toStdString();
    EXPECT_EQ(r.err.count("エラー"), 1) << r.err.toStdString();

    const QDir out(r.out);
    const QStringList files = out.entryList(QDir::Files, QDir::Name);
    // "A/B" and "A_B" map to one file name: the second is renamed and says so.
    EXPECT_TRUE(files.contains("ODD.A_B.pdf"));
    EXPECT_TRUE(files.contains("ODD.A_B~2.pdf"));
    EXPECT_TRUE(r.err.contains("written as ODD.A_B~2")) << r.err.toStdString();
    EXPECT_TRUE(files.contains("ODD." + kLongName + ".pdf"));
    EXPECT_TRUE(files.contains("ODD." + kWideName + ".pdf"));
    EXPECT_TRUE(files.contains("ODD.S_TARGET.pdf"));
    EXPECT_FALSE(files.contains("ODD.S_CHAIN.pdf"));

    // Control characters never reach the terminal raw.
    EXPECT_FALSE(r.err.contains(QChar(0x1b)));
    EXPECT_TRUE(r.err.contains("ODD.BAD\\nNAME\\x1b[31m")) << r.err.toStdString();

    // The pages get the names whole; the header line shows what fits on the sheet.
    const QString longPage = pdfText(out.filePath("ODD." + kLongName + ".pdf"));
    EXPECT_TRUE(longPage.contains(kLongName.left(30)));
    const QString wide = pdfText(out.filePath("ODD." + kWideName + ".pdf")).remove(QRegularExpression("\\s"));
    EXPECT_TRUE(wide.contains(kWideName.left(20))) << wide.left(300).toStdString();
    const QString mixed = pdfText(out.filePath("ODD.MIXED.pdf"));
    EXPECT_TRUE(mixed.contains(kMixedComment)) << mixed.left(400).toStdString();
}

TEST(DocumentCliOdd, ABadSettingsFileIsReportedAndLeftUntouched)
{
    const QString dir = qEnvironmentVariable("XDG_CONFIG_HOME") + "/Velkram";
    QDir().mkpath(dir);
    const QString file = dir + "/Morvane.conf";
    QFile::remove(file + ".bak");
    const QByteArray cases[] = {
        "[TF_Main]\nPRINT_NAME=A,B\nMaxPageRow=20\n",
        QByteArray("\x00\xff\xfe[[[\x01\x02=\n\xff", 12),
    };
    for (const QByteArray& content : cases) {
        {
            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(content);
        }
        const DocRun r = render({"--server", "DEMO", "--owner", "SCOTT", "--object", "DEPT"});
        EXPECT_EQ(r.status, kExitOk) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("PRINT_NAME") || r.err.contains("cannot be read")) << r.err.toStdString();
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), content);
        EXPECT_FALSE(QFile::exists(file + ".bak"));
    }
    QFile::remove(file);
}
