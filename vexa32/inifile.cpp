#include "inifile.h"

#include "cp1252.h"

namespace Vexa32::Ini {

namespace {

// One line of the file: [begin, end) is its text, next the start of the following line
// (after the line end; equal to end for a last line without a line end).
struct Line
{
    qsizetype begin = 0;
    qsizetype end = 0;
    qsizetype next = 0;
};

Line LineAt(QByteArrayView content, qsizetype begin)
{
    Line line{begin, begin, begin};
    while (line.end < content.size() && content[line.end] != '\r' && content[line.end] != '\n')
        ++line.end;
    line.next = line.end;
    if (line.next < content.size() && content[line.next] == '\r')
        ++line.next;
    if (line.next < content.size() && content[line.next] == '\n' &&
        (line.next == line.end || content[line.next - 1] == '\r'))
        ++line.next;
    return line;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView Trimmed(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

enum class Kind
{
    Other,
    Comment,
    Header,
    Key
};

// What a line holds: the section name of a header, or the key and value of a key line.
struct Parsed
{
    Kind kind = Kind::Other;
    QByteArrayView name;
    QByteArrayView value;
};

Parsed Parse(QByteArrayView text)
{
    const QByteArrayView trimmed = Trimmed(text);
    if (trimmed.isEmpty())
        return {};
    if (trimmed[0] == ';')
        return {Kind::Comment, {}, {}};
    if (trimmed[0] == '[') {
        QByteArrayView name = trimmed.sliced(1);
        const qsizetype close = name.indexOf(']');
        if (close >= 0)
            name = name.first(close);
        return {Kind::Header, Trimmed(name), {}};
    }
    const qsizetype equals = trimmed.indexOf('=');
    if (equals < 0)
        return {};
    return {Kind::Key, Trimmed(trimmed.first(equals)), Trimmed(trimmed.sliced(equals + 1))};
}

// An argument as the 8-bit profile functions receive it: cut at a NUL character,
// converted to Windows-1252, blanks and tabs around it removed.
QByteArray NameBytes(QStringView name)
{
    const qsizetype nul = name.indexOf(QChar(0));
    if (nul >= 0)
        name = name.first(nul);
    return Trimmed(EncodeCp1252(name)).toByteArray();
}

bool SameName(QByteArrayView stored, const QString &wanted)
{
    return stored.size() == wanted.size() &&
           DecodeCp1252(stored).compare(wanted, Qt::CaseInsensitive) == 0;
}

// Where section and key are in content.
struct Location
{
    std::optional<Line> header;  // of the first section with the name
    std::optional<Line> lastKey; // the last key line of that section before key's line
    std::optional<Line> key;     // the first line of key in that section
    QByteArrayView keyName;      // the key as spelled in the file
    QByteArrayView value;        // its trimmed value
};

Location Locate(QByteArrayView content, const QByteArray &section, const QByteArray &key)
{
    const QString wantedSection = DecodeCp1252(section);
    const QString wantedKey = DecodeCp1252(key);
    Location found;
    bool inSection = false;
    for (qsizetype pos = 0; pos < content.size();) {
        const Line line = LineAt(content, pos);
        pos = line.next;
        const Parsed parsed = Parse(content.sliced(line.begin, line.end - line.begin));
        if (parsed.kind == Kind::Header) {
            if (inSection)
                break; // only the first section of that name is searched
            if (SameName(parsed.name, wantedSection)) {
                inSection = true;
                found.header = line;
            }
        } else if (inSection && parsed.kind == Kind::Key) {
            if (SameName(parsed.name, wantedKey)) {
                found.key = line;
                found.keyName = parsed.name;
                found.value = parsed.value;
                break;
            }
            found.lastKey = line;
        }
    }
    return found;
}

bool HasLineBreak(QStringView text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

QByteArray CutAtNul(QByteArray bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    return bytes;
}

} // namespace

std::optional<QString> FindValue(QByteArrayView content, QStringView section, QStringView key)
{
    const QByteArray sectionName = NameBytes(section);
    const QByteArray keyName = NameBytes(key);
    if (sectionName.isEmpty() || keyName.isEmpty())
        return std::nullopt;
    const Location found = Locate(content, sectionName, keyName);
    if (!found.key)
        return std::nullopt;
    QByteArrayView value = found.value;
    const qsizetype nul = value.indexOf('\0');
    if (nul >= 0)
        value = value.first(nul); // the value is a C string to the reader
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') &&
        value[value.size() - 1] == value[0])
        value = value.sliced(1, value.size() - 2);
    return DecodeCp1252(value);
}

std::optional<QByteArray> SetValue(QByteArrayView content, QStringView section, QStringView key,
                                   QStringView value)
{
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value))
        return std::nullopt;
    const QByteArray sectionName = NameBytes(section);
    const QByteArray keyName = NameBytes(key);
    if (sectionName.isEmpty() || keyName.isEmpty())
        return std::nullopt;
    const QByteArray valueBytes = CutAtNul(EncodeCp1252(value));
    const QByteArray crlf = QByteArrayLiteral("\r\n");

    const Location found = Locate(content, sectionName, keyName);
    QByteArray out;
    out.reserve(content.size() + sectionName.size() + keyName.size() + valueBytes.size() + 8);
    if (found.key) {
        out.append(content.first(found.key->begin));
        out.append(found.keyName);
        out.append('=');
        out.append(valueBytes);
        out.append(content.sliced(found.key->end));
        return out;
    }
    const QByteArray keyLine = keyName + '=' + valueBytes + crlf;
    if (found.header) {
        const Line after = found.lastKey ? *found.lastKey : *found.header;
        out.append(content.first(after.next));
        if (after.next == after.end)
            out.append(crlf); // the last line of the file had no line end
        out.append(keyLine);
        out.append(content.sliced(after.next));
        return out;
    }
    out.append(content);
    if (!content.isEmpty() && content.back() != '\n' && content.back() != '\r')
        out.append(crlf);
    out.append('[');
    out.append(sectionName);
    out.append(']');
    out.append(crlf);
    out.append(keyLine);
    return out;
}

} // namespace Vexa32::Ini
