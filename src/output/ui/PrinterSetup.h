#pragma once
// The printer set-up behind "ﾌﾟﾘﾝﾀｰ設定": Qt's print dialog narrowed to what a
// set-up chooses (the printer and its options). It prints nothing, so it
// offers no file printer, no page range and no "印刷" button.
#include <QPrintDialog>

namespace morvane::output {

class PrinterSetupDialog : public QPrintDialog {
    Q_OBJECT
public:
    PrinterSetupDialog(QPrinter* printer, QWidget* parent);

protected:
    void showEvent(QShowEvent* e) override;

private:
    void nameAcceptButton();
};

// With a printer installed: the dialog on that printer. Without one there is
// nothing to set up: an information box says where the documents go instead.
void runPrinterSetup(QPrinter& printer, bool printerInstalled, QWidget* parent);

QString noPrinterToSetUpText(const QString& pdfFolder);

} // namespace morvane::output
