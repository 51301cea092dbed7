#pragma once
// Profile (INI) file access: the only way the program reads and writes settings.
// Paths are texts in the suite's form ("C:\KORVAX\vexa.ini"); the host layer maps them.
// Neither function ever raises or reports an error.

#include <QString>

namespace Vexa32 {

// Appends a separator ("/" for slash-style texts, else "\") to a text of three or more
// characters that does not end in one; shorter texts are returned unchanged.
QString NormalizeDir(const QString &dir);

// The value of key in [section] of NormalizeDir(dir) + file; "" when the file, section or
// key is missing, the value is empty, or the value is "$". At most 4095 characters.
QString ReadIniValue(const QString &dir, const QString &file, const QString &section,
                     const QString &key);

// Sets key=value in [section] of NormalizeDir(dir) + file, creating file, section and key as
// needed and keeping every other line byte for byte and the file's encoding (rules in
// inifile.h). Writers take the file's exclusive lock (platform/filelock.h) and read the file
// again under it, so writes of other programs that take it are never lost; when the lock
// cannot be had within a few seconds nothing is written. The file is replaced atomically (a
// temporary file in the same folder renamed over it), or changed in place when only the
// file, not its folder, can be written. A missing folder, a read-only file, or a section,
// key or value holding CR or LF writes nothing.
void WriteIniValue(const QString &dir, const QString &file, const QString &section,
                   const QString &key, const QString &value);

// Removes the writers' lock file that WriteIniValue leaves beside a profile file, for a file
// that is gone for good (a probe written and deleted again). Fails silently.
void RemoveProfileLock(const QString &dir, const QString &file);

} // namespace Vexa32
