#include "output/DocRenderCli.h"
#include "output/ToolPassword.h"
#include "core/AppState.h"
#include "core/Platform.h"
#include "core/Winplace.h"
#include "database/DataModule.h"
#include "database/ObjectRun.h"
#include "database/Statements.h"
#include "document/QPainterCanvas.h"
#include "output/DocCsv.h"
#include "output/DocRender.h"
#include "output/OrderedJobs.h"
#include "output/OwnerDocument.h"
#include "output/Workbook.h"
#include "document/PageGeometry.h"
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
        return buttons == MessageButtons::YesNo      ? MessageResult::No
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

namespace {

// Option values checked only once every argument has been read.
struct DeferredValues {
    QString format;
    QString dpi;
    QString jobs;
};

bool readDocArguments(const QStringList& args, DocOptions* o, DeferredValues* later, QString* error)
{
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
        static const QStringList known = {"--server", "--user", "--owner",    "--object", "--format",
                                          "--dpi",    "--out",  "--encoding", "--jobs"};
        if (!known.contains(name)) {
            *error = QStringLiteral("unknown argument %1").arg(a);
            return false;
        }
        if (!takeValue(args, i, name, &value, error))
            return false;
        if (name == QLatin1String("--server"))
            o->server = value;
        else if (name == QLatin1String("--user"))
            o->user = value;
        else if (name == QLatin1String("--owner"))
            o->owner = value;
        else if (name == QLatin1String("--object")) {
            if (!o->objects.contains(value))
                o->objects << value;
        } else if (name == QLatin1String("--format"))
            later->format = value;
        else if (name == QLatin1String("--dpi"))
            later->dpi = value;
        else if (name == QLatin1String("--out"))
            o->outDir = value;
        else if (name == QLatin1String("--encoding"))
            o->encoding = value;
        else if (name == QLatin1String("--jobs"))
            later->jobs = value;
    }
    return true;
}

// The format and the options that go only with some formats.
bool checkFormat(const QString& format, DocOptions* o, QString* error)
{
    if (format == QLatin1String("pdf"))
        o->format = DocFormat::Pdf;
    else if (format == QLatin1String("png"))
        o->format = DocFormat::Png;
    else if (format == QLatin1String("csv"))
        o->format = DocFormat::Csv;
    else if (format == QLatin1String("xlsx"))
        o->format = DocFormat::Xlsx;
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
    return true;
}

// A whole number within [low, high] into *out, when the option was given at all.
bool takeNumber(const QString& option, const QString& text, int low, int high, int* out, QString* error)
{
    if (text.isEmpty())
        return true;
    bool ok = false;
    *out = text.toInt(&ok);
    if (ok && *out >= low && *out <= high)
        return true;
    *error = QStringLiteral("%1 must be a whole number from %2 to %3, not %4")
                 .arg(option)
                 .arg(low)
                 .arg(high)
                 .arg(text);
    return false;
}

} // namespace

