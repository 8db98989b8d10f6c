#pragma once
// Oracle's internal NUMBER form (SQLT_VNU: a length byte, an exponent byte
// and up to 20 base-100 digits) to plain decimal text. Working on
// the bytes keeps the text independent of every NLS setting of the session
// and keeps all 38 (and up to 40) digits exact.
#include <QString>

namespace morvane::oci {

// "0.5", "-12.25", "12345678901234567890123456789012345678"; never an exponent,
// never a grouping character, no trailing zeros after the point. An invalid
// value gives a null QString.
QString numberToText(const unsigned char* vnu, int bufferSize);

} // namespace morvane::oci
