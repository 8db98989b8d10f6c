#pragma once
// The headless document renderer behind morvane-doc: options, and one run
// that logs on, loads each object as the print-all run does and writes its
// document to files.
#include <QPageLayout>
#include <QString>
#include <QStringList>

class QTextStream;

namespace morvane::output {

enum class DocFormat { Pdf, Png, Csv, Xlsx };

struct DocOptions {
    QString server;
    QString user;
    QString owner;
    QStringList objects; // empty: every object of the owner
    DocFormat format = DocFormat::Pdf;
    int dpi = 0; // 0: 96 for PNG, 600 for PDF
    QString outDir;
    bool help = false;
    bool tableList = false; // csv: the owner's table list instead of column lists
    QString encoding;       // csv: "auto", "cp932", "utf8"; empty: the stored choice
    bool oneFile = false;   // pdf: DIR/OWNER.pdf with contents, outline and links
    int jobs = 0;           // threads that draw and write; 0: one per core
};

// Exit statuses of the command.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// Parses the arguments after the program name; false with a reason on a usage error.
bool parseDocArguments(const QStringList& args, DocOptions* options, QString* error);
QString docUsage();

// The text with control characters written as escapes (\\n, \\x1b), for terminal lines.
QString printable(const QString& text);

// Renders every requested object on sheets of the layout; messages and
// progress go to err.
int runDocRenderer(const DocOptions& options, const QString& password, QTextStream& err,
                   const QPageLayout& layout);

} // namespace morvane::output
