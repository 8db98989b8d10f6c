// TEST DOUBLE helpers: see StandInText.h. Nothing here is Oracle's code.
#include "StandInText.h"
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <utility>

namespace standin {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isMultibyte(char c) { return (static_cast<unsigned char>(c) & 0x80) != 0; }
bool isWordChar(char c)
{
    return isAsciiLetter(c) || isDigit(c) || isMultibyte(c) || c == '_' || c == '$' || c == '#';
}
char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

int floorHalf(int x) { return x >= 0 ? x / 2 : -((1 - x) / 2); }

} // namespace

std::string encodeNumber(const std::string& decimal)
{
    size_t i = 0;
    const size_t n = decimal.size();
    while (i < n && decimal[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (decimal[i] == '-' || decimal[i] == '+'))
        negative = decimal[i++] == '-';
    // Significant digits and the power of ten of the first one.
    std::string digits;
    int pointAfter = 0; // digits before the decimal point, leading zeros excluded
    bool seenPoint = false, any = false;
    for (; i < n; ++i) {
        const char c = decimal[i];
        if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else if (isDigit(c)) {
            any = true;
            if (digits.empty() && c == '0') {
                if (seenPoint)
                    --pointAfter;
                continue;
            }
            digits += c;
            if (!seenPoint)
                ++pointAfter;
        } else {
            break;
        }
    }
    if (i < n && (decimal[i] == 'e' || decimal[i] == 'E')) {
        ++i;
        bool negExp = false;
        if (i < n && (decimal[i] == '-' || decimal[i] == '+'))
            negExp = decimal[i++] == '-';
        int e = 0;
        bool expDigits = false;
        for (; i < n && isDigit(decimal[i]); ++i) {
            e = std::min(e * 10 + (decimal[i] - '0'), 100000);
            expDigits = true;
        }
        if (!expDigits)
            return {};
        pointAfter += negExp ? -e : e;
    }
    if (!any || i != n)
        return {};
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
    if (digits.empty())
        return std::string("\x01\x80", 2);

    // value = d.ddd x 10^x; in base 100 the first digit takes one decimal
    // digit when x is even, two when it is odd.
    const int x = pointAfter - 1;
    int e = floorHalf(x);
    if (x % 2 == 0)
        digits.insert(digits.begin(), '0');
    if (digits.size() % 2)
        digits += '0';
    std::vector<int> base100;
    for (size_t k = 0; k < digits.size(); k += 2)
        base100.push_back((digits[k] - '0') * 10 + (digits[k + 1] - '0'));
    if (base100.size() > 20) {
        const bool up = base100[20] >= 50;
        base100.resize(20);
        for (size_t k = base100.size(); up && k-- > 0;) {
            if (++base100[k] < 100)
                break;
            base100[k] = 0;
            if (k == 0) {
                base100.insert(base100.begin(), 1);
                base100.pop_back();
                ++e;
            }
        }
    }
    while (!base100.empty() && base100.back() == 0)
        base100.pop_back();
    if (e < -65)
        return std::string("\x01\x80", 2); // below 1e-130: zero
    if (e > 62)
        return {}; // 1e126 and up: no NUMBER
    const unsigned char head = static_cast<unsigned char>(0x80 | (e + 65));
    std::string out;
    out += char(negative ? static_cast<unsigned char>(~head) : head);
    for (int d : base100)
        out += char(negative ? 101 - d : d + 1);
    if (negative && base100.size() < 20)
        out += char(102);
    out.insert(out.begin(), char(out.size()));
    return out;
}

ScannedSql scanSql(const std::string& sql)
{
    ScannedSql out;
    const size_t n = sql.size();
    auto noteIdentifier = [&out](const std::string& name) {
        if (name.size() > out.longestIdentifier.size())
            out.longestIdentifier = name;
    };
    size_t i = 0;
    while (i < n) {
        const char c = sql[i];
        const char next = i + 1 < n ? sql[i + 1] : '\0';
        const bool tokenStart = i == 0 || !isWordChar(sql[i - 1]);
        if (c == '-' && next == '-') {
            const size_t end = sql.find('\n', i);
            i = end == std::string::npos ? n : end + 1;
        } else if (c == '/' && next == '*') {
            const size_t end = sql.find("*/", i + 2);
            i = end == std::string::npos ? n : end + 2;
        } else if (tokenStart && (c == 'q' || c == 'Q') && next == '\'' && i + 2 < n) {
            // q'[...]': the quote ends at the closing delimiter followed by '.
            const char open = sql[i + 2];
            const char close = open == '['   ? ']'
                               : open == '{' ? '}'
                               : open == '<' ? '>'
                               : open == '(' ? ')'
                                             : open;
            size_t k = i + 3;
            while (k + 1 < n && !(sql[k] == close && sql[k + 1] == '\''))
                ++k;
            out.longestLiteral = std::max(out.longestLiteral, k - (i + 3));
            i = std::min(n, k + 2);
        } else if (c == '\'') {
            size_t k = i + 1, length = 0;
            while (k < n) {
                if (sql[k] == '\'' && k + 1 < n && sql[k + 1] == '\'') {
                    k += 2; // '' is one quote inside the literal
                    ++length;
                } else if (sql[k] == '\'') {
                    break;
                } else {
                    ++k;
                    ++length;
                }
            }
            out.longestLiteral = std::max(out.longestLiteral, length);
            i = std::min(n, k + 1);
        } else if (c == '"') {
            const size_t end = sql.find('"', i + 1);
            noteIdentifier(sql.substr(i + 1, (end == std::string::npos ? n : end) - i - 1));
            i = end == std::string::npos ? n : end + 1;
        } else if (c == ':' && (isAsciiLetter(next) || isDigit(next) || isMultibyte(next))) {
            size_t k = i + 1;
            std::string name;
            while (k < n && isWordChar(sql[k]))
                name += upperAscii(sql[k++]);
            bool known = false;
            for (const std::string& p : out.placeholders)
                known = known || p == name;
            if (!known)
                out.placeholders.push_back(name);
            noteIdentifier(name);
            i = k;
        } else if (tokenStart && (isAsciiLetter(c) || isMultibyte(c))) {
            size_t k = i;
            while (k < n && isWordChar(sql[k]))
                ++k;
            noteIdentifier(sql.substr(i, k - i));
            i = k;
        } else if (tokenStart && isDigit(c)) {
            while (i < n && (isWordChar(sql[i]) || sql[i] == '.'))
                ++i; // a number, 1e10 included: no identifier
        } else {
            ++i;
        }
    }
    return out;
}

bool charsetByName(const std::string& oracleName, DbCharset& out)
{
    static const std::pair<const char*, DbCharset> known[] = {{"JA16SJIS", DbCharset::JA16SJIS},
                                                              {"JA16EUC", DbCharset::JA16EUC},
                                                              {"WE8ISO8859P1", DbCharset::WE8ISO8859P1},
                                                              {"AL32UTF8", DbCharset::AL32UTF8}};
    for (const auto& k : known)
        if (oracleName == k.first) {
            out = k.second;
            return true;
        }
    return false;
}

namespace {

const char* iconvName(DbCharset cs)
{
    switch (cs) {
    case DbCharset::JA16SJIS: return "CP932";
    case DbCharset::JA16EUC: return "EUC-JP";
    case DbCharset::WE8ISO8859P1: return "ISO-8859-1";
    case DbCharset::AL32UTF8: break;
    }
    return "UTF-8";
}

// Converts, putting '?' for each character the target lacks.
std::string convert(const std::string& in, const char* from, const char* to, bool fromUtf8)
{
    if (std::strcmp(from, to) == 0)
        return in;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return in;
    std::string out;
    char buf[4096];
    char* src = const_cast<char*>(in.data());
    size_t left = in.size();
    while (left > 0) {
        char* dst = buf;
        size_t room = sizeof buf;
        const size_t rc = iconv(cd, &src, &left, &dst, &room);
        out.append(buf, size_t(dst - buf));
        if (rc == size_t(-1) && errno != E2BIG) {
            // Skip one whole character of the source.
            size_t skip = 1;
            if (fromUtf8) {
                const unsigned char lead = static_cast<unsigned char>(*src);
                skip = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
            }
            skip = std::min(skip, left);
            src += skip;
            left -= skip;
            out += '?';
        }
    }
    iconv_close(cd);
    return out;
}

} // namespace

std::string toDatabase(const std::string& utf8, DbCharset cs)
{
    return convert(utf8, "UTF-8", iconvName(cs), true);
}

std::string toClient(const std::string& dbBytes, DbCharset cs)
{
    return convert(dbBytes, iconvName(cs), "UTF-8", false);
}

} // namespace standin
