#pragma once
// The desktop entry of an association: its text, its id, and the Exec line's rules
// (quoting and escaping by the Desktop Entry specification's rules, and reading the
// program back from an existing entry). GUI-free; nothing here touches a file but
// DesktopEntryProgram, which only reads.

#include "importer/regscript.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace RegImport {

// The text of the desktop entry for a class: Name and Comment from its description, the
// Exec line from execArgs (each quoted and escaped), the icon and the MIME type.
QByteArray DesktopEntry(const ClassAssociation &cls, const QStringList &execArgs,
                        const QString &mimeType, const QString &iconName);

// One Exec argument, quoted and escaped by the Desktop Entry rules (quoting, then "%" as
// "%%", then the string escapes), ready to stand in an Exec= line.
QString DesktopExecArgument(const QString &argument);

// The desktop entry id ("<id>.desktop" without the suffix) and the MIME type for a class.
QString DesktopIdFor(const QString &progId);
QString MimeTypeFor(const QString &progId);

// The program that the Exec line of the desktop entry at path starts (the first argument,
// unquoted and unescaped); empty when the file has none or cannot be read.
QString DesktopEntryProgram(const QString &path);

} // namespace RegImport
