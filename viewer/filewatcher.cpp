#include "viewer/filewatcher.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <algorithm>

FileWatcher::FileWatcher(QObject *parent) : QObject(parent)
{
    m_watcher = new QFileSystemWatcher(this);
    m_quiet.setSingleShot(true);
    m_poll.setInterval(PollMs);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, [this] { noteSignal(true); });
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] { noteSignal(false); });
    connect(&m_quiet, &QTimer::timeout, this, [this] { settle(); });
    connect(&m_poll, &QTimer::timeout, this, [this] { settle(); });
}

FileWatcher::Stamp FileWatcher::StampOf(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        return {};
    }
    return {info.size(), info.fileTime(QFileDevice::FileModificationTime),
            info.fileTime(QFileDevice::FileMetadataChangeTime)};
}

void FileWatcher::watch(const QString &path)
{
    if (!m_watcher->files().isEmpty()) {
        m_watcher->removePaths(m_watcher->files());
    }
    if (!m_watcher->directories().isEmpty()) {
        m_watcher->removePaths(m_watcher->directories());
    }
    m_quiet.stop();
    m_poll.stop();
    m_fileSignalled = false;
    m_missing = false;
    m_path = path;
    m_folder = path.isEmpty() ? QString() : QFileInfo(path).absolutePath();
    m_stamp = StampOf(path);
    rewatch();
}

void FileWatcher::rewatch()
{
    if (m_path.isEmpty()) {
        return;
    }
    // A file replaced by a rename, or removed, drops out of the host's watch; it is added
    // again whenever it exists.
    if (!m_watcher->files().contains(m_path) && QFileInfo::exists(m_path)) {
        m_watcher->addPath(m_path);
    }
    if (!m_watcher->directories().contains(m_folder) && QFileInfo(m_folder).isDir()) {
        m_watcher->addPath(m_folder);
    }
}

void FileWatcher::noteSignal(bool fileItself)
{
    m_fileSignalled = m_fileSignalled || fileItself;
    if (!m_quiet.isActive()) {
        m_burst.start();
    }
    const qint64 left = MaxDelayMs - m_burst.elapsed();
    m_quiet.start(static_cast<int>(std::clamp<qint64>(left, 0, QuietMs)));
}

void FileWatcher::settle()
{
    if (m_path.isEmpty()) {
        return;
    }
    rewatch();
    const bool signalled = std::exchange(m_fileSignalled, false);
    if (!QFileInfo::exists(m_path)) {
        m_poll.start();
        if (!m_missing) {
            m_missing = true;
            Q_EMIT disappeared();
        }
        return;
    }
    m_poll.stop();
    const Stamp now = StampOf(m_path);
    const bool back = std::exchange(m_missing, false);
    if (back || signalled || now != m_stamp) {
        m_stamp = now;
        Q_EMIT changed();
    }
}
