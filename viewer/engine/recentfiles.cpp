#include "recentfiles.h"

#include "vexa32/profile.h"

namespace RecentFiles {

namespace {

QString Key(int index)
{
    return QStringLiteral("File%1").arg(index + 1);
}

} // namespace

QStringList Load(const QString &dir, const QString &file)
{
    QStringList paths;
    for (int i = 0; i < MaxFiles; ++i) {
        const QString path = Vexa32::ReadIniValue(dir, file, Section, Key(i));
        if (!path.isEmpty() && !paths.contains(path))
            paths.append(path);
    }
    return paths;
}

void Store(const QString &dir, const QString &file, const QStringList &paths)
{
    for (int i = 0; i < MaxFiles; ++i)
        Vexa32::WriteIniValue(dir, file, Section, Key(i), i < paths.size() ? paths[i] : QString());
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
