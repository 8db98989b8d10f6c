#include "output/DocRenderCli.h"
#include "core/AppState.h"
#include "core/Platform.h"
#include "core/Winplace.h"
#include "database/DataModule.h"
#include "database/ObjectRun.h"
#include "database/Statements.h"
#include "output/DocCsv.h"
#include "output/DocRender.h"
#include "output/OrderedJobs.h"
#include "output/OwnerDocument.h"
#include "output/Workbook.h"
#include "document/PageGeometry.h"
#include "document/QPainterCanvas.h"
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QThread>
#include <QTextStream>
#include <QVector>
#include <algorithm>

namespace morvane::output {

QString printable(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u == '\n')
            out += QLatin1String("\\n");
        else if (u == '\r')
            out += QLatin1String("\\r");
        else if (u == '\t')
            out += QLatin1String("\\t");
        else if (u < 0x20 || u == 0x7f || (u >= 0x80 && u < 0xa0))
            out += QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
        else if (u == '\\')
            out += QLatin1String("\\\\");
        else
            out += c;
    }
    return out;
}

namespace {

// Boxes the page routines and the load would show: printed, and counted
// against the object in work.
class StderrMessages : public IMessageBoxes {
public:
    explicit StderrMessages(QTextStream& err) : m_err(&err) { m_previous = platform::setMessages(this); }
    ~StderrMessages() override { platform::setMessages(m_previous); }

    MessageResult show(MessageKind kind, const QString& text, MessageButtons buttons) override
    {
        QString line = text;
        line.replace(QLatin1String("\n\r"), QLatin1String(" ")).replace(QLatin1Char('\n'), QLatin1Char(' '));
        *m_err << "morvane-doc: " << (m_object.isEmpty() ? QString() : printable(m_object) + ": ")
              << platform::captionFor(kind) << ": " << printable(line) << Qt::endl;
        ++m_count;
        return buttons == MessageButtons::YesNo ? MessageResult::No
               : buttons == MessageButtons::OkCancel ? MessageResult::Cancel
                                                     : MessageResult::Ok;
    }
    void begin(const QString& object)
    {
        m_object = object;
        m_count = 0;
    }
    int count() const { return m_count; }
    // Where the lines go from now on.
    void redirect(QTextStream& to) { m_err = &to; }

private:
    QTextStream* m_err;
    IMessageBoxes* m_previous;
    QString m_object;
    int m_count = 0;
};

bool takeValue(const QStringList& args, int& i, const QString& option, QString* value, QString* error)
{
    const QString a = args.at(i);
    if (a.startsWith(option + QLatin1Char('='))) {
        *value = a.mid(option.size() + 1);
    } else if (i + 1 < args.size()) {
        *value = args.at(++i);
    } else {
        *error = option + QStringLiteral(" needs a value");
        return false;
    }
    if (value->isEmpty()) {
        *error = option + QStringLiteral(" needs a value");
        return false;
    }
    return true;
}

bool ensureWritableFolder(const QString& dir, QString* error)
{
    QString reason;
    if (!makeFolder(dir, &reason)) {
        *error = QStringLiteral("cannot create the output folder %1: %2").arg(dir, reason);
        return false;
    }
    // The permission bits do not tell everything (read-only mounts); try it.
    reason = folderRefusal(dir);
    if (!reason.isEmpty()) {
        *error = QStringLiteral("cannot write to the output folder %1: %2").arg(dir, reason);
        return false;
    }
    return true;
}

bool ownerExists(TDataModule2& dm, const QString& owner)
{
    // The owner list leaves out SYS and SYSTEM, which always exist.
    if (owner == QLatin1String("SYS") || owner == QLatin1String("SYSTEM"))
        return true;
    Query& q = dm.AQ_Owner;
    q.close();
    q.setSql(sql::ownerList());
    q.open();
    bool found = false;
    for (q.first(); !q.eof(); q.next())
        if (q.text(QStringLiteral("USERNAME")) == owner)
            found = true;
    q.close();
    return found;
}

QVector<CatalogRow> readCatalog(TDataModule2& dm, const QString& owner)
{
    Query& q = dm.openCatalog(TDataModule2::CatalogForm::AllObjects, owner);
    QVector<CatalogRow> rows;
    for (q.first(); !q.eof(); q.next())
        rows.push_back({q.text(QStringLiteral("TABLE_NAME")), q.text(QStringLiteral("TABLE_TYPE")),
                        q.text(QStringLiteral("COMMENTS"))});
    q.close();
    return rows;
}

} // namespace

