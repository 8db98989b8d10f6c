#include "output/ui/PrintCommands.h"
#include "widgets/QtPlatform.h"
#include "document/DocumentData.h"
#include "output/PrintJob.h"
#include "output/ui/PrnSet1.h"
#include "output/ui/SharedPrinter.h"
#include <QApplication>
#include <QDebug>

namespace morvane::output {

QString printErrorText(const QString& reason)
{
    const QString text = QStringLiteral("印刷エラー。");
    return reason.isEmpty() ? text : text + QStringLiteral("\n\r") + reason;
}

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
        const QString reason = printer.lastError();
        qWarning().noquote() << "print job failed:" << reason;
        platform::setNormalCursor();
        platform::warning(printErrorText(reason));
    }
}

} // namespace morvane::output
