#include "vexa32/strings.h"

#include <stdexcept>

namespace Vexa32 {

namespace {

bool isBlankOrNul(QChar c)
{
    return c.unicode() == u' ' || c.unicode() == 0;
}

} // namespace

void CutLeft(QString &text, qsizetype n)
{
    if (n < 0)
        throw std::invalid_argument("CutLeft: negative count");
    if (text.size() > n)
        text.remove(0, n);
    else
        text.clear();
}

void CutRight(QString &text, qsizetype n)
{
    if (n <= 0)
        return;
    if (text.size() > n)
        text.chop(n);
    else
        text.clear();
}

void TrimBlanks(QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlankOrNul(text.at(begin)))
        ++begin;
    while (end > begin && isBlankOrNul(text.at(end - 1)))
        --end;
    if (begin == 0 && end == text.size())
        return;
    text = text.mid(begin, end - begin);
}

void SplitAtComma(QString text, CommaParts &parts)
{
    for (auto &slot : parts.slots)
        slot.clear();
    if (text.isEmpty())
        return;
    int n = 0;
    const QString comma(QLatin1Char(','));
    qsizetype p = FindText(comma, text);
    while (p > 0 && n < 15) {
        ++n;
        parts[n] = text.left(p - 1);
        CutLeft(text, p);
        p = FindText(comma, text);
    }
    ++n;
    parts[n] = text;
    for (int i = 1; i <= n; ++i)
        TrimBlanks(parts[i]);
}

qsizetype FindText(const QString &needle, const QString &haystack)
{
    if (haystack.isEmpty())
        return 0;
    const qsizetype index = haystack.indexOf(needle, 0, Qt::CaseSensitive);
    return index < 0 ? 0 : index + 1;
}

QString LowerCase(QString text)
{
    char16_t *data = reinterpret_cast<char16_t *>(text.data());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (data[i] >= u'A' && data[i] <= u'Z')
            data[i] = static_cast<char16_t>(data[i] + 32);
    }
    return text;
}

bool ReplaceFirst(QString &text, const QString &find, const QString &replacement)
{
    if (find.isEmpty())
        return false;
    const qsizetype p = FindText(find, text);
    if (p == 0)
        return false;
    text.replace(p - 1, find.size(), replacement);
    return true;
}

int BoolToInt(int flag)
{
    return flag != 0 ? 1 : 0;
}

} // namespace Vexa32
