// Profile files on disk: the INI engine applied to files reached through the host layer.

#include "vexa32/profile.h"

#include "vexa32/inifile.h"
#include "vexa32/platform/filelock.h"
#include "vexa32/platform/host.h"
#include "vexa32/strings.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace Vexa32 {

namespace {

constexpr qsizetype MaxValueLength = 4095; // the reader's buffer of 4096, zero included

// How long a reader or writer waits for another writer of the file. A writer that cannot
// have the lock in that time gives up and leaves the file as it was; a reader reads anyway.
constexpr std::chrono::milliseconds LockWait{3000};

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

// The folder that holds the file itself (through links), where its replacement is made.
QString FolderOf(const QString &host)
{
    const QString real = QFileInfo(host).canonicalFilePath();
    return QFileInfo(real.isEmpty() ? host : real).absolutePath();
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
    // Where the folder cannot be written, writers change the file in place: wait until
    // none is in the middle of it. Elsewhere a file is only ever replaced as a whole.
    std::unique_ptr<Platform::FileLock> lock;
    if (QFileInfo(*host).isFile() && !Platform::IsFolderWritable(FolderOf(*host)))
        lock = Platform::FileLock::Acquire(*host, Platform::FileLock::Mode::Shared, LockWait);
    const std::optional<QByteArray> content = ReadWhole(*host);
    lock.reset();
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
    const QString folder = QFileInfo(*host).absolutePath();
    if (!QFileInfo(folder).isDir())
        return;
    // One writer at a time, and the file read again once the lock is held: a change that
    // another writer made in between is kept.
    const std::unique_ptr<Platform::FileLock> lock =
        Platform::FileLock::Acquire(*host, Platform::FileLock::Mode::Exclusive, LockWait);
    if (!lock)
        return;
    const QFileInfo info(*host);
    QByteArray content;
    const bool exists = info.exists();
    if (exists) {
        if (!info.isFile() || IsReadOnly(info))
            return;
        const std::optional<QByteArray> old = ReadWhole(*host);
        if (!old)
            return;
        content = *old;
    }
    const std::optional<QByteArray> changed = Ini::SetValue(content, section, key, value);
    if (!changed || (exists && *changed == content))
        return;
    if (Platform::IsFolderWritable(FolderOf(*host))) {
        // A temporary file in the same folder, renamed over the old one: readers see the
        // old file or the new one, and an interrupted write leaves the old one as it was.
        QSaveFile save(*host);
        if (!save.open(QIODevice::WriteOnly))
            return;
        if (save.write(*changed) != changed->size()) {
            save.cancelWriting();
            return;
        }
        save.commit();
    } else if (exists) {
        Platform::OverwriteInPlace(*host, content, *changed);
    }
}

void RemoveProfileLock(const QString &dir, const QString &file)
{
    const std::optional<QString> host = Platform::HostPath(NormalizeDir(dir) + file);
    if (host && !QFileInfo::exists(*host))
        QFile::remove(Platform::LockFilePath(*host));
}

} // namespace Vexa32
