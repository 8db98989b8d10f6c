// Print-all of a generated owner to the PDF fallback (time and resident
// memory), and the preview's repaint after a page change and a zoom change.
#include "Bench.h"
#include "app/MainWindow.h"
#include "widgets/QtPlatform.h"
#include "core/Winplace.h"
#include "database/DataModule.h"
#include "database/embedded/DictionaryGenerator.h"
#include "document/DocumentData.h"
#include "output/ui/PreviewForm.h"
#include "output/ui/SharedPrinter.h"
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

using namespace morvane;

namespace {

class SilentMessages : public IMessageBoxes {
public:
    MessageResult show(MessageKind, const QString&, MessageButtons) override { return MessageResult::Ok; }
};

// kB figures of /proc/self/status: VmRSS (now) or VmHWM (peak).
long procStatusKb(const char* key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key)) + 1).trimmed().split(' ').value(0).toLong();
    return -1;
}

struct PrintBench {
    QTemporaryDir dir;
    SilentMessages messages;
    Session session;
    std::unique_ptr<SettingsStore> store;
    std::unique_ptr<TDataModule2> dm;
    std::unique_ptr<TF_Main> main;
    std::unique_ptr<output::TPreviewForm> preview;
    int runs = 0;

    void connect(int objects)
    {
        platform::setMessages(&messages);
        output::Printer().setDiscovery([] { return QPrinterInfo(); });
        const QString service = QStringLiteral("BENCHPRINT%1").arg(objects);
        const QString path = embeddedDataDir() + QStringLiteral("/") + service + QStringLiteral(".db");
        if (!QFile::exists(path)) {
            embedded::GeneratorOptions o;
            o.owners = 1;
            o.objectsPerOwner = objects;
            embedded::generateDictionary(path, o);
        }
        main.reset();
        dm.reset();
        session = Session{};
        session.settings.LAST_ALIAS = service;
        session.settings.U_LogOn = QStringLiteral("DEMO");
        session.settings.MaxPageRow = 55;
        session.settings.LAST_OWNER = QStringLiteral("OWNER01");
        session.state.LogonUser = QStringLiteral("SYS");
        store = std::make_unique<SettingsStore>(dir.filePath(QStringLiteral("s.conf")));
        dm = std::make_unique<TDataModule2>(session);
        dm->connectWithCurrentValues();
        main = std::make_unique<TF_Main>(session, *store);
        main->setDataModule(dm.get());
    }

    void printAll(int objects)
    {
        // A fresh folder each run: removing the last run's files here would
        // be timed, and the file system is slower to make files just after
        // it freed many. The folders go with the bench's temporary folder.
        const QString out = dir.filePath(QStringLiteral("pdf%1-%2").arg(objects).arg(++runs));
        qputenv("MORVANE_PDF_DIR", out.toUtf8());
        const long before = procStatusKb("VmRSS:");
        main->BitBtn6Click();
        std::printf("  (%d objects: %d PDF files, resident %ld kB before, %ld kB after, peak %ld kB)\n",
                    objects, int(output::Printer().writtenFiles().size()), before, procStatusKb("VmRSS:"),
                    procStatusKb("VmHWM:"));
    }
};

PrintBench* g_bench = nullptr;
PrintBench& state()
{
    if (!g_bench)
        g_bench = new PrintBench;
    return *g_bench;
}
// The windows go while the application still exists, and the PDFs with their folder.
const int torn = bench::addTeardown([] {
    delete g_bench;
    g_bench = nullptr;
});

void guarded(const char* what, const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const DbError& e) {
        std::printf("  %s failed: %s\n", what, qPrintable(e.message()));
    }
}

const int p1 =
    bench::add({"print_all_200_objects_to_pdf", 3, [] { guarded("connect", [] { state().connect(200); }); },
                [] { guarded("print-all", [] { state().printAll(200); }); }});

const int p2 =
    bench::add({"print_all_1000_objects_to_pdf", 3, [] { guarded("connect", [] { state().connect(1000); }); },
                [] { guarded("print-all", [] { state().printAll(1000); }); }});

void openPreview()
{
    PrintBench& b = state();
    if (!b.dm)
        b.connect(200);
    b.session.state.TableName = QStringLiteral("T_00001");
    b.session.state.TableType = QStringLiteral("TABLE");
    b.session.settings.MaxPageRow = 6; // 12 columns: two column pages
    b.dm->LoadTableDictionary();
    b.preview = std::make_unique<output::TPreviewForm>();
    b.preview->prepare(document::documentDataFrom(b.session));
    b.preview->show();
    QCoreApplication::processEvents();
}

const int p3 = bench::add({"preview_page_change_repaint_90", 20, [] { guarded("preview", openPreview); },
                           [] {
                               output::TPreviewForm& f = *state().preview;
                               f.SpinEdit1->setValue(f.page() == 1 ? 2 : 1);
                               f.repaint();
                           }});

const int p4 = bench::add({"preview_zoom_change_repaint_90", 20,
                           [] {
                               guarded("preview", [] {
                                   if (!state().preview)
                                       openPreview();
                                   state().preview->SetZoom(90);
                               });
                           },
                           [] {
                               output::TPreviewForm& f = *state().preview;
                               f.SetZoom(f.ZoomPercent == 90 ? 100 : 90);
                               f.repaint();
                           }});

} // namespace
