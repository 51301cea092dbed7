// Path texts taken apart and put together, and files probed, found and deleted through
// the host layer.

#include "vexa32/paths.h"

#include "vexa32/platform/host.h"
#include "vexa32/profile.h"
#include "vexa32/strings.h"

#include <stdexcept>

namespace Vexa32 {

namespace {

constexpr int ProbeDeleteAttempts = 5;

bool IsSeparator(QChar c)
{
    return c == u'/' || c == u'\\';
}

} // namespace

bool IsValueSet(const QString &value)
{
    QString trimmed = value;
    TrimBlanks(trimmed);
    return !trimmed.isEmpty() && trimmed != u"n/a";
}

void SplitPath(const QString &path, QString &directory, QString &name)
{
    qsizetype cut = path.size();
    while (cut > 0 && !IsSeparator(path[cut - 1]))
        --cut;
    // Copy first: path may be the same object as one of the outputs.
    const QString whole = path;
    directory = whole.left(cut);
    name = whole.sliced(cut);
}

void SplitExtension(const QString &name, QString &base, QString &extension)
{
    const QString whole = name;
    const qsizetype dot = whole.lastIndexOf(u'.');
    if (dot < 0) {
        base = whole;
        extension.clear();
        return;
    }
    base = whole.left(dot);
    extension = whole.sliced(dot + 1);
}

QString ChangeExtension(const QString &name, const QString &extension)
{
    QString base = name;
    if (name.contains(u'.')) {
        QString ignored;
        SplitExtension(name, base, ignored);
    }
    return base + u'.' + extension;
}

bool MakeDirTree(const QString &path)
{
    // Every level after the drive root; "/" does not separate here and the last character
    // is not examined (the whole path is created next).
    for (qsizetype i = 3; i < path.size() - 1; ++i) {
        if (path[i] == u'\\')
            Platform::CreateDirectory(path.left(i));
    }
    Platform::CreateDirectory(path);

    const QString probe = QStringLiteral("mscreate.dir");
    const QString test = QStringLiteral("Test");
    WriteIniValue(path, probe, test, test, test);
    const bool usable = ReadIniValue(path, probe, test, test) == test;

    // A probe that resists deletion is left behind rather than retried for ever.
    const QString probePath = NormalizeDir(path) + probe;
    for (int attempt = 0; attempt < ProbeDeleteAttempts && FileExists(probePath); ++attempt) {
        try {
            DeleteFile(probePath);
        } catch (const std::runtime_error &) {
            // MakeDirTree never fails towards its caller.
        }
    }
    RemoveProfileLock(path, probe);
    return usable;
}

bool FileExists(const QString &name)
{
    return IsValueSet(name) && !Platform::FindOrdinaryFiles(name).isEmpty();
}

void DeleteFile(const QString &name)
{
    if (!FileExists(name))
        return;
    if (!Platform::SetNormalAttributes(name))
        throw std::runtime_error("cannot reset the attributes of " + name.toStdString());
    if (const std::optional<QString> reason = Platform::RemoveFile(name))
        throw std::runtime_error("cannot delete " + name.toStdString() + ": " +
                                 reason->toStdString());
}

} // namespace Vexa32
