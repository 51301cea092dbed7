// Profile files on disk: the INI engine applied to files reached through the host layer.

#include "profile.h"

#include "inifile.h"
#include "platform/host.h"
#include "strings.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace Vexa32 {

namespace {

constexpr qsizetype MaxValueLength = 4095; // the reader's buffer of 4096, zero included

// The whole content of the regular file at host; nullopt when it cannot be read.
std::optional<QByteArray> ReadWhole(const QString &host)
{
    // Only regular files: a device or pipe could block or never end.
    if (!QFileInfo(host).isFile())
        return std::nullopt;
    QFile file(host);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return content;
}

// The read-only state of a file: no write permission for its owner (what clearing the
// read-only attribute sets), or none for this process.
bool IsReadOnly(const QFileInfo &info)
{
    return !(info.permissions() & QFileDevice::WriteOwner) || !info.isWritable();
}

} // namespace

QString NormalizeDir(const QString &dir)
{
    const bool slashStyle = dir.startsWith(u'/') || FindText(QStringLiteral("//"), dir) > 0;
    if (dir.size() >= 3 && !dir.endsWith(u'/') && !dir.endsWith(u'\\'))
        return dir + (slashStyle ? u'/' : u'\\');
    return dir;
}

QString ReadIniValue(const QString &dir, const QString &file, const QString &section,
                     const QString &key)
{
    const std::optional<QString> host = Platform::HostPath(NormalizeDir(dir) + file);
    if (!host)
        return {};
    const std::optional<QByteArray> content = ReadWhole(*host);
    if (!content)
        return {};
    const std::optional<QString> value = Ini::FindValue(*content, section, key);
    if (!value || *value == u"$")
        return {};
    return value->left(MaxValueLength);
}

void WriteIniValue(const QString &dir, const QString &file, const QString &section,
                   const QString &key, const QString &value)
{
    const std::optional<QString> host = Platform::HostPath(NormalizeDir(dir) + file);
    if (!host)
        return;
    const QFileInfo info(*host);
    QByteArray content;
    if (info.exists()) {
        if (!info.isFile() || IsReadOnly(info))
            return;
        const std::optional<QByteArray> old = ReadWhole(*host);
        if (!old)
            return;
        content = *old;
    } else if (!QFileInfo(info.absolutePath()).isDir()) {
        return;
    }
    const std::optional<QByteArray> changed = Ini::SetValue(content, section, key, value);
    if (!changed)
        return;
    // A temporary file in the same folder, renamed over the old one: an interrupted write
    // leaves the old file as it was.
    QSaveFile save(*host);
    if (!save.open(QIODevice::WriteOnly))
        return;
    if (save.write(*changed) != changed->size()) {
        save.cancelWriting();
        return;
    }
    save.commit();
}

} // namespace Vexa32