QString docUsage()
{
    return QStringLiteral(
        "usage: morvane-doc --server NAME --user USER --owner OWNER [--object NAME]...\n"
        "                   --format pdf|png|csv|xlsx [--table-list] [--encoding auto|cp932|utf8]\n"
        "                   [--one-file] [--dpi N] [--jobs N] --out DIR\n"
        "The password is taken from MORVANE_PASSWORD, else read from standard input.\n"
        "pdf: DIR/OWNER.NAME.pdf (600 dpi unless --dpi); png: DIR/OWNER.NAME-PAGE.png (96 dpi unless --dpi).\n"
        "csv: DIR/OWNER.NAME.CSV, each object's column list; with --table-list DIR/OWNER.CSV, the table list.\n"
        "--encoding: auto (CP932 on Windows, else UTF-8 with a byte-order mark), cp932 (UTF-8 with a\n"
        "byte-order mark only where a text does not fit) or utf8; the program's stored choice unless given.\n"
        "xlsx: DIR/OWNER.xlsx, one workbook: the contents sheet 目次 and a sheet per object.\n"
        "--one-file (pdf): DIR/OWNER.pdf, contents pages first, then every object, with bookmarks.\n"
        "--jobs N: objects drawn and written on N threads (default: one per core).\n");
}

bool parseDocArguments(const QStringList& args, DocOptions* o, QString* error)
{
    QString format;
    QString dpi;
    QString jobs;
    for (int i = 0; i < args.size(); ++i) {
        const QString a = args.at(i);
        const QString name = a.section(QLatin1Char('='), 0, 0);
        QString value;
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o->help = true;
            return true;
        }
        if (a == QLatin1String("--table-list")) {
            o->tableList = true;
            continue;
        }
        if (a == QLatin1String("--one-file")) {
            o->oneFile = true;
            continue;
        }
        if (name == QLatin1String("--password")) {
            *error = QStringLiteral("the password is never taken from the command line; "
                                    "set MORVANE_PASSWORD or type it on standard input");
            return false;
        }
        static const QStringList known = {"--server", "--user", "--owner", "--object",
                                          "--format", "--dpi",  "--out", "--encoding", "--jobs"};
        if (!known.contains(name)) {
            *error = QStringLiteral("unknown argument %1").arg(a);
            return false;
        }
        if (!takeValue(args, i, name, &value, error))
            return false;
        if (name == QLatin1String("--server")) o->server = value;
        else if (name == QLatin1String("--user")) o->user = value;
        else if (name == QLatin1String("--owner")) o->owner = value;
        else if (name == QLatin1String("--object")) { if (!o->objects.contains(value)) o->objects << value; }
        else if (name == QLatin1String("--format")) format = value;
        else if (name == QLatin1String("--dpi")) dpi = value;
        else if (name == QLatin1String("--out")) o->outDir = value;
        else if (name == QLatin1String("--encoding")) o->encoding = value;
        else if (name == QLatin1String("--jobs")) jobs = value;
    }
    QStringList missing;
    if (o->server.isEmpty()) missing << "--server";
    if (o->user.isEmpty()) missing << "--user";
    if (o->owner.isEmpty()) missing << "--owner";
    if (format.isEmpty()) missing << "--format";
    if (o->outDir.isEmpty()) missing << "--out";
    if (!missing.isEmpty()) {
        *error = QStringLiteral("missing %1").arg(missing.join(", "));
        return false;
    }
    if (format == QLatin1String("pdf")) o->format = DocFormat::Pdf;
    else if (format == QLatin1String("png")) o->format = DocFormat::Png;
    else if (format == QLatin1String("csv")) o->format = DocFormat::Csv;
    else if (format == QLatin1String("xlsx")) o->format = DocFormat::Xlsx;
    else {
        *error = QStringLiteral("--format must be pdf, png, csv or xlsx, not %1").arg(format);
        return false;
    }
    if (o->tableList && (o->format != DocFormat::Csv || !o->objects.isEmpty())) {
        *error = QStringLiteral("--table-list goes with --format csv and without --object");
        return false;
    }
    static const QStringList encodings = {"auto", "cp932", "utf8"};
    if (!o->encoding.isEmpty()) {
        if (!encodings.contains(o->encoding)) {
            *error = QStringLiteral("--encoding must be auto, cp932 or utf8, not %1").arg(o->encoding);
            return false;
        }
        if (o->format != DocFormat::Csv) {
            *error = QStringLiteral("--encoding goes with --format csv");
            return false;
        }
    }
    if (o->oneFile && o->format != DocFormat::Pdf) {
        *error = QStringLiteral("--one-file goes with --format pdf");
        return false;
    }
    if (!jobs.isEmpty()) {
        bool ok = false;
        o->jobs = jobs.toInt(&ok);
        if (!ok || o->jobs < 1 || o->jobs > 64) {
            *error = QStringLiteral("--jobs must be a whole number from 1 to 64, not %1").arg(jobs);
            return false;
        }
    }
    if (!dpi.isEmpty()) {
        bool ok = false;
        o->dpi = dpi.toInt(&ok);
        // Below 58 the pitches no longer hold; above 2400 a sheet is over 500 MB.
        if (!ok || o->dpi < 58 || o->dpi > 2400) {
            *error = QStringLiteral("--dpi must be a whole number from 58 to 2400, not %1").arg(dpi);
            return false;
        }
    }
    // Oracle keeps unquoted names in upper case, and the logon fields take upper case.
    o->server = o->server.toUpper();
    o->user = o->user.toUpper();
    return true;
}

