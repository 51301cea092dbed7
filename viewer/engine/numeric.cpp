#include "viewer/engine/numeric.h"

namespace Engine {

namespace {

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool isHexDigit(char16_t c)
{
    return isDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool isOctDigit(char16_t c)
{
    return c >= u'0' && c <= u'7';
}

bool isSign(char16_t c)
{
    return c == u'+' || c == u'-';
}

// Reads the number itself at t[i..]: digits with "," after the first digit, an optional
// "." with digits, an optional exponent. Advances i past it; false when there is none.
bool readNumber(QStringView t, qsizetype &i)
{
    const qsizetype n = t.size();
    qsizetype digits = 0;
    while (i < n && (isDigit(t[i].unicode()) || (digits > 0 && t[i] == u','))) {
        if (isDigit(t[i].unicode()))
            ++digits;
        ++i;
    }
    if (i < n && t[i] == u'.') {
        ++i;
        while (i < n && isDigit(t[i].unicode())) {
            ++digits;
            ++i;
        }
    }
    if (digits == 0)
        return false;
    if (i < n && (t[i] == u'e' || t[i] == u'E')) {
        ++i;
        if (i < n && isSign(t[i].unicode()))
            ++i;
        qsizetype expDigits = 0;
        while (i < n && isDigit(t[i].unicode())) {
            ++expDigits;
            ++i;
        }
        if (expDigits == 0)
            return false;
    }
    return true;
}

void skipBlanks(QStringView t, qsizetype &i)
{
    while (i < t.size() && t[i] == u' ')
        ++i;
}

bool isHexOrOctal(QStringView t)
{
    if (t.size() < 3 || t[0] != u'&')
        return false;
    const char16_t kind = t[1].unicode();
    bool (*digit)(char16_t) = nullptr;
    if (kind == u'H' || kind == u'h')
        digit = isHexDigit;
    else if (kind == u'O' || kind == u'o')
        digit = isOctDigit;
    else
        return false;
    for (qsizetype i = 2; i < t.size(); ++i) {
        if (!digit(t[i].unicode()))
            return false;
    }
    return true;
}

} // namespace

bool IsNumeric(QStringView text)
{
    // The usual table number, digits with at most one "." among them, needs no more.
    {
        const char16_t *data = reinterpret_cast<const char16_t *>(text.data());
        const qsizetype n = text.size();
        qsizetype digits = 0;
        qsizetype points = 0;
        qsizetype i = 0;
        for (; i < n; ++i) {
            if (data[i] >= u'0' && data[i] <= u'9')
                ++digits;
            else if (data[i] == u'.')
                ++points;
            else
                break;
        }
        if (i == n)
            return digits > 0 && points <= 1;
    }
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    const QStringView t = text.sliced(begin, end - begin);
    if (t.isEmpty())
        return false;
    if (isHexOrOctal(t))
        return true;

    qsizetype i = 0;
    const qsizetype n = t.size();
    bool sign = false;
    bool paren = false;
    bool dollar = false;
    // Before the number: "(" or a sign, and "$", in either order, blanks between.
    for (;;) {
        if (i < n && t[i] == u'(' && !paren && !sign && !dollar) {
            paren = true;
        } else if (i < n && isSign(t[i].unicode()) && !sign && !paren) {
            sign = true;
        } else if (i < n && t[i] == u'$' && !dollar) {
            dollar = true;
        } else {
            break;
        }
        ++i;
        skipBlanks(t, i);
    }
    if (!readNumber(t, i))
        return false;
    skipBlanks(t, i);
    if (paren) {
        if (i >= n || t[i] != u')')
            return false;
        ++i;
    } else if (!sign && i < n && isSign(t[i].unicode())) {
        ++i;
    }
    return i == n;
}

qsizetype DecimalPlaces(QStringView text)
{
    const char16_t *data = reinterpret_cast<const char16_t *>(text.data());
    qsizetype begin = 0;
    qsizetype end = text.size();
    // The first "." decides; it is found in the trimmed text as well, since trimming
    // removes only blanks and NULs.
    qsizetype point = 0;
    while (point < end && data[point] != u'.')
        ++point;
    if (point == end)
        return 0;
    while (end > begin && (data[end - 1] == u' ' || data[end - 1] == 0))
        --end;
    return end - (point + 1);
}

} // namespace Engine
