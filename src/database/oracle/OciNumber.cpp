#include "database/oracle/OciNumber.h"
#include "database/oracle/OciApi.h"
#include <QVector>

namespace morvane::oci {

QString numberToText(const unsigned char* vnu, int bufferSize)
{
    if (!vnu || bufferSize < 2)
        return {};
    const int len = vnu[0];
    if (len < 1 || len > 21 || len + 1 > bufferSize)
        return {};
    const unsigned char* b = vnu + 1;
    const unsigned char head = b[0];
    if (len == 1 && head == 0x80)
        return QStringLiteral("0");
    const bool positive = (head & 0x80) != 0;
    // Infinity only comes from very old imports; name it rather than print garbage.
    if ((!positive && len == 1 && head == 0x00) || (positive && head == 0xFF))
        return positive ? QStringLiteral("~") : QStringLiteral("-~");
    // Digits are base 100; the decimal point stands before the first one, and
    // the exponent counts base-100 places.
    const int exponent = (positive ? (head & 0x7F) : ((~head) & 0x7F)) - 64;
    QVector<int> digits;
    for (int i = 1; i < len; ++i) {
        const int raw = b[i];
        if (!positive && raw == 102)
            break;   // terminator of negative numbers
        const int d = positive ? raw - 1 : 101 - raw;
        if (d < 0 || d > 99)
            return {};
        digits.push_back(d);
    }
    if (digits.isEmpty())
        return QStringLiteral("0");
    // Two decimal digits per base-100 digit.
    QString mantissa;
    for (int d : digits)
        mantissa += QChar('0' + d / 10) + QString(QChar('0' + d % 10));
    const int pointAt = exponent * 2;   // decimal digits before the point
    QString intPart, fracPart;
    if (pointAt <= 0) {
        intPart = QStringLiteral("0");
        fracPart = QString(-pointAt, '0') + mantissa;
    } else if (pointAt >= mantissa.size()) {
        intPart = mantissa + QString(pointAt - mantissa.size(), '0');
    } else {
        intPart = mantissa.left(pointAt);
        fracPart = mantissa.mid(pointAt);
    }
    while (intPart.size() > 1 && intPart.startsWith('0'))
        intPart.remove(0, 1);
    while (fracPart.endsWith('0'))
        fracPart.chop(1);
    QString out = intPart;
    if (!fracPart.isEmpty())
        out += '.' + fracPart;
    if (!positive && out != QLatin1String("0"))
        out.prepend('-');
    return out;
}

QByteArray textToNumber(const QString& decimal)
{
    QByteArray out(NUMBER_SIZE, '\0');
    QString t = decimal.trimmed();
    bool negative = false;
    if (t.startsWith('-')) {
        negative = true;
        t.remove(0, 1);
    } else if (t.startsWith('+')) {
        t.remove(0, 1);
    }
    QString intPart = t.section('.', 0, 0);
    QString fracPart = t.contains('.') ? t.section('.', 1) : QString();
    for (const QString* p : {&intPart, &fracPart})
        for (QChar c : *p)
            if (!c.isDigit())
                return {};
    while (intPart.startsWith('0'))
        intPart.remove(0, 1);
    while (fracPart.endsWith('0'))
        fracPart.chop(1);
    if (intPart.isEmpty() && fracPart.isEmpty()) {
        out[0] = 1;
        out[1] = char(0x80);
        return out;
    }
    // Align to base-100 places around the point.
    if (intPart.size() % 2)
        intPart.prepend('0');
    if (fracPart.size() % 2)
        fracPart.append('0');
    QString all = intPart + fracPart;
    int exponent = intPart.size() / 2;
    while (all.startsWith(QLatin1String("00"))) {   // only when there is no integer part
        all.remove(0, 2);
        --exponent;
    }
    while (all.endsWith(QLatin1String("00")))
        all.chop(2);
    QVector<int> digits;
    for (int i = 0; i + 1 < all.size() && digits.size() < 20; i += 2)
        digits.push_back(all[i].digitValue() * 10 + all[i + 1].digitValue());
    int n = 1;
    const int expByte = exponent + 64;
    out[n++] = char(negative ? (~(0x80 | expByte)) & 0xFF : (0x80 | expByte));
    for (int d : digits)
        out[n++] = char(negative ? 101 - d : d + 1);
    if (negative && digits.size() < 20)
        out[n++] = char(102);
    out[0] = char(n - 1);
    return out;
}

} // namespace morvane::oci
