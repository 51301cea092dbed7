#include "viewer/engine/rawsearch.h"

#include "viewer/engine/rowfilter.h"
#include "viewer/engine/tabletext.h"

#include <string>

namespace Engine {

namespace {

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
}

bool foundInBytes(QByteArrayView line, const std::string &needle)
{
    return FoldedContains(line.data(), line.size(), needle.data(),
                          static_cast<qsizetype>(needle.size()),
                          [](char c) { return lowerAscii(c); });
}

} // namespace

std::optional<qsizetype> FindLine(const RawText &raw, QStringView text, qsizetype from)
{
    const qsizetype lines = raw.lineCount();
    if (text.isEmpty() || lines == 0)
        return std::nullopt;
    if (from < 0 || from >= lines)
        from = 0;

    bool ascii = true;
    std::string bytes;
    for (const QChar c : text) {
        ascii = ascii && c.unicode() < 0x80;
        bytes.push_back(lowerAscii(char(c.unicode() & 0x7F)));
    }
    const Needle needle(text);
    std::optional<qsizetype> found;
    auto look = [&](qsizetype line, QByteArrayView lineBytes) {
        if (ascii ? foundInBytes(lineBytes, bytes)
                  : needle.foundIn(Decode(lineBytes, raw.isUtf8())))
            found = line;
        return !found;
    };
    // From the line from on, then round from the start.
    raw.forEachLine(from, lines - 1, look);
    if (!found)
        raw.forEachLine(0, from - 1, look);
    return found;
}

} // namespace Engine
