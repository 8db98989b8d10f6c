// Print jobs through the program's own print path, written as PDF files (no
// printer) and read back: ranges, cancel, failure, print-all, multi-print.
#include "PrintSupport.h"
#include "widgets/QtPlatform.h"
#include "support/SmallDisk.h"
#include "core/WholeFile.h"
#include <cerrno>
#include "output/PrintJob.h"
#include "output/ui/PrinterSetup.h"
#include <QAbstractButton>
#include <QApplication>
#include "tablelist/TableListWindow.h"
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <sqlite3.h>

using namespace morvane;
using namespace morvane::test;

namespace {

using PrintJobs = PrintingFixture;

QString title(const QString& name) { return "DataBase仕様書( " + name + " )"; }

QStringList baseNames(const QStringList& paths)
{
    QStringList l;
    for (const QString& p : paths)
        l << QFileInfo(p).completeBaseName();
    return l;
}

} // namespace

TEST_F(PrintJobs, AllPagesPrintsFirstPageThenColumnPagesAndNeverOverwrites)
{
    ASSERT_TRUE(load("SCOTT", "EMP", "TABLE", 3)); // 8 columns: 3 column pages
    QStringList labels;
    dialogs.handlers = {answerRange(output::RangeAllPages, &labels), answerRange(output::RangeAllPages)};
    main.BitBtn3Click(main.BitBtn3);
    EXPECT_EQ(labels, QStringList{"テーブル名：EMP"});
    ASSERT_EQ(pdfs().size(), 1);
    const QString file = pdfs()[0];
    EXPECT_EQ(QFileInfo(file).fileName(), title("EMP") + ".pdf");
    ASSERT_EQ(pdfPages(file), 4);
    EXPECT_TRUE(pdfPageSize(file).contains("(A4)")) << pdfPageSize(file).toStdString();
    const QStringList titles{"データベース定義ファイル１", "データベース定義ファイル2",
                             "データベース定義ファイル3", "データベース定義ファイル4"};
    for (int p = 1; p <= 4; ++p) {
        const QString text = pdfText(file, p);
        for (int t = 0; t < 4; ++t)
            EXPECT_EQ(text.contains(titles[t]), t == p - 1) << "page " << p << " title " << t;
    }
    // One information box says where the file went.
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Information);
    EXPECT_TRUE(messages.shown[0].text.contains(QDir::toNativeSeparators(pdfDir())));

    const QByteArray before = [&] {
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    main.BitBtn3Click(main.BitBtn3);
    EXPECT_EQ(baseNames(pdfs()), QStringList({title("EMP") + " (2)", title("EMP")}));
    QFile again(file);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), before);
}

TEST_F(PrintJobs, SecondPageOnwardWithoutColumnPagesPrintsNothing)
{
    ASSERT_TRUE(load("SCOTT", "EMP", "TABLE"));
    session.state.RowCounts[SlotTabCols] = 0; // an object without columns
    dialogs.handlers = {answerRange(output::RangeFromSecondPage)};
    main.BitBtn3Click(main.BitBtn3);
    EXPECT_EQ(dialogs.opened.size(), 1);
    EXPECT_TRUE(pdfs().isEmpty());
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_FALSE(platform::isBusyCursor());
}

TEST_F(PrintJobs, PrinterSetupChoicesLastUntilTheNextJobEvenWhenCancelled)
{
    ASSERT_TRUE(load("SCOTT", "DEPT", "TABLE"));
    output::SharedPrinter& printer = output::Printer();
    // No printer: nothing to set up, and no file printer posing as one; the box says where jobs go.
    main.BitBtn7Click();
    EXPECT_TRUE(dialogs.opened.isEmpty());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Information);
    EXPECT_TRUE(messages.shown[0].text.contains(QDir::toNativeSeparators(pdfDir())));
    messages.shown.clear();

    // With a printer the set-up dialog offers no file printer, no range, and accepts with OK.
    ASSERT_TRUE(platform::installQtTranslations());
    {
        output::PrinterSetupDialog setup(&printer.printer(), &main);
        EXPECT_FALSE(setup.testOption(QAbstractPrintDialog::PrintToFile));
        EXPECT_FALSE(setup.testOption(QAbstractPrintDialog::PrintPageRange));
        setup.show();
        for (QAbstractButton* b : setup.findChildren<QAbstractButton*>())
            if (b->text().startsWith("オプション"))
                b->click(); // the options too, as a user would open them
        QApplication::processEvents();
        QStringList captions;
        for (QAbstractButton* b : setup.findChildren<QAbstractButton*>())
            if (b->isVisible())
                captions << b->text();
        EXPECT_TRUE(captions.contains("OK")) << captions.join("|").toStdString();
        EXPECT_FALSE(captions.join("|").contains("Print")) << captions.join("|").toStdString();
        EXPECT_FALSE(captions.join("|").contains("印刷")) << captions.join("|").toStdString();
        EXPECT_TRUE(captions.contains("キャンセル")) << "Qt's own texts are in Japanese";
        setup.hide();
    }

    // What a user would choose there stays in the printer object until the next job.
    printer.printer().setPageOrientation(QPageLayout::Landscape);
    printer.printer().setPageSize(QPageSize(QPageSize::A3));
    EXPECT_GT(printer.figures().sheet.width(), printer.figures().sheet.height());

    dialogs.handlers = {answerRange(-1)};
    main.BitBtn3Click(main.BitBtn3);
    EXPECT_TRUE(pdfs().isEmpty());
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_FALSE(platform::isBusyCursor());
    EXPECT_EQ(printer.printer().pageLayout().orientation(), QPageLayout::Portrait);
    EXPECT_EQ(printer.printer().pageLayout().pageSize().id(), QPageSize::A4);

    dialogs.handlers = {answerRange(output::RangeFromSecondPage)};
    main.BitBtn3Click(main.BitBtn3);
    ASSERT_EQ(pdfs().size(), 1);
    EXPECT_EQ(pdfPages(pdfs()[0]), 1);
    EXPECT_TRUE(pdfPageSize(pdfs()[0]).startsWith("595 x 842")) << pdfPageSize(pdfs()[0]).toStdString();
    EXPECT_TRUE(pdfText(pdfs()[0], 1).contains("データベース定義ファイル2"));
}

