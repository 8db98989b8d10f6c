#include "output/ui/PrinterSetup.h"
#include "widgets/QtPlatform.h"
#include "output/PrintJob.h"
#include <QDialogButtonBox>
#include <QDir>
#include <QPushButton>
#include <QTabWidget>

namespace morvane::output {

PrinterSetupDialog::PrinterSetupDialog(QPrinter* printer, QWidget* parent) : QPrintDialog(printer, parent)
{
    setWindowTitle(QStringLiteral("ﾌﾟﾘﾝﾀｰ設定"));
    // A file printer here would only change the preview's sheet while looking
    // like a way to print; ranges and copies belong to a job, not a set-up.
    setOption(QAbstractPrintDialog::PrintToFile, false);
    setOption(QAbstractPrintDialog::PrintPageRange, false);
    setOption(QAbstractPrintDialog::PrintSelection, false);
    setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    setOption(QAbstractPrintDialog::PrintCollateCopies, false);
    nameAcceptButton();
}

void PrinterSetupDialog::showEvent(QShowEvent* e)
{
    QPrintDialog::showEvent(e);
    nameAcceptButton();
}

void PrinterSetupDialog::nameAcceptButton()
{
    for (QDialogButtonBox* box : findChildren<QDialogButtonBox*>())
        if (QPushButton* ok = box->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("OK"));
    // Range, copies and their order are a job's, and every job sets its own:
    // the page that holds them has no place in a set-up.
    if (auto* tabs = findChild<QTabWidget*>(QStringLiteral("tabs")))
        if (QWidget* copies = tabs->findChild<QWidget*>(QStringLiteral("copiesTab")))
            if (tabs->indexOf(copies) >= 0)
                tabs->removeTab(tabs->indexOf(copies));
}

QString noPrinterToSetUpText(const QString& pdfFolder)
{
    return QStringLiteral("プリンターが見つからないため、設定できるプリンターがありません。")
           + QStringLiteral("\n\r") + QStringLiteral("仕様書はPDFファイルに出力されます。出力先：")
           + QDir::toNativeSeparators(pdfFolder);
}

void runPrinterSetup(QPrinter& printer, bool printerInstalled, QWidget* parent)
{
    if (!printerInstalled) {
        platform::messages().show(MessageKind::Information, noPrinterToSetUpText(pdfOutputFolder()));
        return;
    }
    PrinterSetupDialog dialog(&printer, parent);
    platform::dialogs().exec(dialog);
}

} // namespace morvane::output