bool parseDocArguments(const QStringList& args, DocOptions* o, QString* error)
{
    DeferredValues later;
    if (!readDocArguments(args, o, &later, error))
        return false;
    if (o->help)
        return true;
    *error = missingOptions({{"--server", &o->server},
                             {"--user", &o->user},
                             {"--owner", &o->owner},
                             {"--format", &later.format},
                             {"--out", &o->outDir}});
    if (!error->isEmpty() || !checkFormat(later.format, o, error))
        return false;
    // Below 58 dpi the pitches no longer hold; above 2400 a sheet is over 500 MB.
    if (!takeNumber(QStringLiteral("--jobs"), later.jobs, 1, 64, &o->jobs, error)
        || !takeNumber(QStringLiteral("--dpi"), later.dpi, 58, 2400, &o->dpi, error))
        return false;
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
    QSet<QString> m_used; // case-folded: some file systems ignore case
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

// The chosen step of a run that writes one file: names each object on err
// ("[i/n] OWNER.NAME") and in the messages it causes; label follows it.
std::function<void(const CatalogRow&)> announceEach(const DocOptions& o, int total, StderrMessages& messages,
                                                    QTextStream& err, QString& label)
{
    return [&o, total, &messages, &err, &label, index = 0](const CatalogRow& row) mutable {
        label = o.owner + QLatin1Char('.') + row.name;
        if (total > 1)
            err << "[" << ++index << "/" << total << "] " << printable(label) << Qt::endl;
        messages.begin(label);
    };
}

// One workbook for all chosen objects, written only when whole. An object
// that fails is left out and counted; the others are still written.
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
    steps.chosen = announceEach(o, int(work.size()), messages, err, label);
    steps.act = [&](const CatalogRow& row) {
        QString sheet;
        if (!book.addObject({row.name, row.type, row.comment},
                            document::documentDataFrom(session, dm.loaded()), &sheet, &why)) {
            err << "morvane-doc: " << printable(label) << ": " << printable(why) << Qt::endl;
            return false;
        }
        if (sheet != row.name)
            err << "morvane-doc: " << printable(label) << ": sheet named " << printable(sheet) << Qt::endl;
        return messages.count() == 0;
    };
    // Once the file has failed, loading the other objects is of no use.
    const RowSource rows = listRows(work);
    const ObjectRunResult result = runPerObject(
        dm, o.owner, [&](CatalogRow& row) { return !book.spoiled() && rows(row); }, steps);
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
    steps.chosen = announceEach(o, int(work.size()), messages, err, label);
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
        if (!doc.addObject(entry, document::documentDataFrom(session, dm.loaded()), pageFailed, &ok, &why))
            throw OneFileLost(why.toStdString());
        return ok;
    };
    int failed = 0;
    try {
        failed = runPerObject(dm, o.owner, listRows(work), steps).failed;
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

// One file (or one PNG a page) per object. With more than one job the
// dictionary is still read here, in order; workers draw and write, and every
// line of an object waits for those of the objects before it.
class FilePerObjectRun {
public:
    FilePerObjectRun(TDataModule2& dm, Session& session, StderrMessages& messages, const DocOptions& o,
                     const QVector<CatalogRow>& work, QTextStream& err, const QPageLayout& layout, int dpi)
        : m_dm(dm), m_session(session), m_messages(messages), m_o(o), m_work(work), m_err(err),
          m_layout(layout), m_dpi(dpi), m_out(o.outDir), m_held(&m_pending)
    {
        const int jobs = o.format == DocFormat::Csv ? 1 : (o.jobs > 0 ? o.jobs : QThread::idealThreadCount());
        if (jobs > 1) {
            m_pool = std::make_unique<OrderedJobs>(jobs,
                                                   [&err](const QString& text) { err << text << Qt::flush; });
            m_messages.redirect(m_held);
        }
    }

    // The number of objects that failed.
    int run()
    {
        ObjectRunSteps steps;
        steps.chosen = [this](const CatalogRow& row) { chosen(row); };
        steps.act = [this](const CatalogRow& row) { return act(row); };
        ObjectRunResult result;
        try {
            result = runPerObject(m_dm, m_o.owner, listRows(m_work), steps);
        } catch (...) {
            if (m_pool)
                m_pool->finish();
            throw;
        }
        int workerFailures = 0;
        if (m_pool) {
            if (!m_pending.isEmpty())
                handOn({});
            workerFailures = m_pool->finish();
            m_messages.redirect(m_err);
        }
        m_messages.begin(QString());
        return result.failed + workerFailures;
    }

private:
    QTextStream& say() { return m_pool ? m_held : m_err; }

    void handOn(OrderedJobs::Task task)
    {
        m_held.flush();
        m_pool->add(std::exchange(m_pending, QString()), std::move(task));
    }

    void chosen(const CatalogRow& row)
    {
        // What an object that could not be loaded said.
        if (m_pool && !m_pending.isEmpty())
            handOn({});
        m_label = m_o.owner + QLatin1Char('.') + row.name;
        if (m_work.size() > 1)
            say() << "[" << ++m_index << "/" << m_work.size() << "] " << printable(m_label) << Qt::endl;
        m_messages.begin(m_label);
    }

    bool act(const CatalogRow& row)
    {
        const QString base = m_names.take(m_o.owner, row.name);
        if (base != fileNameSafe(m_o.owner) + QLatin1Char('.') + fileNameSafe(row.name))
            say() << "morvane-doc: " << printable(m_label)
                  << ": file name taken by another object; written as " << printable(base) << Qt::endl;
        if (m_o.format == DocFormat::Csv)
            return writeCsv(base);
        OrderedJobs::Task task = documentTask(base);
        if (!m_pool)
            return task(m_err);
        handOn(std::move(task));
        return true;
    }

    bool writeCsv(const QString& base)
    {
        QString why;
        const bool written = writeColumnListCsv(m_dm, m_out.filePath(base + QStringLiteral(".CSV")),
                                                csvCharsetOf(m_o, m_session), &why);
        if (!written)
            say() << "morvane-doc: " << printable(m_label) << ": " << printable(why) << Qt::endl;
        return written && m_messages.count() == 0;
    }

    // Drawing and writing one object's pages, from a copy of what was loaded.
    OrderedJobs::Task documentTask(const QString& base)
    {
        const bool quiet = m_messages.count() == 0;
        return [&o = m_o, &out = m_out, &layout = m_layout, dpi = m_dpi, quiet, label = m_label, base,
                data = document::documentDataFrom(m_session, m_dm.loaded())](QTextStream& report) {
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
                written = writeDocumentPdf(data, out.filePath(base + QStringLiteral(".pdf")), layout, dpi,
                                           &why, pageFailed);
            } else {
                written = writeDocumentPng(
                    data, [&](int page) { return out.filePath(base + QStringLiteral("-%1.png").arg(page)); },
                    layout, dpi, &why, pageFailed);
            }
            if (!written)
                report << "morvane-doc: " << printable(label) << ": " << printable(why) << Qt::endl;
            return written && pageFailures == 0 && quiet;
        };
    }

    TDataModule2& m_dm;
    Session& m_session;
    StderrMessages& m_messages;
    const DocOptions& m_o;
    const QVector<CatalogRow>& m_work;
    QTextStream& m_err;
    const QPageLayout& m_layout;
    const int m_dpi;
    const QDir m_out;
    FileNames m_names;
    int m_index = 0;
    QString m_label;
    std::unique_ptr<OrderedJobs> m_pool;
    QString m_pending;
    QTextStream m_held;
};

