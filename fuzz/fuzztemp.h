#pragma once
// Where the fuzz targets keep the files of one input: a memory file system when the host
// has one, so that an input costs no disk writes.

#include <QDir>
#include <QFileInfo>
#include <QString>

inline QString FuzzTempRoot()
{
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    return shm.isDir() && shm.isWritable() ? shm.filePath() : QDir::tempPath();
}
