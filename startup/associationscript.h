#pragma once
// The REGEDIT4 script that associates file extensions with a program: built as text lines
// and as the bytes of the script file (Windows-1252, every line ended by CR LF).
// Pure functions, no file access; GUI-free.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace Startup {

struct AssociationArguments
{
    QString verb;             // shell verb, e.g. "open"
    QString progId;           // class key the extensions point to
    QString description;      // the class key's default value
    QString option;           // text between the program path and the file name; may be unset
    QString ext1, ext2, ext3; // extensions without the dot; unset ones are skipped
};

// The command value as it stands in the script: the program path with every "\" doubled,
// a blank, the option and a blank when the option is set, then \"%1\".
QString AssociationCommandValue(const QString &programPath, const QString &option);

// The script's lines, without line ends.
QStringList AssociationScriptLines(const AssociationArguments &args, const QString &programPath);

// The script file's bytes.
QByteArray AssociationScriptBytes(const AssociationArguments &args, const QString &programPath);

} // namespace Startup
