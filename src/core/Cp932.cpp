#include "core/Cp932.h"
#include <QHash>
#include <iconv.h>
#include <cerrno>

namespace morvane::cp932 {

namespace {
constexpr const char* kCodePage = "CP932";

// Converts one whole buffer; unconvertible input characters become '?'.
QByteArray convert(const char* to, const char* from, const QByteArray& in, int unitSize, bool* lost = nullptr)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return {};
    QByteArray out;
    out.resize(in.size() * 2 + 16);
    char* src = const_cast<char*>(in.constData());
    size_t srcLeft = static_cast<size_t>(in.size());
    char* dst = out.data();
    size_t dstLeft = static_cast<size_t>(out.size());
    while (srcLeft > 0) {
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG) {
            const auto used = dst - out.data();
            out.resize(out.size() * 2);
            dst = out.data() + used;
            dstLeft = static_cast<size_t>(out.size() - used);
            continue;
        }
        // EILSEQ / EINVAL: replace one input unit and go on.
        if (lost)
            *lost = true;
        const size_t skip = std::min<size_t>(srcLeft, static_cast<size_t>(unitSize));
        src += skip;
        srcLeft -= skip;
        if (dstLeft < 2) {
            const auto used = dst - out.data();
            out.resize(out.size() * 2);
            dst = out.data() + used;
            dstLeft = static_cast<size_t>(out.size() - used);
        }
        *dst++ = '?';
        --dstLeft;
    }
    out.resize(static_cast<int>(dst - out.data()));
    iconv_close(cd);
    return out;
}

int charBytes(char32_t c)
{
    if (c < 0x80)
        return 1;
    if (c >= 0xFF61 && c <= 0xFF9F) // half-width katakana
        return 1;
    static QHash<char32_t, int> cache;
    auto it = cache.constFind(c);
    if (it != cache.constEnd())
        return *it;
    const QString s = QString::fromUcs4(&c, 1);
    iconv_t cd = iconv_open(kCodePage, "UTF-8");
    int n = 2;
    if (cd != reinterpret_cast<iconv_t>(-1)) {
        QByteArray in = s.toUtf8();
        char buf[8];
        char* src = in.data();
        size_t srcLeft = static_cast<size_t>(in.size());
        char* dst = buf;
        size_t dstLeft = sizeof buf;
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1))
            n = static_cast<int>(dst - buf);
        iconv_close(cd);
    }
    cache.insert(c, n);
    return n;
}
} // namespace

QByteArray encode(const QString& text)
{
    const QList<uint> ucs4 = text.toUcs4();
    const QByteArray in(reinterpret_cast<const char*>(ucs4.constData()), static_cast<int>(ucs4.size() * 4));
    return convert(kCodePage, "UTF-32LE", in, 4);
}

std::optional<QByteArray> encodeExact(const QString& text)
{
    const QList<uint> ucs4 = text.toUcs4();
    const QByteArray in(reinterpret_cast<const char*>(ucs4.constData()), static_cast<int>(ucs4.size() * 4));
    bool lost = false;
    QByteArray out = convert(kCodePage, "UTF-32LE", in, 4, &lost);
    // Some characters map one way only (U+301C and U+FF5E share a code, U+00A5 becomes 0x5C).
    if (lost || decode(out) != text)
        return std::nullopt;
    return out;
}

QString decode(const QByteArray& bytes) { return QString::fromUtf8(convert("UTF-8", kCodePage, bytes, 1)); }

int byteLength(const QString& text)
{
    int n = 0;
    for (char32_t c : text.toUcs4())
        n += charBytes(c);
    return n;
}

QString leftBytes(const QString& text, int n)
{
    int used = 0;
    for (int i = 0; i < text.size(); ++i) {
        char32_t c = text.at(i).unicode();
        int width = 1;
        if (text.at(i).isHighSurrogate() && i + 1 < text.size()) {
            c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            width = 2;
        }
        const int b = charBytes(c);
        if (used + b > n)
            return text.left(i);
        used += b;
        i += width - 1;
    }
    return text;
}

} // namespace morvane::cp932
