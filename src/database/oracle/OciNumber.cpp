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
    // Infinity only comes from very old imports; name it rather than print
    // garbage. Its forms are FF 65 and the lone 00: an exponent byte FF alone
    // begins every positive number from 1e124 on.
    if (len == 2 && head == 0xFF && b[1] == 101)
        return QStringLiteral("~");
    if (len == 1 && head == 0x00)
        return QStringLiteral("-~");
    // Digits are base 100; the decimal point stands before the first one, and
    // the exponent counts base-100 places.
    const int exponent = (positive ? (head & 0x7F) : ((~head) & 0x7F)) - 64;
    QVector<int> digits;
    for (int i = 1; i < len; ++i) {
        const int raw = b[i];
        if (!positive && raw == 102)
            break; // terminator of negative numbers
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
    const int pointAt = exponent * 2; // decimal digits before the point
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

} // namespace morvane::oci
