#pragma once
// FileWatcher: tells when one file on disk was written, replaced or removed, for the live
// reload of the open table file.
//
// It watches the file and the folder that holds it, so that an editor that saves by
// writing a new file and renaming it over the old one is followed: the watch moves to the
// new file. Signals are gathered: a burst of writes gives one changed() once the file has
// been quiet for a moment, and at most MaxDelayMs after the first write of the burst even
// while the writes go on. A change of the folder alone (another file created, renamed or
// removed there) counts only when the file's size or times differ from what they were.
//
// When the file is gone, disappeared() is emitted once and the file is looked for every
// PollMs (the folder may be gone as well); when it is back, changed() follows.
//
// Nothing here fails: a path that cannot be watched by the host is looked at only by the
// poll while it is missing, and otherwise goes unnoticed.

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class QFileSystemWatcher;

class FileWatcher : public QObject
{
    Q_OBJECT
public:
    static constexpr int QuietMs = 150;
    static constexpr int MaxDelayMs = 500;
    static constexpr int PollMs = 500;

    explicit FileWatcher(QObject *parent = nullptr);

    // Watches path (a host path) from now on; "" watches nothing.
    void watch(const QString &path);
    const QString &path() const { return m_path; }
    // True from disappeared() until the file is back.
    bool fileMissing() const { return m_missing; }

Q_SIGNALS:
    void changed();
    void disappeared();

private:
    struct Stamp
    {
        qint64 size = -1;
        QDateTime modified;
        QDateTime metadataChanged;
        bool operator==(const Stamp &) const = default;
    };
    static Stamp StampOf(const QString &path);

    void noteSignal(bool fileItself);
    void settle();
    void rewatch();

    QFileSystemWatcher *m_watcher = nullptr;
    QTimer m_quiet;
    QTimer m_poll;
    QElapsedTimer m_burst;
    QString m_path;
    QString m_folder;
    Stamp m_stamp;
    bool m_fileSignalled = false;
    bool m_missing = false;
};
