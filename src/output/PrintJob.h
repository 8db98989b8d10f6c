#pragma once
// One print job of one object's document: which pages, in which order, with
// page breaks only between pages; and where jobs go as PDF files when there
// is no printer. Knows no window: the caller shows the boxes.
#include "document/Canvas.h"
#include <QString>

namespace morvane::document {
struct DocumentData;
}

namespace morvane::output {

// Indexes of the range dialog's items.
enum PrintRange { RangeAllPages = 0, RangeFromSecondPage = 1 };

// The device side of a job (the shared printer, or a test's double).
class IPrintJob {
public:
    virtual ~IPrintJob() = default;
    virtual void setTitle(const QString& title) = 0;
    virtual bool beginDoc() = 0;
    virtual bool newPage() = 0;
    virtual bool endDoc() = 0;
    virtual void abortDoc() = 0;
    virtual document::ICanvas& canvas() = 0;
    virtual int resolution() = 0; // vertical dots per inch, read before each page
};

// Prints the document as one job titled documentTitle(name). A page that fails
// to draw shows its own warning and the job goes on; a failure of the job
// itself (begin, page break, end, or an exception from a page) aborts it and
// returns false.
bool printDocument(IPrintJob& job, const document::DocumentData& d, int range);

// Folder for jobs written as PDF files: $MORVANE_PDF_DIR, else "Morvane" in the
// user's documents folder.
QString pdfOutputFolder();
// A new, empty file in folder named after the title (" (2)", " (3)" … when the
// name is taken); empty, with the system's reason in *error, when the folder
// or the file cannot be created.
QString reservePdfFile(const QString& folder, const QString& title, QString* error = nullptr);

} // namespace morvane::output
