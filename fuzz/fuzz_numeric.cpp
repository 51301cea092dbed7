// The numeric test and DecimalPlaces against an independent reference: a regular
// expression of the accepted forms and the plain definition of the decimal count.
//
// Accepted: blanks around; one optional sign, leading or trailing; "$" once before the
// number (on either side of a leading sign), or parentheses around the number (with an
// optional "$" inside) for a negative; digits with "," allowed after the first digit; an
// optional "." with digits after it (".5" and "1." count, "." does not); an optional
// exponent "e"/"E" with an optional sign and digits. Or "&H" with hex digits, "&O" with
// octal digits. Blanks may stand between the parts.

#include "vexa32/cp1252.h"
#include "viewer/engine/numeric.h"

#include <QRegularExpression>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace Engine;

namespace {

bool ReferenceNumeric(const QString &text)
{
    static const QString number =
        QStringLiteral("(?:[0-9][0-9,]*(?:\\.[0-9]*)?|\\.[0-9]+)(?:[eE][+-]?[0-9]+)?");
    static const QString sign = QStringLiteral("[+-] *");
    static const QString dollar = QStringLiteral("\\$ *");
    static const QRegularExpression pattern(
        QStringLiteral("^ *(?:"
                       "&[Hh][0-9A-Fa-f]+|&[Oo][0-7]+"
                       "|(?:%2)?(?:%3)?%1(?: *[+-])?" // sign, then "$"; trailing sign
                       "|%3%2%1"                      // "$", then the sign
                       "|\\( *(?:%3)?%1 *\\)"         // parentheses
                       ") *\\z")
            .arg(number, sign, dollar));
    if (!pattern.match(text).hasMatch())
        return false;
    // One sign at most: a leading sign excludes a trailing one.
    static const QRegularExpression twoSigns(QStringLiteral("^ *(?:\\$ *)?[+-].*[+-] *\\z"));
    return !twoSigns.match(text).hasMatch();
}

qsizetype ReferenceDecimalPlaces(const QString &text)
{
    if (!text.contains(u'.'))
        return 0;
    QString trimmed = text;
    while (!trimmed.isEmpty() && (trimmed.front() == u' ' || trimmed.front() == QChar(0)))
        trimmed.remove(0, 1);
    while (!trimmed.isEmpty() && (trimmed.back() == u' ' || trimmed.back() == QChar(0)))
        trimmed.chop(1);
    return trimmed.size() - (trimmed.indexOf(u'.') + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > 256)
        return 0;
    const QString text = Vexa32::DecodeCp1252(
        QByteArrayView(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    const bool expected = ReferenceNumeric(text);
    if (IsNumeric(text) != expected) {
        std::fprintf(stderr, "IsNumeric(\"%s\") is %d, the reference says %d\n", qPrintable(text),
                     !expected, expected);
        std::abort();
    }
    if (DecimalPlaces(text) != ReferenceDecimalPlaces(text)) {
        std::fprintf(stderr, "DecimalPlaces(\"%s\") is %lld, the reference says %lld\n",
                     qPrintable(text), static_cast<long long>(DecimalPlaces(text)),
                     static_cast<long long>(ReferenceDecimalPlaces(text)));
        std::abort();
    }
    return 0;
}
