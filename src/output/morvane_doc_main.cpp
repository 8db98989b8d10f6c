// morvane-doc: writes printed table documents to PDF or PNG files
// without a window, for scripts and checks.
#include "core/Memory.h"
#include "output/DocRenderCli.h"
#include "output/PrinterSheet.h"
#include "output/ToolPassword.h"
#include <QGuiApplication>
#include <QTextStream>
#ifndef _WIN32
#include <sys/resource.h>
#endif

using namespace morvane::output;

int main(int argc, char** argv)
{
    morvane::keepFreedMemoryForReuse();
    QTextStream err(stderr);
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    DocOptions options;
    QString error;
    if (!parseDocArguments(args, &options, &error)) {
        err << "morvane-doc: " << error << "\n" << docUsage() << Qt::flush;
        return kExitUsage;
    }
    if (options.help) {
        QTextStream(stdout) << docUsage() << Qt::flush;
        return kExitOk;
    }
    // Fonts need a GUI application, a display does not.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    const QString password = readToolPassword("MORVANE_PASSWORD", QStringLiteral("Password: "), err);
#ifndef _WIN32
    // Each sheet of a workbook keeps a file open until the workbook is
    // written: an owner of more objects than the usual 1,024 descriptors
    // needs the limit the system allows.
    rlimit files{};
    if (options.format == DocFormat::Xlsx && getrlimit(RLIMIT_NOFILE, &files) == 0
        && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &files);
    }
#endif
    return runDocRenderer(options, password, err, documentPageLayout());
}