namespace {

// The file name of each object, unique within the run: two names that map to
// one file name (A/B and A_B) would otherwise overwrite each other.
class FileNames {
public:
    QString take(const QString& owner, const QString& name)
    {
        const QString base = fileNameSafe(owner) + QLatin1Char('.') + fileNameSafe(name);
        QString chosen = base;
        for (int k = 2; m_used.contains(chosen.toCaseFolded()); ++k)
            chosen = base + QStringLiteral("~%1").arg(k);
        m_used.insert(chosen.toCaseFolded());
        return chosen;
    }

private:
    QSet<QString> m_used;   // case-folded: some file systems ignore case
};

void readStoredSettings(Session& session, QTextStream& err)
{
    AppSettings stored;
    // Only read: a bad value is reported and left at its default, the file untouched.
    for (const QString& problem : SettingsStore().loadReadOnly(stored, QStringLiteral("TF_Main")))
        err << "morvane-doc: " << printable(problem) << Qt::endl;
    session.settings.PRINT_NAME = stored.PRINT_NAME;
    session.settings.MaxPageRow = stored.effectiveMaxPageRow();
    session.settings.CSV_ENCODING = stored.CSV_ENCODING;
}

// The option when given, else what the program's settings dialog stored.
CsvCharset csvCharsetOf(const DocOptions& o, const Session& session)
{
    if (o.encoding == QLatin1String("cp932"))
        return CsvCharset::Cp932;
    if (o.encoding == QLatin1String("utf8"))
        return CsvCharset::Utf8;
    if (o.encoding == QLatin1String("auto"))
        return CsvCharset::Automatic;
    return csvCharsetFromSetting(session.settings.CSV_ENCODING);
}

// The objects by type, then name, as the table list orders them; the names
// compare by their UTF-8 bytes, as the dictionary's binary sort does. (The
// table list form itself leaves out objects without a comment row, synonyms
// among them, so the rows are the all-objects form's.)
QVector<CatalogRow> tableListOrder(QVector<CatalogRow> rows)
{
    std::stable_sort(rows.begin(), rows.end(), [](const CatalogRow& a, const CatalogRow& b) {
        const QByteArray ta = a.type.toUtf8(), tb = b.type.toUtf8();
        return ta != tb ? ta < tb : a.name.toUtf8() < b.name.toUtf8();
    });
    return rows;
}

// One workbook for all chosen objects, written only when whole. An object
// that fails is left out and counted; the others are still written.
// The chosen step of a run that writes one file: names each object on err
// ("[i/n] OWNER.NAME") and in the messages it causes; label follows it.
std::function<void(const CatalogRow&)> announceEach(const DocOptions& o, int total, Session& session,
                                                    StderrMessages& messages, QTextStream& err, QString& label)
{
    return [&o, total, &session, &messages, &err, &label, index = 0](const CatalogRow& row) mutable {
        label = o.owner + QLatin1Char('.') + row.name;
        if (total > 1)
            err << "[" << ++index << "/" << total << "] " << printable(label) << Qt::endl;
        messages.begin(label);
        // The synonym step of an earlier object may have replaced the owner.
        session.settings.LAST_OWNER = o.owner;
    };
}

int runWorkbook(TDataModule2& dm, Session& session, StderrMessages& messages, const DocOptions& o,
                const QVector<CatalogRow>& chosen, int failures, QTextStream& err)
{
    const QVector<CatalogRow> work = tableListOrder(chosen);
    const QString path = QDir(o.outDir).filePath(fileNameSafe(o.owner) + QStringLiteral(".xlsx"));
    DefinitionWorkbook book(path);
    QString why;
    if (!book.open({o.owner, document::headerDateText(), session.settings.PRINT_NAME}, &why)) {
        err << "morvane-doc: " << printable(why) << Qt::endl;
        return kExitFailed;
    }
    QString label;
    ObjectRunSteps steps;
    steps.chosen = announceEach(o, int(work.size()), session, messages, err, label);
    steps.act = [&](const CatalogRow& row) {
        QString sheet;
        if (!book.addObject({row.name, row.type, row.comment}, document::documentDataFrom(session), &sheet,
                            &why)) {
            err << "morvane-doc: " << printable(label) << ": " << printable(why) << Qt::endl;
            return false;
        }
        if (sheet != row.name)
            err << "morvane-doc: " << printable(label) << ": sheet named " << printable(sheet) << Qt::endl;
        return messages.count() == 0;
    };
    // Once the file has failed, loading the other objects is of no use.
    const RowSource rows = listRows(work);
    const ObjectRunResult result =
        runPerObject(dm, [&](CatalogRow& row) { return !book.spoiled() && rows(row); }, steps);
    messages.begin(QString());
    if (!book.commit(&why)) {
        err << "morvane-doc: " << printable(why) << Qt::endl;
        return kExitFailed;
    }
    return failures + result.failed == 0 ? kExitOk : kExitFailed;
}

// A file that cannot be written ends a one-file run: nothing more can reach it.
struct OneFileLost : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Every object into DIR/OWNER.pdf; the number of objects that failed, plus
// one when the file could not be written.
int runOneFile(const DocOptions& o, QVector<CatalogRow> work, TDataModule2& dm, Session& session,
               StderrMessages& messages, QTextStream& err, const QPageLayout& layout, int dpi)
{
    sortForContents(work);
    const QString path = QDir(o.outDir).filePath(fileNameSafe(o.owner) + QStringLiteral(".pdf"));
    OwnerDocumentWriter doc(path, layout, dpi, o.owner, session.settings.PRINT_NAME);
    QString why;
    if (!doc.begin(&why)) {
        err << "morvane-doc: " << printable(why) << Qt::endl;
        return 1;
    }
    QString label;
    ObjectRunSteps steps;
    steps.chosen = announceEach(o, int(work.size()), session, messages, err, label);
    steps.loadFailed = [&](const CatalogRow& row) { doc.addFailed({row.name, row.type, row.comment}); };
    steps.act = [&](const CatalogRow& row) {
        const OwnerEntry entry{row.name, row.type, row.comment};
        if (messages.count() > 0) {
            doc.addFailed(entry);
            return false;
        }
        const PageFailureSink pageFailed = [&](int page, const document::PageResult& r) {
            QString text = r.message();
            text.replace(QLatin1String("\n\r"), QLatin1String(" "));
            err << "morvane-doc: " << printable(label) << ": page " << page << ": " << printable(text)
                << Qt::endl;
        };
        bool ok = false;
        if (!doc.addObject(entry, document::documentDataFrom(session), pageFailed, &ok, &why))
            throw OneFileLost(why.toStdString());
        return ok;
    };
    int failed = 0;
    try {
        failed = runPerObject(dm, listRows(work), steps).failed;
    } catch (const OneFileLost& e) {
        messages.begin(QString());
        err << "morvane-doc: " << printable(QString::fromStdString(e.what())) << Qt::endl;
        return failed + 1;
    }
    messages.begin(QString());
    if (!doc.finish(&why)) {
        err << "morvane-doc: " << printable(why) << Qt::endl;
        return failed + 1;
    }
    return failed;
}

} // namespace

