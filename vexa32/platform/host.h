#pragma once
// The host layer: every place where the program touches the operating system.
// Paths come in as texts in the suite's Windows form and are mapped here:
//   - "X:\a\b" or "X:/a/b": drive X is the host folder named by VEXA_DRIVE_X; drive C
//     defaults to ${XDG_DATA_HOME:-~/.local/share}/korvax/drive_c. Other drives do not exist.
//   - after the drive, "\" and "/" both separate components, and each component is matched
//     without regard to case against what exists; a missing component keeps its case.
//   - a text starting with "/" is a host path, used as it stands except that "\" separates
//     there too (the program appends "\" to directory texts); a relative text is relative
//     to the working directory, matched like the components after a drive.
//   - "\\server\share" does not exist; a text starting with one "\" lies on drive C.
// Hidden files are those whose name starts with "."; there are no system files.
// Nothing here shows anything to the user.

#include <QString>
#include <QStringList>
#include <optional>

namespace Vexa32::Platform {

// The host path for a path text; nullopt for a drive that is not mapped.
std::optional<QString> HostPath(const QString &path);

// Ordinary files (not hidden, not directories) that a search for pattern finds: "*" and
// "?" in the last component match as in a directory listing, case-insensitively. A
// pattern ending in a separator lists that folder's ordinary files. Host paths returned.
QStringList FindOrdinaryFiles(const QString &pattern);

// Creates one directory level; false when it exists already or cannot be made.
// Like every function here that takes a path text, an unmapped drive makes it fail.
bool CreateDirectory(const QString &path);

// Clears the read-only state of a file; false on failure.
bool SetNormalAttributes(const QString &path);

// Deletes a file; on failure returns the host's reason.
std::optional<QString> RemoveFile(const QString &path);

// The running executable: its folder (host path, no trailing separator) and its file
// name without extension ("ROWLNS32" when the executable is named so; on this host the
// build names the executable "rowlns32", which is reported in upper case).
QString ExecutableDir();
QString ExecutableName();

// The program's private folder, where the helpers only the program runs (the importer) and
// the tools library lie once installed (<prefix>/lib/<triplet>/rowlens32), found relative
// to ExecutableDir(). Host path; it need not exist (a build tree keeps everything in one
// folder, ExecutableDir()).
QString PrivateDir();

// For a helper running from the private folder: the folder of the installed programs
// (<prefix>/bin), found relative to ExecutableDir(). Host path; it need not exist.
QString ProgramsDirFromPrivate();

// The system directory in the suite's form, "C:\WINDOWS\SYSTEM"; "" when drive C is not
// mapped.
QString SystemDirectory();

// A shell special folder by its number: the path text without a trailing separator,
// "n/a" when the folder is known but has no path, nullopt when the folder is not known.
// 20 is the Fonts folder, "C:\WINDOWS\FONTS".
std::optional<QString> SpecialFolder(int csidl);

// Starts a command line ("program args...") as a new process without waiting for it.
// The program is the first blank-separated word (or a text in double quotes); a path is
// mapped like any path text, a bare name is looked up in ExecutableDir() and then in
// PrivateDir() (so "regedit" is the project's own importer), as given, in lower case and
// without a ".exe" ending; never along PATH. The remaining text is split at every single blank into
// the arguments, so joining them with one blank gives that text back exactly, as a Windows program
// sees its command line ("regedit /s C:\My Dir\x.reg" passes "/s", "C:\My", "Dir\x.reg"). False
// when the program is not found or could not be started.
bool StartProcess(const QString &commandLine);

// Returns the memory the program has freed to the operating system where the allocator
// keeps it otherwise (after a large file's contents were let go). Never fails.
void ReleaseFreeMemory();

// From now on, blocks of a megabyte or more are given back to the operating system as
// soon as they are freed (instead of the allocator keeping them for later use), so that a
// listing replaced by another is not held twice. Never fails; does nothing where the
// allocator cannot be told.
void ReturnLargeBlocksOnFree();

} // namespace Vexa32::Platform
