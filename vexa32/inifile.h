#pragma once
// The profile (INI) file engine: the text rules by which the settings files of the suite
// are read and changed, on the file's bytes. Pure functions without state or file access;
// profile.h puts them on files. Any byte sequence is accepted, in time linear in its length.
//
// Encodings: a file that starts with a byte-order mark is UTF-8 (EF BB BF), UTF-16
// little-endian (FF FE) or big-endian (FE FF) and is read and written in that form, mark
// kept; any other file is 8-bit Windows-1252. Names and values pass through Windows-1252 as
// the 8-bit profile functions see them (a character it cannot hold becomes "?").
//
// Reading: a section header is "[" name "]" (the name runs to the last "]" of the line,
// blanks around it ignored; a "[" without "]" is no header); lines before the first header
// belong to no section; a line whose first non-blank character is ";" is a comment; a key
// line splits at its first "=", with blanks trimmed around key and value; a line without
// "=" is a key without a value, which reads as missing. Blanks are space, tab, vertical
// tab, form feed and Ctrl+Z. Only the first of two sections with the same name is searched,
// and the first of two equal keys wins. Names match without regard to case. A value that
// starts and ends with the same quote character (' or ") loses that one pair. Lines end
// in CR LF, LF or CR.
//
// Writing changes only the line of the key: an existing key line is replaced in place
// (keeping the key's spelling and the line's end); a new key goes directly after the
// last key line of its section, or after the header of a section without keys; a new
// section is appended at the end. New lines end in CR LF; every other byte stays.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

namespace Vexa32::Ini {

// The value stored under key in section, untruncated; nullopt when the section or the
// key is missing (or a name is empty).
std::optional<QString> FindValue(QByteArrayView content, QStringView section, QStringView key);

// content with key=value set in section; nullopt when nothing may be written: a section,
// key or value holding CR or LF, or an empty section or key name.
std::optional<QByteArray> SetValue(QByteArrayView content, QStringView section, QStringView key,
                                   QStringView value);

} // namespace Vexa32::Ini
