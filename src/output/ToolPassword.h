#pragma once
// How the command-line tools take a password: never from their arguments.
#include <QString>

class QTextStream;

namespace morvane::output {

// A password from the environment variable, else one line of standard input
// (without echo on a terminal, after the prompt on err).
QString readToolPassword(const char* variable, const QString& prompt, QTextStream& err);

} // namespace morvane::output
