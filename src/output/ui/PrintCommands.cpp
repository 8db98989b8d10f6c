#include "output/ui/PrintCommands.h"
#include "widgets/QtPlatform.h"
#include "document/DocumentData.h"
#include "database/DataModule.h"
#include "database/ObjectRun.h"
#include "database/Statements.h"
#include "output/OwnerDocument.h"
#include "output/PageOutput.h"
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
    const platform::NormalCursorOnExit end;
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

void printOwnerAsOneJob(TDataModule2& dm, const QString& owner,
                        const std::function<void(const QString& name, const QString& comment)>& showing)
{
    Session& session = dm.session();
    Query& catalog = dm.AQ_Catalog;
    const QueryRunEnd end(catalog);
    platform::setBusyCursor();
    SharedPrinter& printer = Printer();
    printer.SelectPaper(QStringLiteral("A4"), QStringLiteral("縦"));
    PrintRunScope run;

    dm.openCatalog(TDataModule2::CatalogForm::AllObjects, owner);
    QVector<CatalogRow> rows;
    const RowSource next = queryRows(catalog);
    for (CatalogRow row; next(row);)
        rows.push_back(row);
    catalog.close();
    if (rows.isEmpty())
        return;
    sortForContents(rows);

    printer.setTitle(documentTitle(owner));
    const bool printed = printer.printPdfJob([&](const QString& path, QString* error) {
        OwnerDocumentWriter doc(path, printer.printer().pageLayout(), printer.printer().resolution(), owner,
                                session.settings.PRINT_NAME);
        if (!doc.begin(error))
            return false;
        ObjectRunSteps steps;
        steps.chosen = [&](const CatalogRow& row) {
            if (showing)
                showing(row.name, row.comment);
        };
        steps.loadFailed = [&](const CatalogRow& row) {
            platform::warning(QStringLiteral("ＯＲＡＣＬＥデータベースオープンエラー。"));
            doc.addFailed({row.name, row.type, row.comment});
        };
        bool lost = false;
        steps.act = [&](const CatalogRow& row) {
            if (lost)
                return false;
            // A page that fails shows its own warning, as in a job of one object.
            const PageFailureSink pageFailed = [](int, const document::PageResult& r) {
                platform::setNormalCursor();
                platform::warning(r.warning);
            };
            bool ok = false;
            lost = !doc.addObject({row.name, row.type, row.comment},
                                  document::documentDataFrom(session, dm.loaded()), pageFailed, &ok, error);
            return ok;
        };
        runPerObject(dm, owner, listRows(rows), steps);
        return !lost && doc.finish(error);
    });
    if (!printed) {
        qWarning().noquote() << "print job failed:" << printer.lastError();
        platform::setNormalCursor();
        platform::warning(QStringLiteral("印刷エラー。"));
    }
}

} // namespace morvane::output
