#include "viewer/engine/recordlines.h"

#include "viewer/engine/tabletext.h"

namespace Engine {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\0';
}

// A field line whose trimmed field name is "Name".
bool isNameLine(QByteArrayView line)
{
    if (line.isEmpty() || line[0] != '$')
        return false;
    const qsizetype colon = line.indexOf(':');
    if (colon < 0)
        return false;
    qsizetype begin = 1;
    qsizetype end = colon;
    while (begin < end && isBlank(line[begin]))
        ++begin;
    while (end > begin && isBlank(line[end - 1]))
        --end;
    return line.sliced(begin, end - begin) == QByteArrayView("Name");
}

} // namespace

std::optional<qsizetype> RecordLine(const RawText &raw, const QString &section, int recordIndex)
{
    if (recordIndex < 0)
        return std::nullopt;
    bool inSection = section.isEmpty();
    int seen = 0;
    std::optional<qsizetype> found;
    raw.forEachLine(0, raw.lineCount() - 1, [&](qsizetype i, QByteArrayView line) {
        if (line.isEmpty())
            return true;
        if (line[0] == '#') {
            QByteArrayView name = line.sliced(1);
            const qsizetype tab = name.indexOf('\t');
            if (tab >= 0)
                name = name.first(tab);
            inSection = Decode(name, raw.isUtf8()) == section;
        } else if (inSection && isNameLine(line)) {
            if (seen == recordIndex)
                found = i;
            ++seen;
        }
        return !found;
    });
    return found;
}

} // namespace Engine