TEST_F(PrintJobs, AJobThatCannotBeWrittenIsAbortedWithPrintError)
{
    ASSERT_TRUE(load("SCOTT", "DEPT", "TABLE"));
    QFile blocker(dir.path() + "/not-a-folder");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("MORVANE_PDF_DIR", (blocker.fileName() + "/pdf").toUtf8());
    dialogs.handlers = {answerRange(output::RangeAllPages)};
    main.BitBtn3Click(main.BitBtn3);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Warning);
    EXPECT_EQ(messages.shown[0].text, "印刷エラー。\n\r" + blocker.fileName() + ": Not a directory");
    EXPECT_FALSE(platform::isBusyCursor());
}

// Out of space: the error with the system's reason instead of the files-written
// box, and neither the PDF nor its temporary file left behind.
TEST_F(PrintJobs, AFullDiskIsAPrintErrorAndLeavesNoFile)
{
    SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason().toStdString();
    ASSERT_TRUE(load("SCOTT", "EMP", "TABLE"));
    qputenv("MORVANE_PDF_DIR", (disk.path() + "/pdf").toUtf8());
    ASSERT_TRUE(QDir().mkpath(disk.path() + "/pdf"));
    disk.fill();
    dialogs.handlers = {answerRange(output::RangeAllPages)};
    main.BitBtn3Click(main.BitBtn3);
    ASSERT_EQ(messages.shown.size(), 1) << messages.texts().join("/").toStdString();
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Warning);
    EXPECT_TRUE(messages.shown[0].text.startsWith("印刷エラー。\n\r"));
    // The reason comes in the language of the installed translator.
    EXPECT_TRUE(messages.shown[0].text.endsWith(systemErrorText(ENOSPC)))
        << messages.shown[0].text.toStdString();
    EXPECT_TRUE(QDir(disk.path() + "/pdf").entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(PrintJobs, PrintAllPrintsEveryObjectButSequencesAndGoesOnAfterAFailedLoad)
{
    // A synonym whose target is gone fails its load.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((data.path() + "/PROD.db").toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "INSERT INTO ALL_SYNONYMS (OWNER, SYNONYM_NAME, TABLE_OWNER, TABLE_NAME, DB_LINK)"
                           " VALUES ('SCOTT', 'BROKEN', 'NOBODY', 'NOTHING', NULL);"
                           "INSERT INTO ALL_CATALOG (OWNER, TABLE_NAME, TABLE_TYPE)"
                           " VALUES ('SCOTT', 'BROKEN', 'SYNONYM');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    session.settings.LAST_OWNER = "SCOTT";
    main.ComboBox1->setEditText("SCOTT");
    session.settings.MaxPageRow = 55;
    main.BitBtn6Click();

    EXPECT_TRUE(dialogs.opened.isEmpty()) << "print-all asks for no range";
    // Name order; the synonym EMPLOYEES prints its target EMP under its own name.
    const QStringList written = baseNames(output::Printer().writtenFiles());
    EXPECT_EQ(written, QStringList({title("BONUS"), title("DEPT"), title("EMP"), title("EMPLOYEES"),
                                    title("EMP_DEPT_V"), title("SALGRADE"), title("lower_case_tbl")}));
    for (const QString& f : output::Printer().writtenFiles())
        EXPECT_FALSE(f.contains("EMP_SEQ"));
    EXPECT_TRUE(pdfText(pdfDir() + "/" + title("EMP") + ".pdf", 1).contains("社員マスタ"));
    EXPECT_TRUE(pdfText(pdfDir() + "/" + title("DEPT") + ".pdf", 1).contains("部門マスタ"));
    EXPECT_FALSE(pdfText(pdfDir() + "/" + title("DEPT") + ".pdf", 1).contains("社員マスタ"));

    // No box stops the run: at its end one summary names the failed object with the
    // load's reason and the run's warning, then one box says where the files went.
    ASSERT_EQ(messages.shown.size(), 2) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Warning);
    const QStringList lines = messages.shown[0].text.split("\n\r");
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QString("%1件中1件のオブジェクトを処理できませんでした。").arg(written.size() + 1));
    EXPECT_TRUE(lines[1].startsWith("・SCOTT.BROKEN：シノニム SCOTT.BROKEN の参照先が見つかりません。"))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[1].endsWith("／ ＯＲＡＣＬＥデータベースオープンエラー。"));
    EXPECT_EQ(messages.shown[1].kind, MessageKind::Information);
    EXPECT_TRUE(main.Edit1->text().isEmpty());
    EXPECT_TRUE(main.Edit2->text().isEmpty());
    EXPECT_FALSE(dm.AQ_Catalog.isOpen());
    EXPECT_FALSE(platform::isBusyCursor());
}

