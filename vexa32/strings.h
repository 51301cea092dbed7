#pragma once
// Text helpers of the shared library. Free functions without state; all comparisons go
// by UTF-16 code unit and are case-sensitive. Positions are 1-based; positions and counts
// are ordinary sizes (no 16-bit limit). Helpers that change a text take it by reference.

#include <QString>
#include <array>

namespace Vexa32 {

// Removes the first n characters in place; the text becomes "" when it is not longer
// than n. A negative n throws std::invalid_argument.
void CutLeft(QString &text, qsizetype n);

// Removes the last n characters in place; "" when the text is not longer than n.
// n <= 0 leaves the text unchanged.
void CutRight(QString &text, qsizetype n);

// Removes leading and trailing blanks (code 32) and NUL characters in place.
// Tabs and other white space stay.
void TrimBlanks(QString &text);

// Sixteen text slots, numbered 1 to 16, filled by SplitAtComma.
struct CommaParts
{
    std::array<QString, 16> slots;
    QString &operator[](int number) { return slots.at(static_cast<std::size_t>(number - 1)); }
    const QString &operator[](int number) const
    {
        return slots.at(static_cast<std::size_t>(number - 1));
    }
};

// Splits text at commas into at most 16 trimmed slots; the 16th takes the rest.
void SplitAtComma(QString text, CommaParts &parts);

// 1-based position of the first occurrence of needle in haystack, 0 when there is none
// (always 0 for an empty haystack).
qsizetype FindText(const QString &needle, const QString &haystack);

// Copy of text with A to Z turned into a to z; every other character stays.
QString LowerCase(QString text);

// Replaces the first occurrence of find in place; true when one was replaced.
// An empty find replaces nothing.
bool ReplaceFirst(QString &text, const QString &find, const QString &replacement);

// 1 for a non-zero flag, else 0.
int BoolToInt(int flag);

} // namespace Vexa32
