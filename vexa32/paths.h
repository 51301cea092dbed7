#pragma once
// Path and file helpers on path texts in the suite's form (drive letter, "\" separators).
// They never show anything; only DeleteFile passes a failure on, as std::runtime_error.

#include <QString>

namespace Vexa32 {

// False when value, trimmed of blanks and NULs, is empty or exactly "n/a".
bool IsValueSet(const QString &value);

// Splits at the last "/" or "\": directory keeps the separator, name is the rest.
void SplitPath(const QString &path, QString &directory, QString &name);

// Splits at the last "." of name; the dot goes to neither part.
void SplitExtension(const QString &name, QString &base, QString &extension);

// name without the text after its last "." (if any), then "." and extension.
QString ChangeExtension(const QString &name, const QString &extension);

// Creates every level of path (the first three characters, a drive root, excepted) and
// probes it with a profile file "mscreate.dir"; true when the probe could be written and
// read back. The probe is deleted again; one that resists five deletions is left behind.
// Never fails towards its caller.
bool MakeDirTree(const QString &path);

// True when name is set and a search for it (wildcards "*" and "?" in the last component)
// finds an ordinary file: not hidden, not a directory. A name ending in a separator
// matches when that folder holds an ordinary file. Never fails.
bool FileExists(const QString &name);

// Deletes the ordinary file name after resetting its attributes; nothing happens when
// FileExists is false. name is one file, not a pattern. A file whose attributes cannot be
// reset or that cannot be deleted throws std::runtime_error carrying the host's reason.
void DeleteFile(const QString &name);

} // namespace Vexa32
