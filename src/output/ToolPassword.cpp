#include "output/ToolPassword.h"
#include <QStringList>
#include <QTextStream>
#include <iostream>
#include <string>
#ifndef _WIN32
#include <termios.h>
#include <unistd.h>
#endif

namespace morvane::output {

QString readToolPassword(const char* variable, const QString& prompt, QTextStream& err)
{
    if (qEnvironmentVariableIsSet(variable))
        return qEnvironmentVariable(variable);
    std::string line;
#ifndef _WIN32
    if (isatty(STDIN_FILENO)) {
        err << prompt << Qt::flush;
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

QString missingOptions(std::initializer_list<std::pair<const char*, const QString*>> required)
{
    QStringList missing;
    for (const auto& [option, value] : required)
        if (value->isEmpty())
            missing << QLatin1String(option);
    return missing.isEmpty() ? QString() : QStringLiteral("missing %1").arg(missing.join(", "));
}

} // namespace morvane::output
