#pragma once
// The File menu's list of recently opened table files, kept in the profile entries
// Settings::RecentFile (rowlns32.ini [Recent] File1, the newest, to File5). GUI-free.
//
// Reading and writing go through the settings index, so they never fail: a missing or
// unreadable file reads as an empty list, a write that cannot be made is lost.

#include "vexa32/settings.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace Engine {

inline constexpr int MaxRecentFiles = Vexa32::Settings::RecentFileCount;

// The stored paths, newest first, without empty entries.
QStringList LoadRecentFiles();
// Stores paths (at most MaxRecentFiles, newest first); keys beyond them are emptied.
void StoreRecentFiles(const QStringList &paths);

// paths with path moved (or added) to the front, at most MaxRecentFiles long. Paths are
// compared exactly.
QStringList AddedRecentFile(QStringList paths, const QString &path);
// paths without those for which exists is false, order kept.
QStringList ExistingRecentFiles(const QStringList &paths,
                                const std::function<bool(const QString &)> &exists);

} // namespace Engine
