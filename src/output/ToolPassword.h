#pragma once
// What the command-line tools share in taking their input: a password never
// comes from their arguments, and required options are named when missing.
#include <QString>
#include <initializer_list>
#include <utility>

class QTextStream;

namespace morvane::output {

// A password from the environment variable, else one line of standard input
// (without echo on a terminal, after the prompt on err).
QString readToolPassword(const char* variable, const QString& prompt, QTextStream& err);

// Empty when every option was given a value, else "missing --a, --b" in the order listed.
QString missingOptions(std::initializer_list<std::pair<const char*, const QString*>> required);

} // namespace morvane::output
