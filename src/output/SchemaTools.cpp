#include "output/SchemaTools.h"
#include "output/ToolPassword.h"
#include "core/WholeFile.h"
#include "database/Connection.h"
#include "database/SchemaDiff.h"
#include "database/Snapshot.h"
#include "output/DocRenderCli.h"
#include "output/SchemaDiffWriter.h"
#include <QDateTime>
#include <QIODevice>
#include <QTextStream>

namespace morvane::output {

namespace {

// Options with a value, as "--name value" or "--name=value".
bool nextValue(const QStringList& args, int& i, const QString& name, QString* value, QString* error)
{
    const QString a = args.at(i);
    if (a.startsWith(name + QLatin1Char('=')))
        *value = a.mid(name.size() + 1);
    else if (i + 1 < args.size())
        *value = args.at(++i);
    if (value->isEmpty()) {
        *error = name + QStringLiteral(" needs a value");
        return false;
    }
    return true;
}

bool refusePassword(const QString& name, QString* error)
{
    if (name != QLatin1String("--password") && name != QLatin1String("--to-password"))
        return false;
    *error = QStringLiteral("a password is never taken from the command line; "
                            "set MORVANE_PASSWORD or type it on standard input");
    return true;
}

QString oneLine(const std::exception& e) { return printable(QString::fromUtf8(e.what()).simplified()); }

QString nowUtc()
{
    return QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss 'UTC'"));
}

} // namespace

QString snapshotUsage()
{
    return QStringLiteral(
        "usage: morvane-snapshot --server NAME --user USER --owner OWNER [--owner OWNER]... --out FILE.db\n"
        "The password is taken from MORVANE_PASSWORD, else read from standard input; it is not stored.\n"
        "The file opens as an embedded dictionary (user SYS, password DEMO): put it in the data folder\n"
        "and log on to its name without .db.\n");
}

bool parseSnapshotArguments(const QStringList& args, SnapshotOptions* o, QString* error)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString a = args.at(i);
        const QString name = a.section(QLatin1Char('='), 0, 0);
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o->help = true;
            return true;
        }
        if (refusePassword(name, error))
            return false;
        QString value;
        if (name == QLatin1String("--server") || name == QLatin1String("--user")
            || name == QLatin1String("--owner") || name == QLatin1String("--out")) {
            if (!nextValue(args, i, name, &value, error))
                return false;
        } else {
            *error = QStringLiteral("unknown argument %1").arg(a);
            return false;
        }
        if (name == QLatin1String("--server"))
            o->server = value.toUpper();
        else if (name == QLatin1String("--user"))
            o->user = value.toUpper();
        else if (name == QLatin1String("--out"))
            o->out = value;
        else if (!o->owners.contains(value))
            o->owners << value;
    }
    const QString firstOwner = o->owners.value(0);
    *error = missingOptions(
        {{"--server", &o->server}, {"--user", &o->user}, {"--owner", &firstOwner}, {"--out", &o->out}});
    if (!error->isEmpty())
        return false;
    return true;
}

int runSnapshot(const SnapshotOptions& o, const QString& password, QTextStream& err)
{
    Connection source;
    source.setLogon({o.server, o.user, password});
    try {
        source.open();
    } catch (const std::exception& e) {
        err << "morvane-snapshot: logon to " << printable(o.server) << " as " << printable(o.user)
            << " failed: " << oneLine(e) << Qt::endl;
        return 1;
    }
    try {
        const SnapshotReport r = takeSnapshot(source, o.owners, o.out);
        err << "morvane-snapshot: " << printable(o.out) << ": " << r.objects << " objects of "
            << printable(o.owners.join(' ')) << ", " << r.rows << " rows, " << r.statements << " statements"
            << Qt::endl;
        return 0;
    } catch (const std::exception& e) {
        err << "morvane-snapshot: " << oneLine(e) << Qt::endl;
        return 1;
    }
}

QString diffUsage()
{
    return QStringLiteral(
        "usage: morvane-diff --from A --to B --owner OWNER --user USER [--to-user USER2]\n"
        "                    [--format text|csv|pdf] [--out PATH] [--storage]\n"
        "A and B are server names: snapshots, the demo or live servers. The password is taken from\n"
        "MORVANE_PASSWORD, else read from standard input; with --to-user, B's from MORVANE_TO_PASSWORD,\n"
        "else the next line. Status: 0 nothing differs, 1 something does, 2 an error.\n"
        "text and csv go to standard output unless --out; pdf needs --out.\n");
}

