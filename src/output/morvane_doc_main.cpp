// morvane-doc: writes printed table documents to PDF or PNG files
// without a window, for scripts and checks.
#include "output/DocRenderCli.h"
#include "output/PrinterSheet.h"
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>
#include <iostream>
#include <string>
#ifndef _WIN32
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>
#endif

using namespace morvane::output;

namespace {

QString readPassword(QTextStream& err)
{
    if (qEnvironmentVariableIsSet("MORVANE_PASSWORD"))
        return qEnvironmentVariable("MORVANE_PASSWORD");
    std::string line;
#ifndef _WIN32
    if (isatty(STDIN_FILENO)) {
        err << "Password: " << Qt::flush;
        termios old{};
        const bool echoOff = tcgetattr(STDIN_FILENO, &old) == 0;
        if (echoOff) {
            termios quiet = old;
            quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
            tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
        }
        std::getline(std::cin, line);
        if (echoOff)
            tcsetattr(STDIN_FILENO, TCSANOW, &old);
        err << Qt::endl;
    } else
#endif
    {
        std::getline(std::cin, line);
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return QString::fromLocal8Bit(line.data(), static_cast<qsizetype>(line.size()));
}

} // namespace

int main(int argc, char** argv)
{
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
    // The demo dictionary's SQL lives in the library's resources, which a
    // static library does not register by itself.
    const QString password = readPassword(err);
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
