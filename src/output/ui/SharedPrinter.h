#pragma once
// The program's one printer object over Qt's printing: the paper preset, the
// figures of the current sheet, the job operations and the printer setup
// dialog. With no printer installed, jobs become PDF files in a folder.
#include "output/PreviewLayout.h"
#include "output/PrintJob.h"
#include <QPainter>
#include <QPrinterInfo>
#include <QStringList>
#include <functional>
#include <memory>

class QPdfWriter;
class QPrinter;
class QTemporaryDir;
class QWidget;

namespace morvane {
class WholeFile;
}

namespace morvane::document {
class QPainterCanvas;
class ShapingScope;
} // namespace morvane::document

namespace morvane::output {

class SharedPrinter : public IPrintJob {
public:
    using Discovery = std::function<QPrinterInfo()>;
    SharedPrinter();
    ~SharedPrinter() override;

    // The system's default printer with its own defaults (earlier choices are
    // dropped), then "A4" and "縦"/"横" set explicitly; the printable area is
    // the printer's own, without Qt's default margins.
    void SelectPaper(const QString& paper, const QString& orientation);

    // False when no printer was found at the last preset: jobs then go to PDF files.
    bool hasPrinter() const { return m_hasPrinter; }
    QString printerName() const { return m_printerName; }
    QPrinter& printer() { return *m_printer; }
    PrinterFigures figures() const;

    // The platform's print setup dialog on this printer; its result is not examined.
    void PrinterSetupDialog1(QWidget* parent);

    // The job.
    void setTitle(const QString& title) override { m_title = title; }
    QString title() const { return m_title; }
    bool beginDoc() override;
    bool newPage() override;
    bool endDoc() override;
    void abortDoc() override;
    document::ICanvas& canvas() override;
    int resolution() override;
    QString lastError() const { return m_error; }

    // A job that write draws itself as a whole PDF file at the path it is
    // given: the spool file handed to the printer, or the output file when
    // there is no printer. False with lastError() when it fails.
    bool printPdfJob(const std::function<bool(const QString& path, QString* error)>& write);

    // PDF files written since the outermost print run began.
    const QStringList& writtenFiles() const { return m_written; }

    // Tests decide which printer is the default (a null info: no printer).
    void setDiscovery(Discovery discovery);

private:
    friend class PrintRunScope;
    void finishJob();
    void dropJobFiles();
    // A file in a new folder only this user can enter; empty with m_error when it cannot be made.
    QString newSpoolFile();

    Discovery m_discovery;
    std::unique_ptr<QPrinter> m_printer;
    bool m_hasPrinter = false;
    QString m_printerName;
    QString m_title;
    QString m_error;
    // The job draws into a PDF file: the spool file handed to the printer at
    // the end, or the output file itself when there is no printer. It takes
    // its name only when whole, so an aborted or failed job leaves nothing.
    std::unique_ptr<WholeFile> m_file;
    std::unique_ptr<QPdfWriter> m_job;
    QPainter m_painter;
    std::unique_ptr<document::QPainterCanvas> m_canvas;
    QString m_jobFile;
    // The spool file's private folder (removed with it).
    std::unique_ptr<QTemporaryDir> m_spoolDir;
    bool m_drawn = false;
    int m_runDepth = 0;
    QStringList m_written;
};

// The shared printer object of the program.
SharedPrinter& Printer();

// One print command (a single print, a print-all or a multi-print): when it
// ends, the user is told once where PDF files went, if any were written.
class PrintRunScope {
public:
    PrintRunScope();
    ~PrintRunScope();
    PrintRunScope(const PrintRunScope&) = delete;
    PrintRunScope& operator=(const PrintRunScope&) = delete;

private:
    // The outermost scope's: every job of the command shapes a recurring text once.
    std::unique_ptr<document::ShapingScope> m_shaping;
};

// The text of that information box.
QString pdfFilesWrittenText(const QString& folder, int count);

} // namespace morvane::output