bool parseDiffArguments(const QStringList& args, DiffOptions* o, QString* error)
{
    QString format;
    for (int i = 0; i < args.size(); ++i) {
        const QString a = args.at(i);
        const QString name = a.section(QLatin1Char('='), 0, 0);
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o->help = true;
            return true;
        }
        if (a == QLatin1String("--storage")) {
            o->storage = true;
            continue;
        }
        if (refusePassword(name, error))
            return false;
        static const QStringList known = {"--from",    "--to",     "--owner", "--user",
                                          "--to-user", "--format", "--out"};
        if (!known.contains(name)) {
            *error = QStringLiteral("unknown argument %1").arg(a);
            return false;
        }
        QString value;
        if (!nextValue(args, i, name, &value, error))
            return false;
        if (name == QLatin1String("--from"))
            o->from = value.toUpper();
        else if (name == QLatin1String("--to"))
            o->to = value.toUpper();
        else if (name == QLatin1String("--owner"))
            o->owner = value;
        else if (name == QLatin1String("--user"))
            o->user = value.toUpper();
        else if (name == QLatin1String("--to-user"))
            o->toUser = value.toUpper();
        else if (name == QLatin1String("--format"))
            format = value;
        else
            o->out = value;
    }
    *error = missingOptions(
        {{"--from", &o->from}, {"--to", &o->to}, {"--owner", &o->owner}, {"--user", &o->user}});
    if (!error->isEmpty())
        return false;
    if (format.isEmpty() || format == QLatin1String("text"))
        o->format = DiffFormat::Text;
    else if (format == QLatin1String("csv"))
        o->format = DiffFormat::Csv;
    else if (format == QLatin1String("pdf"))
        o->format = DiffFormat::Pdf;
    else {
        *error = QStringLiteral("--format must be text, csv or pdf, not %1").arg(format);
        return false;
    }
    if (o->format == DiffFormat::Pdf && o->out.isEmpty()) {
        *error = QStringLiteral("--format pdf needs --out");
        return false;
    }
    return true;
}

int runDiff(const DiffOptions& o, const QString& password, const QString& toPassword, QIODevice& out,
            QTextStream& err)
{
    DiffSide sides[2];
    SchemaModel models[2];
    const QString servers[2] = {o.from, o.to};
    const QString users[2] = {o.user, o.toUser.isEmpty() ? o.user : o.toUser};
    const QString passwords[2] = {password, o.toUser.isEmpty() ? password : toPassword};
    for (int s = 0; s < 2; ++s) {
        Connection c;
        c.setLogon({servers[s], users[s], passwords[s]});
        try {
            c.open();
        } catch (const std::exception& e) {
            err << "morvane-diff: logon to " << printable(servers[s]) << " as " << printable(users[s])
                << " failed: " << oneLine(e) << Qt::endl;
            return kDiffError;
        }
        try {
            sides[s] = {servers[s], users[s], nowUtc(), readSnapshotInfo(c)};
            models[s] = readSchema(c, o.owner);
        } catch (const std::exception& e) {
            err << "morvane-diff: " << printable(servers[s]) << ": " << oneLine(e) << Qt::endl;
            return kDiffError;
        }
    }
    const QVector<SchemaChange> changes = compareSchemas(models[0], models[1], o.storage);
    const int status = changes.isEmpty() ? kDiffSame : kDiffDiffers;
    QString why;
    if (o.format == DiffFormat::Pdf) {
        if (!writeDiffPdf(changes, o.owner, sides[0], sides[1], o.out, &why)) {
            err << "morvane-diff: " << printable(why) << Qt::endl;
            return kDiffError;
        }
        return status;
    }
    const QByteArray bytes = o.format == DiffFormat::Csv
                                 ? diffCsv(changes)
                                 : diffText(changes, o.owner, sides[0], sides[1]).toUtf8();
    if (!o.out.isEmpty()) {
        if (!writeWholeFile(o.out, bytes, &why)) {
            err << "morvane-diff: " << printable(why) << Qt::endl;
            return kDiffError;
        }
    } else if (out.write(bytes) != bytes.size()) {
        err << "morvane-diff: cannot write the output: " << out.errorString() << Qt::endl;
        return kDiffError;
    }
    return status;
}

} // namespace morvane::output
