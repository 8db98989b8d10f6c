#include "database/Connection.h"
#include "database/embedded/DictionaryGenerator.h"
#include "document/ContentsPage.h"
#include "output/DocRender.h"
#include "output/DocRenderCli.h"
#include "output/OrderedJobs.h"
#include "support/DocRun.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using namespace morvane;
using namespace morvane::output;

namespace {

using test::DocRun;

DocRun render(const QString& server, const QStringList& args)
{
    return test::runDoc(QStringList{"--format", "pdf"} + args, server);
}

// A small generated owner: tables, views and synonyms mixed by name.
QString generatedServer()
{
    const QString path = embeddedDataDir() + "/GENCONTENTS.db";
    if (!QFile::exists(path)) {
        QDir().mkpath(embeddedDataDir());
        embedded::GeneratorOptions o;
        o.owners = 1;
        o.objectsPerOwner = 12;
        embedded::generateDictionary(path, o);
    }
    return "GENCONTENTS";
}

QString pageText(const QString& pdf, int page)
{
    QProcess p;
    p.start("pdftotext",
            {"-enc", "UTF-8", "-layout", "-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Outline entries ("O<TAB>title<TAB>page") and links ("L<TAB>page<TAB>top<TAB>target"), pages from 1.
QStringList navigation(const QString& pdf)
{
    const char* script =
        "import sys, pypdf\n"
        "r = pypdf.PdfReader(sys.argv[1])\n"
        "for o in r.outline:\n"
        "    print('O\\t%s\\t%d' % (o.title, r.get_destination_page_number(o) + 1))\n"
        "for i, p in enumerate(r.pages):\n"
        "    for a in (p['/Annots'].get_object() if '/Annots' in p else []):\n"
        "        a = a.get_object()\n"
        "        print('L\\t%d\\t%d\\t%d' % (i + 1, round(float(a['/Rect'][3])), r.get_page_number(a['/Dest'][0].get_object()) + 1))\n";
    QProcess p;
    p.start("/usr/bin/python3", {"-c", script, pdf});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

bool havePdfTools()
{
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        return false;
    QProcess p;
    p.start("/usr/bin/python3", {"-c", "import pypdf"});
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

struct Row {
    QString name, type, page;
};

// Rows of a contents page as pdftotext lays them out: number, name, type, [comment], page.
QVector<Row> contentsRows(const QString& text)
{
    QVector<Row> rows;
    static const QRegularExpression re(
        "^\\s*\\d+\\s+(\\S+)\\s+(TABLE|VIEW|SYNONYM)\\b.*\\s(\\d+|出力エラー)\\s*$");
    for (const QString& line : text.split('\n')) {
        const auto m = re.match(line);
        if (m.hasMatch())
            rows.push_back({m.captured(1), m.captured(2), m.captured(3)});
    }
    return rows;
}

} // namespace

TEST(OwnerDocument, ContentsOutlineAndLinksLandOnEachObjectsFirstPage)
{
    if (!havePdfTools())
        GTEST_SKIP() << "pdftotext (poppler-utils) or python3-pypdf is not installed";
    const DocRun r = render(generatedServer(), {"--owner", "OWNER01", "--one-file"});
    ASSERT_EQ(r.status, kExitOk) << r.err.toStdString();
    EXPECT_EQ(QDir(r.out).entryList(QDir::Files), QStringList{"OWNER01.pdf"});
    const QString pdf = QDir(r.out).filePath("OWNER01.pdf");

    const QString contents = pageText(pdf, 1);
    EXPECT_TRUE(contents.contains("◎ＯＷＮＥＲ：｢OWNER01｣"));
    const QVector<Row> rows = contentsRows(contents);
    ASSERT_GE(rows.size(), 6) << contents.toStdString();
    QStringList order, sorted;
    for (const Row& row : rows) {
        order << row.type + " " + row.name;
        // Each row's page is that object's page 1.
        const QString page = pageText(pdf, row.page.toInt());
        EXPECT_TRUE(page.contains("データベース定義ファイル１")) << row.name.toStdString();
        EXPECT_TRUE(page.contains("｢" + row.name + "｣"))
            << row.name.toStdString() << " on page " << row.page.toStdString();
    }
    sorted = order;
    sorted.sort();
    EXPECT_EQ(order, sorted); // by type, then name

    const QStringList nav = navigation(pdf);
    QStringList outline, linkTargets;
    int lastTop = 100000;
    for (const QString& line : nav) {
        const QStringList f = line.split('\t');
        if (f[0] == "O")
            outline << f[1].section(' ', 0, 0) + "@" + f[2];
        else {
            EXPECT_EQ(f[1], "1");
            EXPECT_LT(f[2].toInt(), lastTop); // rows go down the page
            lastTop = f[2].toInt();
            linkTargets << f[3];
        }
    }
    QStringList expectedOutline, expectedTargets;
    for (const Row& row : rows) {
        expectedOutline << row.name + "@" + row.page;
        expectedTargets << row.page;
    }
    EXPECT_EQ(outline, expectedOutline);
    EXPECT_EQ(linkTargets, expectedTargets);
}

TEST(OwnerDocument, FailingObjectIsListedAndTheFileStaysWhole)
{
    if (!havePdfTools())
        GTEST_SKIP() << "pdftotext (poppler-utils) or python3-pypdf is not installed";
    // SALES.STAFF is a synonym whose target lies in another owner: it cannot be loaded.
    const DocRun r = render("DEMO", {"--owner", "SALES", "--one-file"});
    EXPECT_EQ(r.status, kExitFailed);
    EXPECT_TRUE(r.err.contains("SALES.STAFF: ")) << r.err.toStdString();
    EXPECT_EQ(QDir(r.out).entryList(QDir::Files | QDir::Hidden), QStringList{"SALES.pdf"});
    const QString pdf = QDir(r.out).filePath("SALES.pdf");
    bool listed = false;
    for (const Row& row : contentsRows(pageText(pdf, 1)))
        if (row.name == "STAFF")
            listed = row.page == "出力エラー";
        else
            EXPECT_TRUE(pageText(pdf, row.page.toInt()).contains("｢" + row.name + "｣"))
                << row.name.toStdString();
    EXPECT_TRUE(listed);
    for (const QString& line : navigation(pdf))
        EXPECT_FALSE(line.startsWith("O\tSTAFF"));
    // A folder that cannot take the file: no file, the reason, status 1.
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.filePath("SALES.pdf")));
    const DocRun blocked = render("DEMO", {"--owner", "SALES", "--one-file", "--out", dir.path()});
    EXPECT_EQ(blocked.status, kExitFailed);
    EXPECT_TRUE(QFileInfo(dir.filePath("SALES.pdf")).isDir());
}

TEST(OwnerDocument, TwoJobsWriteWhatOneJobWrites)
{
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    // SALES has a failing object: its lines must keep their place.
    const DocRun one = render("DEMO", {"--owner", "SALES", "--jobs", "1"});
    const DocRun two = render("DEMO", {"--owner", "SALES", "--jobs", "2"});
    EXPECT_EQ(one.status, two.status);
    EXPECT_EQ(one.err, two.err);
    const QStringList files = QDir(one.out).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files, QDir(two.out).entryList(QDir::Files, QDir::Name));
    EXPECT_GE(files.size(), 5);
    for (const QString& f : files)
        EXPECT_EQ(pageText(QDir(one.out).filePath(f), 1) + pageText(QDir(one.out).filePath(f), 2),
                  pageText(QDir(two.out).filePath(f), 1) + pageText(QDir(two.out).filePath(f), 2))
            << f.toStdString();
}

TEST(OwnerDocument, ReportsLeaveInTheOrderTheTasksCameIn)
{
    QStringList seen;
    int failed = 0;
    {
        OrderedJobs jobs(3, [&](const QString& text) { seen << text; });
        for (int i = 0; i < 12; ++i)
            jobs.add(
                QString("before%1;").arg(i), i == 5 ? OrderedJobs::Task() : [i](QTextStream& out) {
                    // Early tasks finish last.
                    std::this_thread::sleep_for(std::chrono::milliseconds(12 - i));
                    out << "done" << i;
                    return i % 4 != 0;
                });
        failed = jobs.finish();
    }
    QStringList expected;
    for (int i = 0; i < 12; ++i)
        expected << (i == 5 ? QString("before5;") : QString("before%1;done%1").arg(i));
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(failed, 3); // 0, 4, 8
}

TEST(OwnerDocument, ContentsCellsAreCutWithAnEllipsis)
{
    // Ten pixels a character.
    struct Fixed : document::ICanvas {
        void setFontFace(const QFont&) override { }
        void setFontHeight(int) override { }
        void setFontColor(const QColor&) override { }
        int textWidth(const QString& t) override { return 10 * int(t.size()); }
        void textOut(int, int, const QString&) override { }
        void line(int, int, int, int) override { }
        void rectangle(int, int, int, int) override { }
        void setPenColor(const QColor&) override { }
        void setPenWidth(int) override { }
        void setBrushColor(const QColor&) override { }
    } c;
    EXPECT_EQ(document::elideToWidth(c, "ABCDE", 50), "ABCDE");
    EXPECT_EQ(document::elideToWidth(c, "ABCDEFGHIJ", 55), "ABCD…");
    EXPECT_EQ(document::elideToWidth(c, "ABC𠮷DEF", 50), "ABC…"); // never half a pair
    EXPECT_EQ(document::elideToWidth(c, "ABCDEF", 5), "…");
    EXPECT_EQ(document::contentsPageCount(0), 1);
    EXPECT_EQ(document::contentsPageCount(55), 1);
    EXPECT_EQ(document::contentsPageCount(56), 2);
}
