#include "vexa32/inifile.h"

#include "vexa32/cp1252.h"

#include <string>
#include <string_view>

namespace Vexa32::Ini {

namespace {

// How a file's text is stored: 8-bit Windows-1252, or with a byte-order mark UTF-8,
// UTF-16 little-endian or UTF-16 big-endian.
enum class Form
{
    Ansi,
    Utf8,
    Utf16Le,
    Utf16Be
};

struct Layout
{
    Form form = Form::Ansi;
    qsizetype bom = 0; // bytes of the byte-order mark
};

Layout Detect(QByteArrayView content)
{
    if (content.startsWith("\xEF\xBB\xBF"))
        return {Form::Utf8, 3};
    if (content.startsWith("\xFF\xFE"))
        return {Form::Utf16Le, 2};
    if (content.startsWith("\xFE\xFF"))
        return {Form::Utf16Be, 2};
    return {};
}

// Blanks around names and values: space, tab, vertical tab, form feed and the end-of-file
// character Ctrl+Z that older editors leave at the end of a file.
template <typename Unit>
bool IsBlank(Unit c)
{
    return c == Unit(' ') || c == Unit('\t') || c == Unit('\v') || c == Unit('\f') ||
           c == Unit(0x1A);
}

template <typename Unit>
std::basic_string_view<Unit> Trimmed(std::basic_string_view<Unit> text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

// One line of the text: [begin, end) is its text, next the start of the following line
// (after the line end; equal to end for a last line without a line end).
struct Line
{
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t next = 0;
};

template <typename Unit>
Line LineAt(std::basic_string_view<Unit> text, std::size_t begin)
{
    Line line{begin, begin, begin};
    while (line.end < text.size() && text[line.end] != Unit('\r') && text[line.end] != Unit('\n'))
        ++line.end;
    line.next = line.end;
    if (line.next < text.size() && text[line.next] == Unit('\r'))
        ++line.next;
    if (line.next < text.size() && text[line.next] == Unit('\n') &&
        (line.next == line.end || text[line.next - 1] == Unit('\r')))
        ++line.next;
    return line;
}

enum class Kind
{
    Other,
    Comment,
    Header,
    Key
};

// What a line holds: the section name of a header, or the key and value of a key line
// (hasValue false for a key line without "=").
template <typename Unit>
struct Parsed
{
    Kind kind = Kind::Other;
    std::basic_string_view<Unit> name;
    std::basic_string_view<Unit> value;
    bool hasValue = false;
};

template <typename Unit>
Parsed<Unit> Parse(std::basic_string_view<Unit> text)
{
    const std::basic_string_view<Unit> trimmed = Trimmed(text);
    if (trimmed.empty())
        return {};
    if (trimmed[0] == Unit(';'))
        return {Kind::Comment, {}, {}, false};
    if (trimmed[0] == Unit('[')) {
        // The name runs to the last "]"; a "[" without one is no header but a key line.
        const std::size_t close = trimmed.rfind(Unit(']'));
        if (close != std::basic_string_view<Unit>::npos)
            return {Kind::Header, Trimmed(trimmed.substr(1, close - 1)), {}, false};
    }
    const std::size_t equals = trimmed.find(Unit('='));
    if (equals == std::basic_string_view<Unit>::npos)
        return {Kind::Key, trimmed, {}, false};
    return {Kind::Key, Trimmed(trimmed.substr(0, equals)), Trimmed(trimmed.substr(equals + 1)),
            true};
}

// A stored name or value as text.
QString Decode(std::string_view text, Form form)
{
    const QByteArrayView bytes(text.data(), qsizetype(text.size()));
    return form == Form::Utf8 ? QString::fromUtf8(bytes) : DecodeCp1252(bytes);
}

QString Decode(std::u16string_view text, Form)
{
    return QString(reinterpret_cast<const QChar *>(text.data()), qsizetype(text.size()));
}

// Whether a stored name can spell wanted at all, before it is decoded: one unit per
// character, or one to three bytes per character in UTF-8.
bool SizeCanMatch(std::size_t stored, qsizetype wanted, Form form)
{
    const auto size = std::size_t(wanted);
    if (form == Form::Utf8)
        return stored >= size && stored <= 3 * size;
    return stored == size;
}

// Where section and key are in the text.
template <typename Unit>
struct Location
{
    std::optional<Line> header;  // of the first section with the name
    std::optional<Line> lastKey; // the last key line of that section before key's line
    std::optional<Line> key;     // the first line of key in that section
    Parsed<Unit> parsed;         // that line's key (as spelled in the file) and value
};

template <typename Unit>
Location<Unit> Locate(std::basic_string_view<Unit> text, Form form, const QString &section,
                      const QString &key)
{
    auto same = [form](std::basic_string_view<Unit> stored, const QString &wanted) {
        return SizeCanMatch(stored.size(), wanted.size(), form) &&
               Decode(stored, form).compare(wanted, Qt::CaseInsensitive) == 0;
    };
    Location<Unit> found;
    bool inSection = false;
    for (std::size_t pos = 0; pos < text.size();) {
        const Line line = LineAt(text, pos);
        pos = line.next;
        const Parsed<Unit> parsed = Parse(text.substr(line.begin, line.end - line.begin));
        if (parsed.kind == Kind::Header) {
            if (inSection)
                break; // only the first section of that name is searched
            if (same(parsed.name, section)) {
                inSection = true;
                found.header = line;
            }
        } else if (inSection && parsed.kind == Kind::Key) {
            if (same(parsed.name, key)) {
                found.key = line;
                found.parsed = parsed;
                break;
            }
            found.lastKey = line;
        }
    }
    return found;
}

// A text as the 8-bit profile functions pass it: cut at a NUL character and through
// Windows-1252 (characters it cannot hold become "?").
QString AnsiForm(QStringView text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text = text.first(nul);
    return DecodeCp1252(EncodeCp1252(text));
}

// A section or key name as given to the profile functions: its 8-bit form without the
// blanks around it.
QString NameForm(QStringView name)
{
    const QString ansi = AnsiForm(name);
    const std::u16string_view units(reinterpret_cast<const char16_t *>(ansi.utf16()),
                                    std::size_t(ansi.size()));
    const std::u16string_view trimmed = Trimmed(units);
    return QString(reinterpret_cast<const QChar *>(trimmed.data()), qsizetype(trimmed.size()));
}

// The units that store text in a file of the form.
std::string EncodeUnits(const QString &text, Form form, char)
{
    const QByteArray bytes = form == Form::Utf8 ? text.toUtf8() : EncodeCp1252(text);
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

std::u16string EncodeUnits(const QString &text, Form, char16_t)
{
    return std::u16string(reinterpret_cast<const char16_t *>(text.utf16()),
                          std::size_t(text.size()));
}

// The units of a UTF-16 text (after its byte-order mark); an odd last byte is left out.
std::u16string Utf16Units(QByteArrayView bytes, Form form)
{
    std::u16string units(std::size_t(bytes.size() / 2), u'\0');
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.data());
    const bool little = form == Form::Utf16Le;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const unsigned lo = data[2 * i + (little ? 0 : 1)];
        const unsigned hi = data[2 * i + (little ? 1 : 0)];
        units[i] = char16_t(lo | (hi << 8));
    }
    return units;
}

QByteArray Utf16Bytes(std::u16string_view units, Form form)
{
    QByteArray bytes(qsizetype(units.size() * 2), Qt::Uninitialized);
    const bool little = form == Form::Utf16Le;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char lo = char(units[i] & 0xFF);
        const char hi = char(units[i] >> 8);
        bytes[qsizetype(2 * i)] = little ? lo : hi;
        bytes[qsizetype(2 * i + 1)] = little ? hi : lo;
    }
    return bytes;
}

template <typename Unit>
std::optional<QString> FindIn(std::basic_string_view<Unit> text, Form form, const QString &section,
                              const QString &key)
{
    const Location<Unit> found = Locate(text, form, section, key);
    if (!found.key || !found.parsed.hasValue)
        return std::nullopt; // a key line without "=" holds no value: the default
    std::basic_string_view<Unit> value = found.parsed.value;
    const std::size_t nul = value.find(Unit(0));
    if (nul != std::basic_string_view<Unit>::npos)
        value = value.substr(0, nul); // the value is a C string to the reader
    if (value.size() >= 2 && (value[0] == Unit('"') || value[0] == Unit('\'')) &&
        value.back() == value[0])
        value = value.substr(1, value.size() - 2);
    const QString decoded = Decode(value, form);
    // The 8-bit reader delivers what Windows-1252 can hold of a UTF-8 or UTF-16 text.
    return form == Form::Ansi ? decoded : AnsiForm(decoded);
}

template <typename Unit>
std::basic_string<Unit> SetIn(std::basic_string_view<Unit> text, Form form, const QString &section,
                              const QString &key, const QString &value)
{
    using String = std::basic_string<Unit>;
    const String crlf{Unit('\r'), Unit('\n')};
    const String valueUnits = EncodeUnits(value, form, Unit());

    const Location<Unit> found = Locate(text, form, section, key);
    String out;
    out.reserve(text.size() + std::size_t(section.size() + key.size() + value.size()) * 3 + 8);
    if (found.key) {
        out.append(text.substr(0, found.key->begin));
        out.append(found.parsed.name);
        out.push_back(Unit('='));
        out.append(valueUnits);
        out.append(text.substr(found.key->end));
        return out;
    }
    const String keyLine = EncodeUnits(key, form, Unit()) + Unit('=') + valueUnits + crlf;
    if (found.header) {
        const Line after = found.lastKey ? *found.lastKey : *found.header;
        out.append(text.substr(0, after.next));
        if (after.next == after.end)
            out.append(crlf); // the last line of the file had no line end
        out.append(keyLine);
        out.append(text.substr(after.next));
        return out;
    }
    out.append(text);
    if (!text.empty() && text.back() != Unit('\n') && text.back() != Unit('\r'))
        out.append(crlf);
    out.push_back(Unit('['));
    out.append(EncodeUnits(section, form, Unit()));
    out.push_back(Unit(']'));
    out.append(crlf);
    out.append(keyLine);
    return out;
}

bool HasLineBreak(QStringView text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

} // namespace

std::optional<QString> FindValue(QByteArrayView content, QStringView section, QStringView key)
{
    const QString sectionName = NameForm(section);
    const QString keyName = NameForm(key);
    if (sectionName.isEmpty() || keyName.isEmpty())
        return std::nullopt;
    const Layout layout = Detect(content);
    const QByteArrayView body = content.sliced(layout.bom);
    if (layout.form == Form::Utf16Le || layout.form == Form::Utf16Be) {
        const std::u16string units = Utf16Units(body, layout.form);
        return FindIn(std::u16string_view(units), layout.form, sectionName, keyName);
    }
    return FindIn(std::string_view(body.data(), std::size_t(body.size())), layout.form, sectionName,
                  keyName);
}

std::optional<QByteArray> SetValue(QByteArrayView content, QStringView section, QStringView key,
                                   QStringView value)
{
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value))
        return std::nullopt;
    const QString sectionName = NameForm(section);
    const QString keyName = NameForm(key);
    if (sectionName.isEmpty() || keyName.isEmpty())
        return std::nullopt;
    const QString valueText = AnsiForm(value);

    const Layout layout = Detect(content);
    const QByteArrayView body = content.sliced(layout.bom);
    QByteArray out = content.first(layout.bom).toByteArray();
    if (layout.form == Form::Utf16Le || layout.form == Form::Utf16Be) {
        const std::u16string units = Utf16Units(body, layout.form);
        out += Utf16Bytes(
            SetIn(std::u16string_view(units), layout.form, sectionName, keyName, valueText),
            layout.form);
        if (body.size() % 2 != 0)
            out += body.back(); // a stray last byte stays where it was, at the end
        return out;
    }
    const std::string changed = SetIn(std::string_view(body.data(), std::size_t(body.size())),
                                      layout.form, sectionName, keyName, valueText);
    out.append(changed.data(), qsizetype(changed.size()));
    return out;
}

} // namespace Vexa32::Ini
