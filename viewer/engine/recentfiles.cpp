#include "viewer/engine/recentfiles.h"

namespace Engine {

QStringList LoadRecentFiles()
{
    QStringList paths;
    for (int i = 0; i < MaxRecentFiles; ++i) {
        const QString path = Vexa32::Settings::RecentFile(i).read();
        if (!path.isEmpty() && !paths.contains(path))
            paths.append(path);
    }
    return paths;
}

void StoreRecentFiles(const QStringList &paths)
{
    for (int i = 0; i < MaxRecentFiles; ++i)
        Vexa32::Settings::RecentFile(i).write(i < paths.size() ? paths[i] : QString());
}

QStringList AddedRecentFile(QStringList paths, const QString &path)
{
    paths.removeAll(path);
    paths.prepend(path);
    while (paths.size() > MaxRecentFiles)
        paths.removeLast();
    return paths;
}

QStringList ExistingRecentFiles(const QStringList &paths,
                                const std::function<bool(const QString &)> &exists)
{
    QStringList kept;
    for (const QString &path : paths) {
        if (exists(path))
            kept.append(path);
    }
    return kept;
}

} // namespace Engine