bool logOn(TDataModule2& dm, const DocOptions& o, QTextStream& err)
{
    try {
        dm.connectWithCurrentValues();
        dm.AdjustColumnWidths();
        return true;
    } catch (const std::exception& e) {
        err << "morvane-doc: logon to " << printable(o.server) << " as " << printable(o.user)
            << " failed: " << printable(QString::fromUtf8(e.what()).simplified()) << Qt::endl;
        return false;
    }
}

// The owner's objects; false (said on err) when the owner is unknown or the
// catalog cannot be read.
bool readOwnerCatalog(TDataModule2& dm, const DocOptions& o, QVector<CatalogRow>& catalog, QTextStream& err)
{
    try {
        catalog = readCatalog(dm, o.owner);
        if (catalog.isEmpty() && !ownerExists(dm, o.owner)) {
            err << "morvane-doc: unknown owner " << printable(o.owner) << Qt::endl;
            return false;
        }
        return true;
    } catch (const std::exception& e) {
        err << "morvane-doc: cannot read the catalog of " << printable(o.owner) << ": "
            << printable(QString::fromUtf8(e.what()).simplified()) << Qt::endl;
        return false;
    }
}

bool makeOutputFolder(const DocOptions& o, QTextStream& err)
{
    QString why;
    if (ensureWritableFolder(o.outDir, &why))
        return true;
    err << "morvane-doc: " << printable(why) << Qt::endl;
    return false;
}

int writeTableList(TDataModule2& dm, const Session& session, const DocOptions& o, QTextStream& err)
{
    QString why;
    const QString path = QDir(o.outDir).filePath(fileNameSafe(o.owner) + QStringLiteral(".CSV"));
    if (writeTableListCsv(dm, o.owner, path, csvCharsetOf(o, session), &why))
        return kExitOk;
    err << "morvane-doc: " << printable(o.owner) << ": " << printable(why) << Qt::endl;
    return kExitFailed;
}

// The catalog rows the run works on: all, or those named by --object in the
// order given; each name not found is said on err and counted in failures.
QVector<CatalogRow> chooseWork(const DocOptions& o, const QVector<CatalogRow>& catalog, int& failures,
                               QTextStream& err)
{
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
    return work;
}

} // namespace

int runDocRenderer(const DocOptions& o, const QString& password, QTextStream& err, const QPageLayout& layout)
{
    // Installed first: nothing below may open a box.
    StderrMessages messages(err);
    Session session;
    readStoredSettings(session, err);
    session.settings.LAST_ALIAS = o.server;
    session.settings.U_LogOn = password;
    session.state.LogonUser = o.user;
    TDataModule2 dm(session);

    QVector<CatalogRow> catalog;
    // The folder is made only after these: a refused logon or an unknown
    // owner leaves no empty folder behind.
    if (!logOn(dm, o, err) || !readOwnerCatalog(dm, o, catalog, err) || !makeOutputFolder(o, err))
        return kExitFailed;
    if (o.tableList)
        return writeTableList(dm, session, o, err);

    int failures = 0;
    const QVector<CatalogRow> work = chooseWork(o, catalog, failures, err);
    if (o.format == DocFormat::Xlsx)
        return runWorkbook(dm, session, messages, o, work, failures, err);
    const int dpi = o.dpi > 0 ? o.dpi : (o.format == DocFormat::Png ? 96 : 600);
    const document::ShapingScope shaping;
    if (o.oneFile)
        failures += runOneFile(o, work, dm, session, messages, err, layout, dpi);
    else
        failures += FilePerObjectRun(dm, session, messages, o, work, err, layout, dpi).run();
    return failures == 0 ? kExitOk : kExitFailed;
}

} // namespace morvane::output
