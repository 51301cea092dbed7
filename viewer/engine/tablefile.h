#pragma once
// Opening and reading a table file from disk. The one place where a file name given to
// the engine turns into an open file.
//
// Every function throws LoadError (tableloader.h) with a short reason when the file
// cannot be opened or read: "No such file", "Is a folder", "Not a regular file",
// "Permission denied", or the host's own description of a read error.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <memory>

namespace Engine {

// Opens fname (a host path) for reading. Only regular files are opened, so a folder or a
// pipe never blocks or reads as an empty table.
std::unique_ptr<QFile> OpenTableFile(const QString &fname);

// Reads up to maxBytes into buffer at offset; returns the number read, 0 at the end.
qsizetype ReadTableChunk(QFile &file, const QString &fname, char *buffer, qsizetype maxBytes);

// The whole contents of fname.
QByteArray ReadTableFile(const QString &fname);

} // namespace Engine
