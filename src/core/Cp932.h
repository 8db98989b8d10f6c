#pragma once
// The Windows Japanese code page (Shift-JIS as Windows has it), through glibc
// iconv: the one converter the program uses for files and byte lengths.
#include <QString>
#include <QByteArray>
#include <optional>

namespace morvane::cp932 {

// Characters that CP932 cannot hold become '?'.
QByteArray encode(const QString& text);
QString decode(const QByteArray& bytes);
// The text's bytes only when every character is written and reads back as
// itself; otherwise nothing (no '?' stands in for a lost character).
std::optional<QByteArray> encodeExact(const QString& text);
// Length of the text in CP932 bytes (an unencodable character counts as 2).
int byteLength(const QString& text);
// The text's first n bytes, never splitting a character; shorter text stays whole.
QString leftBytes(const QString& text, int n);

} // namespace morvane::cp932