TEST_F(PrintJobs, MultiPrintAsksForEachSelectedRowInListOrderAndCancelSkipsOne)
{
    TF_Table table(dm, session, &main);
    table.showTableName = [this](const QString& name) { main.Edit2->setText(name); };
    table.printLoaded = [this](QObject* sender) { main.BitBtn3Click(sender); };
    session.settings.LAST_OWNER = "SCOTT";
    dm.Tag = SlotCatalog;
    table.prepareForChoice("SCOTT");
    session.state.CatalogSortCaption = "テーブル名";
    session.state.CatalogSortKey = "TABLE_NAME";
    table.RefreshCatalog();
    main.Edit1->setText("unchanged");

    table.BitBtn3Click(); // nothing selected: nothing happens
    EXPECT_TRUE(dialogs.opened.isEmpty());

    table.selectBookmarks({4, 0, 2});
    QStringList labels;
    dialogs.handlers = {answerRange(output::RangeAllPages, &labels), answerRange(-1, &labels),
                        answerRange(output::RangeAllPages, &labels)};
    table.BitBtn3Click();
    const QStringList rows{dm.AQ_Catalog.valueAt(0, 1), dm.AQ_Catalog.valueAt(2, 1),
                           dm.AQ_Catalog.valueAt(4, 1)};
    EXPECT_EQ(labels,
              QStringList({"テーブル名：" + rows[0], "テーブル名：" + rows[1], "テーブル名：" + rows[2]}));
    EXPECT_EQ(baseNames(pdfs()), QStringList({title(rows[0]), title(rows[2])}));
    EXPECT_EQ(session.state.TableName, rows[2]);
    EXPECT_EQ(main.Edit1->text(), "unchanged");
    EXPECT_EQ(dm.Tag, SlotCatalog);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Information);
}

TEST_F(PrintJobs, PrintAllAsOneJobPutsTheContentsFirstAndListsAFailedLoad)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((data.path() + "/PROD.db").toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "INSERT INTO ALL_SYNONYMS (OWNER, SYNONYM_NAME, TABLE_OWNER, TABLE_NAME, DB_LINK)"
                           " VALUES ('SCOTT', 'BROKEN', 'NOBODY', 'NOTHING', NULL);"
                           "INSERT INTO ALL_CATALOG (OWNER, TABLE_NAME, TABLE_TYPE)"
                           " VALUES ('SCOTT', 'BROKEN', 'SYNONYM');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    session.settings.LAST_OWNER = "SCOTT";
    session.settings.MaxPageRow = 55;
    main.printAllAsOneJob();

    ASSERT_EQ(baseNames(output::Printer().writtenFiles()), QStringList{title("SCOTT")});
    const QString file = output::Printer().writtenFiles().first();
    const QString contents = pdfText(file, 1);
    // Synonyms before tables before views; the broken synonym has no page.
    const QStringList order{"BROKEN", "EMPLOYEES", "BONUS",          "DEPT",
                            "EMP",    "SALGRADE",  "lower_case_tbl", "EMP_DEPT_V"};
    qsizetype at = 0;
    for (const QString& name : order) {
        const qsizetype next = contents.indexOf(name, at);
        EXPECT_GT(next, at) << name.toStdString();
        at = std::max(at, next);
    }
    EXPECT_TRUE(contents.contains("出力エラー"));
    EXPECT_TRUE(pdfText(file, 2).contains("データベース定義ファイル１")); // EMPLOYEES, as its target
    EXPECT_EQ(messages.texts().count("ＯＲＡＣＬＥデータベースオープンエラー。"), 1);
    EXPECT_EQ(messages.shown.last().kind, MessageKind::Information);
    EXPECT_TRUE(main.Edit2->text().isEmpty());
    EXPECT_FALSE(dm.AQ_Catalog.isOpen());
    EXPECT_FALSE(platform::isBusyCursor());
}
