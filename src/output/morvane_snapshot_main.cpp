// morvane-snapshot: copies owners' dictionaries from a server into an
// embedded dictionary file, to be documented and compared offline.
#include "output/SchemaTools.h"
#include <QCoreApplication>
#include <QTextStream>

using namespace morvane::output;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    QStringList args = app.arguments();
    args.removeFirst();
    SnapshotOptions options;
    QString error;
    if (!parseSnapshotArguments(args, &options, &error)) {
        err << "morvane-snapshot: " << error << "\n" << snapshotUsage() << Qt::flush;
        return 2;
    }
    if (options.help) {
        QTextStream(stdout) << snapshotUsage() << Qt::flush;
        return 0;
    }
    const QString password = readToolPassword("MORVANE_PASSWORD", QStringLiteral("Password: "), err);
    return runSnapshot(options, password, err);
}