int runDocRenderer(const DocOptions& o, const QString& password, QTextStream& err,
                   const QPageLayout& layout)
{
    QString why;
    // Installed first: nothing below may open a box.
    StderrMessages messages(err);
    Session session;
    readStoredSettings(session, err);
    session.settings.LAST_ALIAS = o.server;
    session.settings.U_LogOn = password;
    session.state.LogonUser = o.user;
    TDataModule2 dm(session);

    try {
        dm.connectWithCurrentValues();
        dm.AdjustColumnWidths();
    } catch (const std::exception& e) {
        err << "morvane-doc: logon to " << printable(o.server) << " as " << printable(o.user)
            << " failed: " << printable(QString::fromUtf8(e.what()).simplified()) << Qt::endl;
        return kExitFailed;
    }

    QVector<CatalogRow> catalog;
    try {
        catalog = readCatalog(dm, o.owner);
        if (catalog.isEmpty() && !ownerExists(dm, o.owner)) {
            err << "morvane-doc: unknown owner " << printable(o.owner) << Qt::endl;
            return kExitFailed;
        }
    } catch (const std::exception& e) {
        err << "morvane-doc: cannot read the catalog of " << printable(o.owner) << ": "
            << printable(QString::fromUtf8(e.what()).simplified()) << Qt::endl;
        return kExitFailed;
    }
    // Made only now: a refused logon or an unknown owner leaves no empty folder behind.
    if (!ensureWritableFolder(o.outDir, &why)) {
        err << "morvane-doc: " << printable(why) << Qt::endl;
        return kExitFailed;
    }

    if (o.tableList) {
        const QString path = QDir(o.outDir).filePath(fileNameSafe(o.owner) + QStringLiteral(".CSV"));
        if (writeTableListCsv(dm, o.owner, path, csvCharsetOf(o, session), &why))
            return kExitOk;
        err << "morvane-doc: " << printable(o.owner) << ": " << printable(why) << Qt::endl;
        return kExitFailed;
    }

    int failures = 0;
    QVector<CatalogRow> work;
    if (o.objects.isEmpty()) {
        work = catalog;
    } else {
        for (const QString& name : o.objects) {
            bool found = false;
            for (const auto& row : catalog)
                if (row.name == name) {
                    work.push_back(row);
                    found = true;
                }
            if (!found) {
                err << "morvane-doc: unknown object " << printable(o.owner + QLatin1Char('.') + name)
                    << Qt::endl;
                ++failures;
            }
        }
    }
    if (work.isEmpty() && failures == 0)
        err << "morvane-doc: " << printable(o.owner) << " has no tables, views or synonyms" << Qt::endl;
    if (o.format == DocFormat::Xlsx)
        return runWorkbook(dm, session, messages, o, work, failures, err);

    const int dpi = o.dpi > 0 ? o.dpi : (o.format == DocFormat::Png ? 96 : 600);
    const document::ShapingScope shaping;
    if (o.oneFile)
        return failures + runOneFile(o, work, dm, session, messages, err, layout, dpi) == 0 ? kExitOk
                                                                                           : kExitFailed;
    const QDir out(o.outDir);
    FileNames names;
    int index = 0;
    QString label;

    // With more than one job the dictionary is still read here, in order;
    // workers draw and write, and every line of an object waits for those
    // of the objects before it.
    const int jobs = o.format == DocFormat::Csv ? 1 : (o.jobs > 0 ? o.jobs : QThread::idealThreadCount());
    std::unique_ptr<OrderedJobs> pool;
    QString pending;
    QTextStream held(&pending);
    if (jobs > 1) {
        pool = std::make_unique<OrderedJobs>(jobs, [&err](const QString& text) { err << text << Qt::flush; });
        messages.redirect(held);
    }
    QTextStream& say = pool ? held : err;
    const auto handOn = [&](OrderedJobs::Task task) {
        held.flush();
        pool->add(std::exchange(pending, QString()), std::move(task));
    };

    ObjectRunSteps steps;
    steps.chosen = [&](const CatalogRow& row) {
        // What an object that could not be loaded said.
        if (pool && !pending.isEmpty())
            handOn({});
        label = o.owner + QLatin1Char('.') + row.name;
        if (work.size() > 1)
            say << "[" << ++index << "/" << work.size() << "] " << printable(label) << Qt::endl;
        messages.begin(label);
        // The synonym step of an earlier object may have replaced the owner.
        session.settings.LAST_OWNER = o.owner;
    };
    steps.act = [&](const CatalogRow& row) {
        const QString base = names.take(o.owner, row.name);
        if (base != fileNameSafe(o.owner) + QLatin1Char('.') + fileNameSafe(row.name))
            say << "morvane-doc: " << printable(label) << ": file name taken by another object; written as "
                << printable(base) << Qt::endl;
        if (o.format == DocFormat::Csv) {
            const bool written = writeColumnListCsv(dm, out.filePath(base + QStringLiteral(".CSV")),
                                                    csvCharsetOf(o, session), &why);
            if (!written)
                say << "morvane-doc: " << printable(label) << ": " << printable(why) << Qt::endl;
            return written && messages.count() == 0;
        }
        const bool quiet = messages.count() == 0;
        OrderedJobs::Task task = [&o, &out, &layout, dpi, quiet, label = label, base,
                                  data = document::documentDataFrom(session)](QTextStream& report) {
            int pageFailures = 0;
            const PageFailureSink pageFailed = [&](int page, const document::PageResult& r) {
                ++pageFailures;
                QString text = r.message();
                text.replace(QLatin1String("\n\r"), QLatin1String(" "));
                report << "morvane-doc: " << printable(label) << ": page " << page << ": " << printable(text)
                       << Qt::endl;
            };
            QString why;
            bool written = false;
            if (o.format == DocFormat::Pdf) {
                written = writeDocumentPdf(data, out.filePath(base + QStringLiteral(".pdf")), layout, dpi, &why,
                                           pageFailed);
            } else {
                written = writeDocumentPng(
                    data, [&](int page) { return out.filePath(base + QStringLiteral("-%1.png").arg(page)); },
                    layout, dpi, &why, pageFailed);
            }
            if (!written)
                report << "morvane-doc: " << printable(label) << ": " << printable(why) << Qt::endl;
            return written && pageFailures == 0 && quiet;
        };
        if (!pool)
            return task(err);
        handOn(std::move(task));
        return true;
    };
    ObjectRunResult result;
    try {
        result = runPerObject(dm, listRows(work), steps);
    } catch (...) {
        if (pool)
            pool->finish();
        throw;
    }
    int workerFailures = 0;
    if (pool) {
        if (!pending.isEmpty())
            handOn({});
        workerFailures = pool->finish();
        messages.redirect(err);
    }
    messages.begin(QString());
    return failures + result.failed + workerFailures == 0 ? kExitOk : kExitFailed;
}

} // namespace morvane::output
