#include "viewer/engine/numeric.h"

namespace Engine {

namespace {

// A text as units: UTF-16 units, or the bytes of UTF-8 text (whose multi-byte characters
// are never digits, signs or blanks, so the tests give the same answers on both).
template <typename Unit>
struct Units
{
    const Unit *data;
    qsizetype n;
    qsizetype size() const { return n; }
    char16_t operator[](qsizetype i) const
    {
        if constexpr (sizeof(Unit) == 1)
            return static_cast<unsigned char>(data[i]);
        else
            return data[i];
    }
    Units sliced(qsizetype from, qsizetype count) const { return Units{data + from, count}; }
};

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
template <typename T>
bool readNumber(T t, qsizetype &i)
{
    const qsizetype n = t.size();
    qsizetype digits = 0;
    while (i < n && (isDigit(t[i]) || (digits > 0 && t[i] == u','))) {
        if (isDigit(t[i]))
            ++digits;
        ++i;
    }
    if (i < n && t[i] == u'.') {
        ++i;
        while (i < n && isDigit(t[i])) {
            ++digits;
            ++i;
        }
    }
    if (digits == 0)
        return false;
    if (i < n && (t[i] == u'e' || t[i] == u'E')) {
        ++i;
        if (i < n && isSign(t[i]))
            ++i;
        qsizetype expDigits = 0;
        while (i < n && isDigit(t[i])) {
            ++expDigits;
            ++i;
        }
        if (expDigits == 0)
            return false;
    }
    return true;
}

template <typename T>
void skipBlanks(T t, qsizetype &i)
{
    while (i < t.size() && t[i] == u' ')
        ++i;
}

template <typename T>
bool isHexOrOctal(T t)
{
    if (t.size() < 3 || t[0] != u'&')
        return false;
    const char16_t kind = t[1];
    bool (*digit)(char16_t) = nullptr;
    if (kind == u'H' || kind == u'h')
        digit = isHexDigit;
    else if (kind == u'O' || kind == u'o')
        digit = isOctDigit;
    else
        return false;
    for (qsizetype i = 2; i < t.size(); ++i) {
        if (!digit(t[i]))
            return false;
    }
    return true;
}

template <typename T>
bool isNumeric(T text)
{
    // The usual table number, digits with at most one "." among them, needs no more.
    {
        const qsizetype n = text.size();
        qsizetype digits = 0;
        qsizetype points = 0;
        qsizetype i = 0;
        for (; i < n; ++i) {
            const char16_t c = text[i];
            if (c >= u'0' && c <= u'9')
                ++digits;
            else if (c == u'.')
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
    const T t = text.sliced(begin, end - begin);
    if (t.size() == 0)
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
        } else if (i < n && isSign(t[i]) && !sign && !paren) {
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
    } else if (!sign && i < n && isSign(t[i])) {
        ++i;
    }
    return i == n;
}

template <typename T>
qsizetype decimalPlaces(T text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    // The first "." decides; it is found in the trimmed text as well, since trimming
    // removes only blanks and NULs.
    qsizetype point = 0;
    while (point < end && text[point] != u'.')
        ++point;
    if (point == end)
        return 0;
    while (end > begin && (text[end - 1] == u' ' || text[end - 1] == 0))
        --end;
    return end - (point + 1);
}

Units<char16_t> unitsOf(QStringView text)
{
    return {reinterpret_cast<const char16_t *>(text.data()), text.size()};
}

Units<char> unitsOf(QByteArrayView text)
{
    return {text.data(), text.size()};
}

} // namespace

bool IsNumeric(QStringView text)
{
    return isNumeric(unitsOf(text));
}

bool IsNumeric(QByteArrayView utf8)
{
    return isNumeric(unitsOf(utf8));
}

qsizetype DecimalPlaces(QStringView text)
{
    return decimalPlaces(unitsOf(text));
}

qsizetype DecimalPlaces(QByteArrayView numericUtf8)
{
    return decimalPlaces(unitsOf(numericUtf8));
}

} // namespace Engine
