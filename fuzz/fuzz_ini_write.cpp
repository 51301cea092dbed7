// The INI engine with arbitrary file contents and one write of a section, key and value
// taken from the input. When the three can be held by the format, the write must succeed,
// read back as written, be stable when repeated, and leave every other line as it was.
//
// Input layout (FuzzedDataProvider): section, key and value as length-prefixed byte
// strings (Windows-1252), the rest is the file.

#include "vexa32/cp1252.h"
#include "vexa32/inifile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <vector>

namespace {

void Check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "INI write fault: %s\n", what);
        std::abort();
    }
}

struct Line
{
    QByteArrayView content;
    QByteArrayView end; // "\r\n", "\n", "\r" or "" for an unterminated last line
};

std::vector<Line> SplitLines(QByteArrayView bytes)
{
    std::vector<Line> lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    while (start < n) {
        qsizetype i = start;
        while (i < n && bytes[i] != '\r' && bytes[i] != '\n')
            ++i;
        qsizetype endLength = 0;
        if (i < n)
            endLength = (bytes[i] == '\r' && i + 1 < n && bytes[i + 1] == '\n') ? 2 : 1;
        lines.push_back({bytes.sliced(start, i - start), bytes.sliced(i, endLength)});
        start = i + endLength;
    }
    return lines;
}

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f' || c == QChar(0x1A);
}

bool HasLineBreakOrNul(const QString &text)
{
    return text.contains(u'\r') || text.contains(u'\n') || text.contains(QChar(0));
}

bool Padded(const QString &text)
{
    return !text.isEmpty() && (IsBlank(text.front()) || IsBlank(text.back()));
}

// What one profile line can carry: see the engine's reading rules in inifile.h.
bool Holdable(const QString &section, const QString &key, const QString &value)
{
    if (section.isEmpty() || key.isEmpty())
        return false;
    if (HasLineBreakOrNul(section) || HasLineBreakOrNul(key) || HasLineBreakOrNul(value))
        return false;
    if (Padded(section) || Padded(key) || Padded(value))
        return false;
    if (key.contains(u'=') || key.startsWith(u';') || key.startsWith(u'['))
        return false;
    const bool quoted = value.size() >= 2 && value.front() == value.back() &&
                        (value.front() == u'"' || value.front() == u'\'');
    return !quoted && value != QStringLiteral("$") && value.size() <= 4095;
}

QString Take(FuzzedDataProvider &input, std::size_t maxLength)
{
    const std::string bytes = input.ConsumeRandomLengthString(maxLength);
    return Vexa32::DecodeCp1252(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

void CheckOtherLinesKept(QByteArrayView before, QByteArrayView after)
{
    // A UTF-8 byte-order mark is not part of the first line: it stays in front of the file
    // even when the write puts a new section's header right after it.
    if (before.startsWith("\xEF\xBB\xBF")) {
        Check(after.startsWith("\xEF\xBB\xBF"), "the byte-order mark was dropped");
        before = before.sliced(3);
        after = after.sliced(3);
    }
    const std::vector<Line> old = SplitLines(before);
    const std::vector<Line> now = SplitLines(after);
    std::size_t prefix = 0;
    while (prefix < old.size() && prefix < now.size() && old[prefix].content == now[prefix].content)
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < old.size() - prefix && suffix < now.size() - prefix &&
           old[old.size() - 1 - suffix].content == now[now.size() - 1 - suffix].content)
        ++suffix;
    const std::size_t removed = old.size() - prefix - suffix;
    const std::size_t added = now.size() - prefix - suffix;
    // One line replaced (possibly by itself), one key line inserted, or a new section's
    // header and key line.
    if (!(removed == added && removed <= 1) && !(removed == 0 && (added == 1 || added == 2))) {
        std::fprintf(stderr, "before: %s\nafter:  %s\n",
                     before.toByteArray().toPercentEncoding().constData(),
                     after.toByteArray().toPercentEncoding().constData());
        Check(false, "more than the key's line changed");
    }

    // Kept lines keep their ends too; only an unterminated last line may gain CR LF.
    auto sameEnd = [&](const Line &a, const Line &b, bool wasLast) {
        return a.end == b.end || (wasLast && a.end.isEmpty() && b.end == "\r\n");
    };
    for (std::size_t i = 0; i < prefix; ++i)
        Check(sameEnd(old[i], now[i], i + 1 == old.size()), "a kept line changed its end");
    for (std::size_t i = 0; i < suffix; ++i)
        Check(sameEnd(old[old.size() - 1 - i], now[now.size() - 1 - i], i == 0),
              "a kept line changed its end");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const QString section = Take(input, 64);
    const QString key = Take(input, 64);
    const QString value = Take(input, 5000);
    const std::vector<std::uint8_t> rest = input.ConsumeRemainingBytes<std::uint8_t>();
    const QByteArrayView content(reinterpret_cast<const char *>(rest.data()),
                                 static_cast<qsizetype>(rest.size()));

    (void)Vexa32::Ini::FindValue(content, section, key);
    const std::optional<QByteArray> written = Vexa32::Ini::SetValue(content, section, key, value);
    const QString all = section + key + value;
    if (all.contains(u'\r') || all.contains(u'\n'))
        Check(!written, "a line break was written");
    if (!Holdable(section, key, value))
        return 0;

    Check(written.has_value(), "a holdable value was refused");
    const std::optional<QString> back = Vexa32::Ini::FindValue(*written, section, key);
    Check(back.has_value(), "the written key is not found");
    Check(*back == value, "the read-back differs from the written value");
    Check(Vexa32::Ini::SetValue(*written, section, key, value) == written,
          "writing the same value again changed the file");
    // Lines of UTF-16 files are not byte lines; the reading target checks that form
    // against the 8-bit one.
    if (!content.startsWith("\xFF\xFE") && !content.startsWith("\xFE\xFF"))
        CheckOtherLinesKept(content, *written);
    return 0;
}
