#include "output/ui/SharedPrinter.h"
#include "widgets/QtPlatform.h"
#include "core/WholeFile.h"
#include "document/QPainterCanvas.h"
#include "output/ui/PrinterSetup.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>

namespace morvane::output {

namespace {

// The two calls of the CUPS library that hand a finished file to a queue.
// Qt's own CUPS engine submits the same way but cannot abort a job and
// ignores a refused submission; the program needs both.
struct CupsOption {
    char* name;
    char* value;
};
using CupsPrintFile = int (*)(const char*, const char*, const char*, int, CupsOption*);
using CupsLastErrorString = const char* (*)();

QString submitToCups(const QString& queue, const QString& file, const QString& title,
                     const QPageLayout& layout)
{
    QLibrary cups(QStringLiteral("cups"), 2);
    auto printFile = reinterpret_cast<CupsPrintFile>(cups.resolve("cupsPrintFile"));
    auto lastError = reinterpret_cast<CupsLastErrorString>(cups.resolve("cupsLastErrorString"));
    if (!printFile)
        return QStringLiteral("CUPS ライブラリを読み込めません: %1").arg(cups.errorString());
    QByteArray media = layout.pageSize().key().toUtf8();
    QByteArray mediaKey("media"), landscapeKey("landscape"), empty("");
    QVector<CupsOption> options{{mediaKey.data(), media.data()}};
    if (layout.orientation() == QPageLayout::Landscape)
        options.push_back({landscapeKey.data(), empty.data()});
    // An instance ("queue/instance") prints on its queue.
    const QByteArray name = queue.section(QLatin1Char('/'), 0, 0).toUtf8();
    const int id = printFile(name.constData(), QFile::encodeName(file).constData(),
                             title.toUtf8().constData(), int(options.size()), options.data());
    if (id > 0)
        return QString();
    return QStringLiteral("プリンター %1 がジョブを受け付けませんでした: %2")
        .arg(queue, lastError ? QString::fromUtf8(lastError()) : QString());
}

} // namespace

SharedPrinter::SharedPrinter() : m_discovery([] { return QPrinterInfo::defaultPrinter(); })
{
    m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
}

SharedPrinter::~SharedPrinter()
{
    if (m_job)
        abortDoc();
}

void SharedPrinter::setDiscovery(Discovery discovery)
{
    m_discovery = discovery ? std::move(discovery) : [] { return QPrinterInfo::defaultPrinter(); };
}

void SharedPrinter::SelectPaper(const QString& paper, const QString& orientation)
{
    const QPrinterInfo info = m_discovery();
    m_hasPrinter = !info.isNull();
    m_printerName = m_hasPrinter ? info.printerName() : QString();
    // A fresh object: setPrinterName on the old one would keep its paper and orientation.
    std::unique_ptr<QPrinter> p = m_hasPrinter ? std::make_unique<QPrinter>(info, QPrinter::HighResolution)
                                               : std::make_unique<QPrinter>(QPrinter::HighResolution);
    // Without a printer Qt makes a PDF printer with no file; say so ourselves
    // rather than rely on it (a running spooler found later must not change it).
    if (!m_hasPrinter)
        p->setOutputFormat(QPrinter::PdfFormat);
    if (paper == QStringLiteral("A4"))
        p->setPageSize(QPageSize(QPageSize::A4));
    if (orientation == QStringLiteral("縦"))
        p->setPageOrientation(QPageLayout::Portrait);
    else if (orientation == QStringLiteral("横"))
        p->setPageOrientation(QPageLayout::Landscape);
    QPageLayout layout = p->pageLayout();
    layout.setMargins(layout.minimumMargins());
    p->setPageLayout(layout);
    m_printer = std::move(p);
}

PrinterFigures SharedPrinter::figures() const
{
    PrinterFigures f;
    const QRect paper = m_printer->paperRect(QPrinter::DevicePixel).toRect();
    const QRect page = m_printer->pageRect(QPrinter::DevicePixel).toRect();
    f.sheet = paper.size();
    f.offset = page.topLeft() - paper.topLeft();
    f.page = page.size();
    f.resolution = m_printer->logicalDpiY();
    return f;
}

void SharedPrinter::PrinterSetupDialog1(QWidget* parent)
{
    const bool installed = !m_discovery().isNull();
    // A printer installed since the last preset: set that one up, not the PDF stand-in.
    if (installed && !m_hasPrinter)
        SelectPaper(QStringLiteral("A4"), QStringLiteral("縦"));
    runPrinterSetup(*m_printer, installed, parent);
}

QString SharedPrinter::newSpoolFile()
{
    // The document is nobody else's to read.
    m_spoolDir = std::make_unique<QTemporaryDir>(QDir::temp().filePath(QStringLiteral("morvane-job-XXXXXX")));
    if (!m_spoolDir->isValid()) {
        m_error = QStringLiteral("cannot create a spool folder in %1: %2")
                      .arg(QDir::tempPath(), m_spoolDir->errorString());
        m_spoolDir.reset();
        return QString();
    }
    return m_spoolDir->filePath(QStringLiteral("job.pdf"));
}

bool SharedPrinter::beginDoc()
{
    if (m_job)
        abortDoc();
    m_error.clear();
    m_drawn = false;
    if (m_hasPrinter) {
        m_jobFile = newSpoolFile();
        if (m_jobFile.isEmpty())
            return false;
    } else {
        m_jobFile = reservePdfFile(pdfOutputFolder(), m_title, &m_error);
        if (m_jobFile.isEmpty())
            return false;
    }
    m_file = std::make_unique<WholeFile>(m_jobFile);
    if (!m_file->open()) {
        m_error = m_file->errorText();
        dropJobFiles();
        return false;
    }
    m_job = std::make_unique<QPdfWriter>(m_file.get());
    m_job->setPageLayout(m_printer->pageLayout());
    m_job->setResolution(m_printer->resolution()); // before begin, or it is ignored
    m_job->setTitle(m_title);
    m_job->setCreator(QStringLiteral("Morvane"));
    if (!m_painter.begin(m_job.get())) {
        m_error = QStringLiteral("%1: cannot start the PDF document").arg(m_jobFile);
        return false;
    }
    m_canvas = std::make_unique<document::QPainterCanvas>(m_painter);
    m_canvas->startBlankPage();
    return true;
}

bool SharedPrinter::newPage()
{
    if (!m_job || !m_painter.isActive())
        return false;
    if (!m_job->newPage()) {
        m_error = QStringLiteral("cannot start a new page");
        return false;
    }
    m_canvas->startBlankPage();
    return true;
}

document::ICanvas& SharedPrinter::canvas()
{
    m_drawn = true;
    return *m_canvas;
}

int SharedPrinter::resolution() { return m_job ? m_job->logicalDpiY() : m_printer->logicalDpiY(); }

void SharedPrinter::finishJob()
{
    m_canvas.reset();
    if (m_painter.isActive())
        m_painter.end();
    m_job.reset();
}

void SharedPrinter::dropJobFiles()
{
    if (m_file)
        m_file->discard();
    m_file.reset();
    // The name reserved for a PDF with no printer is empty until the job is whole.
    if (!m_hasPrinter && !m_jobFile.isEmpty())
        QFile::remove(m_jobFile);
    m_spoolDir.reset();
    m_jobFile.clear();
}

bool SharedPrinter::endDoc()
{
    if (!m_job || !m_painter.isActive())
        return false;
    m_canvas.reset();
    const bool ended = m_painter.end();
    m_job.reset();
    if (!ended) {
        m_error = QStringLiteral("%1: cannot finish the PDF document").arg(m_jobFile);
        dropJobFiles();
        return false;
    }
    // A job with no page drawn prints no blank sheet and leaves no file.
    if (!m_drawn) {
        dropJobFiles();
        return true;
    }
    if (!m_file->commit()) {
        m_error = m_file->errorText();
        dropJobFiles();
        return false;
    }
    m_file.reset();
    const QString file = m_jobFile;
    if (!m_hasPrinter) {
        m_jobFile.clear();
        m_written << file;
        return true;
    }
    m_error = submitToCups(m_printerName, file, m_title, m_printer->pageLayout());
    dropJobFiles();
    return m_error.isEmpty();
}

bool SharedPrinter::printPdfJob(const std::function<bool(const QString& path, QString* error)>& write)
{
    if (m_job)
        abortDoc();
    m_error.clear();
    QString file;
    if (m_hasPrinter) {
        file = newSpoolFile();
        if (file.isEmpty())
            return false;
    } else {
        file = reservePdfFile(pdfOutputFolder(), m_title, &m_error);
        if (file.isEmpty())
            return false;
    }
    if (!write(file, &m_error)) {
        if (m_hasPrinter)
            m_spoolDir.reset();
        else
            QFile::remove(file);
        return false;
    }
    if (!m_hasPrinter) {
        m_written << file;
        return true;
    }
    m_error = submitToCups(m_printerName, file, m_title, m_printer->pageLayout());
    m_spoolDir.reset();
    return m_error.isEmpty();
}

void SharedPrinter::abortDoc()
{
    finishJob();
    dropJobFiles();
}

SharedPrinter& Printer()
{
    // Never destroyed: a QPrinter must not outlive the application's plugins
    // in a static destructor.
    static SharedPrinter* printer = new SharedPrinter;
    return *printer;
}

QString pdfFilesWrittenText(const QString& folder, int count)
{
    // Short paragraphs: a box that wraps a long one may part the count from its 件.
    return QStringLiteral("プリンターが見つからないため、") + QStringLiteral("\n\r")
           + QStringLiteral("仕様書をPDFファイルに出力しました（%1件）。").arg(count) + QStringLiteral("\n\r")
           + QStringLiteral("出力先：") + QDir::toNativeSeparators(folder);
}

PrintRunScope::PrintRunScope()
{
    SharedPrinter& p = Printer();
    if (p.m_runDepth++ == 0) {
        p.m_written.clear();
        m_shaping = std::make_unique<document::ShapingScope>();
    }
}

PrintRunScope::~PrintRunScope()
{
    SharedPrinter& p = Printer();
    if (--p.m_runDepth > 0 || p.m_written.isEmpty())
        return;
    const QString folder = QFileInfo(p.m_written.last()).absolutePath();
    const int count = int(p.m_written.size());
    try {
        platform::messages().show(MessageKind::Information, pdfFilesWrittenText(folder, count));
    } catch (...) {
        // A box that cannot be shown must not end the program while unwinding.
    }
}

} // namespace morvane::output
