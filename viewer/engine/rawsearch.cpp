#include "viewer/engine/rawsearch.h"

#include "viewer/engine/rowfilter.h"

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
    for (qsizetype k = 0; k < lines; ++k) {
        const qsizetype line = (from + k) % lines;
        if (ascii ? foundInBytes(raw.lineBytes(line), bytes) : needle.foundIn(raw.line(line)))
            return line;
    }
    return std::nullopt;
}

} // namespace Engine
