// Advisory locks (flock) and in-place writes.

#include "vexa32/platform/filelock.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace Vexa32::Platform {

namespace {

// Opens a regular file without following into a pipe or device (which could block).
int OpenRegular(const QByteArray &path, int flags)
{
    const int fd = ::open(path.constData(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0)
        return -1;
    struct stat status
    {
    };
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool WriteAt(int fd, QByteArrayView bytes, qsizetype offset)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::pwrite(fd, bytes.data() + done, std::size_t(bytes.size() - done), offset + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// Waits at most timeout for the lock on fd. The wait is a blocking flock in a thread of its
// own: the kernel hands the lock to a blocked waiter as soon as it is free, where polling
// would let a busy writer take it again and again. A waiter given up on keeps waiting on a
// duplicate of the descriptor and lets the lock go at once when it gets it.
bool WaitForLock(int fd, int operation, std::chrono::milliseconds timeout)
{
    struct Shared
    {
        std::mutex mutex;
        std::condition_variable done;
        bool locked = false;
        bool abandoned = false;
    };
    const int waiterFd = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (waiterFd < 0)
        return false;
    auto shared = std::make_shared<Shared>();
    try {
        std::thread([shared, waiterFd, operation] {
            int result;
            do
                result = ::flock(waiterFd, operation);
            while (result != 0 && errno == EINTR);
            std::lock_guard<std::mutex> guard(shared->mutex);
            if (shared->abandoned || result != 0) {
                ::close(waiterFd); // the last descriptor of the lock: released
                shared->abandoned = true;
            } else {
                ::close(waiterFd); // fd shares the open file and keeps the lock
                shared->locked = true;
            }
            shared->done.notify_all();
        }).detach();
    } catch (const std::system_error &) {
        ::close(waiterFd);
        return false;
    }
    std::unique_lock<std::mutex> guard(shared->mutex);
    shared->done.wait_for(guard, timeout, [&] { return shared->locked || shared->abandoned; });
    if (shared->locked)
        return true;
    shared->abandoned = true;
    return false;
}

} // namespace

QString LockFilePath(const QString &host)
{
    const QFileInfo info(host);
    // Through links to the file itself, so that every name of one file shares one lock.
    const QString canonical = info.canonicalFilePath();
    const QFileInfo file(canonical.isEmpty() ? info.absoluteFilePath() : canonical);
    const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
    return (folder.isEmpty() ? file.absolutePath() : folder) + QStringLiteral("/.") +
           file.fileName() + QStringLiteral(".lock");
}

std::unique_ptr<FileLock> FileLock::Acquire(const QString &host, Mode mode,
                                            std::chrono::milliseconds timeout)
{
    const QByteArray lockName = QFile::encodeName(LockFilePath(host));
    int fd = -1;
    if (mode == Mode::Exclusive)
        fd = OpenRegular(lockName, O_RDWR | O_CREAT);
    if (fd < 0)
        fd = OpenRegular(lockName, O_RDONLY);
    if (fd < 0)
        fd = OpenRegular(QFile::encodeName(host), O_RDONLY);
    if (fd < 0)
        return nullptr;

    const int operation = mode == Mode::Exclusive ? LOCK_EX : LOCK_SH;
    int result;
    do
        result = ::flock(fd, operation | LOCK_NB);
    while (result != 0 && errno == EINTR);
    if (result == 0)
        return std::unique_ptr<FileLock>(new FileLock(fd));
    if (errno != EWOULDBLOCK || !WaitForLock(fd, operation, timeout)) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<FileLock>(new FileLock(fd));
}

FileLock::~FileLock()
{
    ::close(m_fd); // releases the lock
}

bool IsFolderWritable(const QString &hostFolder)
{
    return ::access(QFile::encodeName(hostFolder).constData(), W_OK) == 0;
}

bool OverwriteInPlace(const QString &host, QByteArrayView old, QByteArrayView content)
{
    const int fd = OpenRegular(QFile::encodeName(host), O_WRONLY);
    if (fd < 0)
        return false;
    const auto first = std::mismatch(old.begin(), old.end(), content.begin(), content.end());
    const qsizetype common = first.first - old.begin();

    bool ok = true;
#ifdef FALLOC_FL_KEEP_SIZE
    // Reserve the room first, so that a full disk is found before anything changes.
    if (content.size() > old.size() &&
        ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, off_t(content.size())) != 0 && errno == ENOSPC)
        ok = false;
#endif
    if (ok)
        ok = WriteAt(fd, content.sliced(common), common) &&
             (content.size() >= old.size() || ::ftruncate(fd, off_t(content.size())) == 0);
    if (ok) {
        ::fdatasync(fd);
    } else {
        // Put the old bytes back.
        WriteAt(fd, old.sliced(common), common);
        if (::ftruncate(fd, off_t(old.size())) == 0)
            ::fdatasync(fd);
    }
    ::close(fd);
    return ok;
}

} // namespace Vexa32::Platform
