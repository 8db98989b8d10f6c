#pragma once
// TEST DOUBLE helpers of the Oracle client stand-in (see OciStandIn.h): what a
// server does with texts and numbers, written here apart from the driver's
// own code so that the two check each other instead of agreeing by
// construction. Standard C++ and iconv only.
#include <string>
#include <vector>

namespace standin {

// NUMBER in Oracle's documented internal form, as a SQLT_VNU buffer receives
// it: a length byte, then the exponent byte (sign bit, base-100 exponent in
// excess-65 over d1.d2d3... x 100^e, all bits inverted for negatives), then
// up to 20 base-100 digits stored as d + 1, or as 101 - d with a terminating
// 102 for a negative number of fewer than 20 digits. Zero is the lone 0x80.
// Takes "[+-]digits[.digits][e[+-]digits]"; rounds to 20 base-100 digits.
// An empty result means text that is no number or out of NUMBER's range.
std::string encodeNumber(const std::string& decimal);

// One scan of a statement text as the server parses it: bind placeholders
// (":NAME" or ":1", upper-cased, distinct, in order) and the longest
// identifier and string literal in bytes. Quotes ('...', q'[...]', "...")
// and comments (--, /* */) hide what they hold.
struct ScannedSql {
    std::vector<std::string> placeholders;
    std::string longestIdentifier;
    size_t longestLiteral = 0;
};
ScannedSql scanSql(const std::string& sql);

// The database character set: values are held in it, described in its bytes,
// and converted to the client's AL32UTF8 on the way out.
enum class DbCharset { JA16SJIS, JA16EUC, WE8ISO8859P1, AL32UTF8 };
bool charsetByName(const std::string& oracleName, DbCharset& out);
// UTF-8 to the database character set; a character it lacks becomes '?',
// as a server stores it.
std::string toDatabase(const std::string& utf8, DbCharset cs);
std::string toClient(const std::string& dbBytes, DbCharset cs);

} // namespace standin
