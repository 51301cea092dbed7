#pragma once
// Reading what the importer is asked to do: its command line ("regedit /s <script>"), the
// REGEDIT4 script of file associations (HKEY_CLASSES_ROOT\.<ext> -> class ->
// shell\<verb>\command) and whether the script and the program lie where the suite keeps
// them. GUI-free; nothing here writes a file. Errors are returned, never thrown.

#include <QList>
#include <QString>
#include <QStringList>

namespace RegImport {

// One class key of the script with the extensions that point to it.
struct ClassAssociation
{
    QString progId;
    QString description;    // the class key's default value
    QString command;        // the verb's command value, unescaped
    QStringList extensions; // without the dot, in script order
};

struct ParseResult
{
    bool ok = false;
    QString error;
    QList<ClassAssociation> classes; // only classes that at least one extension points to
};

// Parses the text of a REGEDIT4 script. Keys other than HKEY_CLASSES_ROOT are ignored.
ParseResult ParseScript(const QString &text);

// The importer's command line (its arguments joined by one blank): leading switches such
// as "/s" and the script path (outer quotes removed). False for an unknown switch or no
// path.
bool ParseCommandLine(const QString &commandLine, bool *silent, QString *scriptPath);

// Whether the script (a path text) is a file in the suite's "shell" folder below suiteDir.
bool IsInShellFolder(const QString &scriptPath, const QString &suiteDir);

// The suite's folders as the program finds them at start: suiteDir from "C:\VEXA.CFG"
// (empty when the suite is not installed), moduleDir from vexa.ini [Detour] or
// [Moduls_Dirs] under programName, else executableDir.
struct SuiteFolders
{
    QString suiteDir;
    QString moduleDir;
};
SuiteFolders FindSuiteFolders(const QString &programName, const QString &executableDir);

} // namespace RegImport
