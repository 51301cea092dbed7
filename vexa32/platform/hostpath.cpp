// The drive map and the case-insensitive mapping of path texts onto host paths.

#include "vexa32/platform/host.h"
#include "vexa32/platform/pathtext.h"

#include <QDir>
#include <QFileInfo>

namespace Vexa32::Platform {

namespace {

bool IsDriveText(QStringView text)
{
    if (text.size() < 2 || text[1] != u':')
        return false;
    const char16_t letter = text[0].unicode();
    return (letter >= u'A' && letter <= u'Z') || (letter >= u'a' && letter <= u'z');
}

// The host folder of drive letter, from VEXA_DRIVE_<letter>; drive C has a default.
std::optional<QString> DriveRoot(QChar letter)
{
    const char upper = static_cast<char>(letter.toUpper().unicode());
    const QByteArray variable = QByteArrayLiteral("VEXA_DRIVE_") + upper;
    QString root = qEnvironmentVariable(variable.constData());
    if (root.isEmpty() && upper == 'C') {
        QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
        if (dataHome.isEmpty() || !QDir::isAbsolutePath(dataHome)) {
            const QString home = qEnvironmentVariable("HOME");
            if (home.isEmpty())
                return std::nullopt;
            dataHome = home + QStringLiteral("/.local/share");
        }
        root = dataHome + QStringLiteral("/korvax/drive_c");
    }
    if (root.isEmpty())
        return std::nullopt;
    return QDir::cleanPath(QDir::current().absoluteFilePath(root));
}

// The components of text after its start, with "." dropped and ".." taking away the
// component before it. On a drive ".." never climbs above the root; a relative text
// keeps its leading ".." and climbs above the working directory.
QStringList NormalizedComponents(QStringView rest, bool relative = false)
{
    QStringList components;
    qsizetype begin = 0;
    for (qsizetype i = 0; i <= rest.size(); ++i) {
        if (i < rest.size() && rest[i] != u'\\' && rest[i] != u'/')
            continue;
        const QStringView part = rest.sliced(begin, i - begin);
        begin = i + 1;
        if (part.isEmpty() || part == u".")
            continue;
        if (part == u"..") {
            if (!components.isEmpty() && components.last() != u"..")
                components.removeLast();
            else if (relative)
                components.append(part.toString());
            continue;
        }
        components.append(part.toString());
    }
    return components;
}

// The entry of folder whose name equals component without regard to case; the exact
// spelling wins, else the first in name order. Empty when there is none.
QString MatchEntry(const QString &folder, const QString &component)
{
    const QString exact = folder + u'/' + component;
    if (QFileInfo::exists(exact) || QFileInfo(exact).isSymLink())
        return component;
    const QStringList entries = QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &entry : entries) {
        if (entry.compare(component, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return {};
}

QString Resolve(QString base, const QStringList &components)
{
    bool matching = true;
    for (const QString &component : components) {
        QString name = component;
        if (matching) {
            const QString found = MatchEntry(base, component);
            if (found.isEmpty())
                matching = false; // nothing below a missing component exists either
            else
                name = found;
        }
        if (!base.endsWith(u'/'))
            base += u'/';
        base += name;
    }
    return base;
}

} // namespace

bool IsHostPathText(QStringView text)
{
    return text.startsWith(u'/');
}

bool IsSeparator(QChar c)
{
    return c == u'/' || c == u'\\';
}

qsizetype DirectoryPartLength(QStringView text)
{
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        if (IsSeparator(text[i]))
            return i + 1;
    }
    return IsDriveText(text) ? 2 : 0;
}

std::optional<QString> HostPath(const QString &path)
{
    if (path.isEmpty() || path.contains(QChar(0)))
        return std::nullopt;
    if (IsHostPathText(path)) {
        // Used as it stands, except that a "\" the program appended separates as well.
        QString host = path;
        host.replace(u'\\', u'/');
        return host;
    }
    if (IsDriveText(path)) {
        const std::optional<QString> root = DriveRoot(path[0]);
        if (!root)
            return std::nullopt;
        return Resolve(*root, NormalizedComponents(QStringView(path).sliced(2)));
    }
    if (path.startsWith(u"\\\\") || path.startsWith(u"//"))
        return std::nullopt; // network paths do not exist here
    if (path.startsWith(u'\\')) {
        // Rooted on the current drive, which is always drive C.
        const std::optional<QString> root = DriveRoot(u'C');
        if (!root)
            return std::nullopt;
        return Resolve(*root, NormalizedComponents(path));
    }
    return QDir::cleanPath(Resolve(QDir::currentPath(), NormalizedComponents(path, true)));
}

} // namespace Vexa32::Platform
