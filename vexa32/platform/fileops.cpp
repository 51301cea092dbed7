// Creating folders, clearing the read-only state and deleting files.

#include "vexa32/platform/host.h"

#include <QFile>
#include <cerrno>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace Vexa32::Platform {

namespace {

QString ErrnoText(int error)
{
    return QString::fromStdString(std::generic_category().message(error));
}

} // namespace

bool CreateDirectory(const QString &path)
{
    const std::optional<QString> host = HostPath(path);
    if (!host)
        return false;
    return ::mkdir(QFile::encodeName(*host).constData(), 0777) == 0;
}

bool SetNormalAttributes(const QString &path)
{
    const std::optional<QString> host = HostPath(path);
    if (!host)
        return false;
    const QByteArray native = QFile::encodeName(*host);
    struct stat status
    {
    };
    if (::stat(native.constData(), &status) != 0)
        return false;
    if ((status.st_mode & S_IWUSR) != 0)
        return true;
    return ::chmod(native.constData(), (status.st_mode & 07777) | S_IWUSR) == 0;
}

std::optional<QString> RemoveFile(const QString &path)
{
    const std::optional<QString> host = HostPath(path);
    if (!host)
        return ErrnoText(ENOENT);
    if (::unlink(QFile::encodeName(*host).constData()) != 0)
        return ErrnoText(errno);
    return std::nullopt;
}

} // namespace Vexa32::Platform
