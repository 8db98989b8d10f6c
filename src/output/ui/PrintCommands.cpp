#include "output/ui/PrintCommands.h"
#include "app/QtPlatform.h"
#include "document/DocumentData.h"
#include "output/PrintJob.h"
#include "output/ui/PrnSet1.h"
#include "output/ui/SharedPrinter.h"
#include <QApplication>
#include <QDebug>

namespace morvane::output {

void printLoadedObject(const Session& session, bool askRange, QWidget* dialogParent)
{
    struct EndOfJob {
        ~EndOfJob() { platform::setNormalCursor(); }
    } end;
    SharedPrinter& printer = Printer();
    printer.SelectPaper(QStringLiteral("A4"), QStringLiteral("縦"));
    PrintRunScope run;

    int range = RangeAllPages;
    if (askRange) {
        // Owned by the modal window in front (the preview), so that opening it
        // does not raise the main window over that one; placed over the main window.
        QWidget* front = QApplication::activeModalWidget();
        TF_PrnSet1 F_PrnSet1(front ? front : dialogParent);
        F_PrnSet1.setTableName(session.state.TableName);
        if (dialogParent && front && front != dialogParent)
            F_PrnSet1.move(dialogParent->geometry().center() - F_PrnSet1.rect().center());
        if (platform::dialogs().exec(F_PrnSet1) != QDialog::Accepted)
            return;
        range = F_PrnSet1.itemIndex();
    }
    const document::DocumentData data = document::documentDataFrom(session);
    if (!printDocument(printer, data, range)) {
        qWarning().noquote() << "print job failed:" << printer.lastError();
        platform::setNormalCursor();
        const QString reason = printer.lastError();
        platform::warning(reason.isEmpty() ? QStringLiteral("印刷エラー。")
                                           : QStringLiteral("印刷エラー。") + QStringLiteral("\n\r") + reason);
    }
}

} // namespace morvane::output
