#pragma once
// Advisory locks and in-place writes for files that several programs change: the suite's
// shared profile files. Host paths only (see host.h for how path texts are mapped).
//
// Every writer of a file takes the exclusive lock of the hidden file ".<file>.lock" beside
// it (the lock file is created when missing and left in place: removing it would let two writers
// lock two different files). Where the lock file can neither be created nor opened, the file itself
// is locked; all writers of that folder then do the same. The locks are advisory (flock):
// they order the writers that take them, nothing else.

#include <QByteArrayView>
#include <QString>
#include <chrono>
#include <memory>

namespace Vexa32::Platform {

class FileLock
{
public:
    enum class Mode
    {
        Shared,   // readers: never creates the lock file
        Exclusive // writers
    };

    // The lock guarding the file at host, held until the object is destroyed; nullptr when
    // it could not be had within timeout (another holder) or could not be taken at all.
    static std::unique_ptr<FileLock> Acquire(const QString &host, Mode mode,
                                             std::chrono::milliseconds timeout);

    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

private:
    explicit FileLock(int fd) : m_fd(fd) {}
    int m_fd;
};

// The lock file that guards the file at host.
QString LockFilePath(const QString &host);

// Whether new files can be made in the folder (host path).
bool IsFolderWritable(const QString &hostFolder);

// Overwrites the file at host, whose content is old, with content, in place (for a file
// whose folder cannot be written). Only the bytes from the first difference on are
// written, room for a longer content is reserved before any byte changes, and the data is
// flushed to the disk before returning. On a failed write the old bytes are put back as far
// as the system lets them. What this cannot give: a crash or power loss during the write
// may leave a file that is partly old and partly new (there is no second copy to fall back
// on); readers that take the shared lock never see such a file while a writer is alive.
// True when the file holds content.
bool OverwriteInPlace(const QString &host, QByteArrayView old, QByteArrayView content);

} // namespace Vexa32::Platform
