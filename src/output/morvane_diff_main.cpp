// morvane-diff: lists what changed in an owner's schema between two servers
// or snapshots; status 0 when nothing did, 1 when something did, 2 on an error.
#include "output/SchemaTools.h"
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>

using namespace morvane::output;

int main(int argc, char** argv)
{
    QTextStream err(stderr);
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    DiffOptions options;
    QString error;
    if (!parseDiffArguments(args, &options, &error)) {
        err << "morvane-diff: " << error << "\n" << diffUsage() << Qt::flush;
        return kDiffError;
    }
    if (options.help) {
        QTextStream(stdout) << diffUsage() << Qt::flush;
        return kDiffSame;
    }
    // The PDF needs fonts, which need a GUI application, not a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    const QString password = readToolPassword("MORVANE_PASSWORD", QStringLiteral("Password: "), err);
    const QString toPassword =
        options.toUser.isEmpty()
            ? password
            : readToolPassword("MORVANE_TO_PASSWORD", QStringLiteral("Password of %1: ").arg(options.toUser),
                               err);
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly)) {
        err << "morvane-diff: cannot write to standard output" << Qt::endl;
        return kDiffError;
    }
    const int status = runDiff(options, password, toPassword, out, err);
    out.flush();
    return status;
}
