#include "recentfiles.h"

namespace RecentFiles {

QStringList Load()
{
    QStringList paths;
    for (int i = 0; i < MaxFiles; ++i) {
        const QString path = Vexa32::Settings::RecentFile(i).read();
        if (!path.isEmpty() && !paths.contains(path))
            paths.append(path);
    }
    return paths;
}

void Store(const QStringList &paths)
{
    for (int i = 0; i < MaxFiles; ++i)
        Vexa32::Settings::RecentFile(i).write(i < paths.size() ? paths[i] : QString());
}

QStringList Added(QStringList paths, const QString &path)
{
    paths.removeAll(path);
    paths.prepend(path);
    while (paths.size() > MaxFiles)
        paths.removeLast();
    return paths;
}

QStringList Existing(const QStringList &paths, const std::function<bool(const QString &)> &exists)
{
    QStringList kept;
    for (const QString &path : paths) {
        if (exists(path))
            kept.append(path);
    }
    return kept;
}

} // namespace RecentFiles
