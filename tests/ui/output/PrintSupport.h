#pragma once
// A main window over a copy of the demo whose print jobs land as PDF files in
// a folder of the test's own, and readers for those files.
#include "database/Connection.h"
#include "output/ui/PrnSet1.h"
#include "output/ui/SharedPrinter.h"
#include "support/MainWindowParts.h"
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace morvane::test {

inline QString runTool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000))
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}
inline int pdfPages(const QString& path)
{
    const QString info = runTool("pdfinfo", {path});
    const int at = info.indexOf("Pages:");
    return at < 0 ? -1 : info.mid(at + 6).section('\n', 0, 0).trimmed().toInt();
}
inline QString pdfPageSize(const QString& path)
{
    const QString info = runTool("pdfinfo", {path});
    return info.mid(info.indexOf("Page size:") + 10).section('\n', 0, 0).trimmed();
}
// Text of one page (1-based).
inline QString pdfText(const QString& path, int page)
{
    return runTool("pdftotext", {"-f", QString::number(page), "-l", QString::number(page), path, "-"});
}

// Answers the range dialog with an item, or cancels it (-1); keeps the labels it saw.
inline ScriptedDialogs::Handler answerRange(int item, QStringList* labels = nullptr)
{
    return [item, labels](QDialog& d) {
        auto& range = dynamic_cast<output::TF_PrnSet1&>(d);
        if (labels)
            *labels << range.Label1->text();
        EXPECT_EQ(range.itemIndex(), 1) << "the second item is preselected";
        if (item < 0)
            return int(QDialog::Rejected);
        range.setItemIndex(item);
        return int(QDialog::Accepted);
    };
}

class PrintingFixture : public ::testing::Test, protected MainWindowParts {
protected:
    void SetUp() override
    {
        copyDemoAs("PROD");
        session.settings.PRINT_NAME = "TESTER";
        logOn("PROD");
        oldPdfDir = qgetenv("MORVANE_PDF_DIR");
        qputenv("MORVANE_PDF_DIR", pdfDir().toUtf8());
        // No printer, whatever spooler may run on this machine meanwhile.
        output::Printer().setDiscovery([] { return QPrinterInfo(); });
    }
    void TearDown() override
    {
        output::Printer().setDiscovery(nullptr);
        qputenv("MORVANE_PDF_DIR", oldPdfDir);
    }
    QString pdfDir() const { return dir.path() + "/pdf"; }
    QStringList pdfs() const
    {
        QStringList l;
        for (const QString& f : QDir(pdfDir()).entryList({"*.pdf"}, QDir::Files, QDir::Name))
            l << QDir(pdfDir()).filePath(f);
        return l;
    }
    bool load(const QString& owner, const QString& name, const QString& type, int maxPageRow = 55)
    {
        session.settings.LAST_OWNER = owner;
        session.settings.MaxPageRow = maxPageRow;
        session.state.TableName = name;
        session.state.TableType = type;
        session.state.TableComment.clear();
        return dm.LoadTableDictionary();
    }

    QByteArray oldPdfDir;
};

} // namespace morvane::test
