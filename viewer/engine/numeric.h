#pragma once
// The numeric test and DecimalPlaces, independent of the host's locale.

#include <QByteArrayView>
#include <QStringView>

namespace Engine {

// True when the whole text, blanks around it allowed, is a number: one optional sign
// (leading or trailing), "$" once before the number or parentheses around it for a
// negative, digits with "," allowed after the first digit, an optional "." with digits
// after it, an optional exponent; or "&H" with hex digits, "&O" with octal digits.
bool IsNumeric(QStringView text);
// The same for UTF-8 text.
bool IsNumeric(QByteArrayView utf8);

// 0 when text holds no "."; else the number of characters after the first "." of the
// text trimmed of blanks and NULs ("12.50" gives 2, "3." gives 0, "1.2.3" gives 3).
qsizetype DecimalPlaces(QStringView text);
// The same for UTF-8 text that holds only ASCII (as numeric text does), where bytes are
// characters.
qsizetype DecimalPlaces(QByteArrayView numericUtf8);

} // namespace Engine
