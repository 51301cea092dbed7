// The directory search with the filter for ordinary files.

#include "vexa32/platform/host.h"
#include "vexa32/platform/pathtext.h"
#include "vexa32/platform/wildcard.h"

#include <QDir>
#include <QFileInfo>

namespace Vexa32::Platform {

namespace {

bool IsOrdinaryFile(const QFileInfo &info)
{
    // isFile() follows links and is false for directories, devices, pipes and sockets.
    return info.isFile() && !info.fileName().startsWith(u'.');
}

} // namespace

QStringList FindOrdinaryFiles(const QString &pattern)
{
    if (pattern.isEmpty() || pattern.contains(QChar(0)))
        return {};
    const qsizetype directoryLength = DirectoryPartLength(pattern);
    const QString directoryText = pattern.left(directoryLength);
    const QString namePattern = pattern.sliced(directoryLength);

    if (!namePattern.isEmpty() && !HasWildcards(namePattern)) {
        const std::optional<QString> file = HostPath(pattern);
        if (file && IsOrdinaryFile(QFileInfo(*file)))
            return {*file};
        return {};
    }

    const std::optional<QString> folder = directoryText.isEmpty()
                                              ? std::optional<QString>(QDir::currentPath())
                                              : HostPath(directoryText);
    if (!folder)
        return {};
    QStringList found;
    const QFileInfoList entries = QDir(*folder).entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo &entry : entries) {
        if (!IsOrdinaryFile(entry))
            continue;
        if (namePattern.isEmpty() || MatchesWildcard(namePattern, entry.fileName()))
            found.append(entry.filePath());
    }
    return found;
}

} // namespace Vexa32::Platform
