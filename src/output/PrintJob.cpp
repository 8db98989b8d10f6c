#include "output/PrintJob.h"
#include "core/WholeFile.h"
#include "document/DocumentData.h"
#include "output/DocRender.h"
#include "output/PageOutput.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <exception>

namespace morvane::output {

bool printDocument(IPrintJob& job, const document::DocumentData& d, int range)
{
    // A synonym's job carries its own name, not its target's: its file or queue entry is its own.
    job.setTitle(documentTitle(d.isSynonym ? d.synonymName : d.tableName));
    if (!job.beginDoc()) {
        job.abortDoc();
        return false;
    }
    try {
        const int first = range == RangeAllPages ? 1 : 2;
        const int last = document::documentPageCount(d);
        for (int page = first; page <= last; ++page) {
            if (page > first && !job.newPage()) {
                job.abortDoc();
                return false;
            }
            // A failed page has shown its warning; the job goes on.
            drawPageReporting(job.canvas(), job.resolution(), page, d);
        }
        if (!job.endDoc()) {
            job.abortDoc();
            return false;
        }
    } catch (const std::exception&) {
        job.abortDoc();
        return false;
    }
    return true;
}

QString pdfOutputFolder()
{
    const QString env = qEnvironmentVariable("MORVANE_PDF_DIR");
    if (!env.isEmpty())
        return QDir::cleanPath(env);
    QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (docs.isEmpty())
        docs = QDir::homePath();
    return QDir(docs).filePath(QStringLiteral("Morvane"));
}

QString reservePdfFile(const QString& folder, const QString& title, QString* error)
{
    const auto refused = [&](const QString& path, const QString& reason) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason);
        return QString();
    };
    QString reason;
    if (!makeFolder(folder, &reason)) {
        if (error)
            *error = reason;
        return QString();
    }
    const QString base = fileNameSafe(title);
    for (int n = 1; n < 10000; ++n) {
        const QString name =
            n == 1 ? base + QStringLiteral(".pdf") : QStringLiteral("%1 (%2).pdf").arg(base).arg(n);
        const QString path = QDir(folder).filePath(name);
        QFile f(path);
        // NewOnly: an existing file is never opened, so never overwritten.
        if (f.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return path;
        // A link, even one pointing nowhere, takes the name too.
        if (!f.exists() && !QFileInfo(path).isSymLink())
            return refused(path, f.errorString()); // not a name clash: the folder refuses files
    }
    return refused(folder, systemErrorText(EEXIST));
}

} // namespace morvane::output
