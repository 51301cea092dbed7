#include "viewer/engine/tablefile.h"

#include "viewer/engine/tableloader.h"

#include <QFileInfo>
#include <algorithm>

namespace Engine {

std::unique_ptr<QFile> OpenTableFile(const QString &fname)
{
    const QFileInfo info(fname);
    if (fname.isEmpty() || !info.exists())
        throw LoadError(fname, QStringLiteral("No such file"));
    if (info.isDir())
        throw LoadError(fname, QStringLiteral("Is a folder"));
    if (!info.isFile())
        throw LoadError(fname, QStringLiteral("Not a regular file"));
    auto file = std::make_unique<QFile>(fname);
    // Unbuffered: the engine reads large pieces itself, a second copy would only cost.
    if (!file->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        switch (file->error()) {
        case QFileDevice::PermissionsError:
            throw LoadError(fname, QStringLiteral("Permission denied"));
        default:
            if (!info.isReadable())
                throw LoadError(fname, QStringLiteral("Permission denied"));
            throw LoadError(fname, file->errorString());
        }
    }
    return file;
}

qsizetype ReadTableChunk(QFile &file, const QString &fname, char *buffer, qsizetype maxBytes)
{
    const qint64 got = file.read(buffer, maxBytes);
    if (got < 0)
        throw LoadError(fname, file.errorString().isEmpty() ? QStringLiteral("Read error")
                                                            : file.errorString());
    return static_cast<qsizetype>(got);
}

QByteArray ReadTableFile(const QString &fname)
{
    const std::unique_ptr<QFile> file = OpenTableFile(fname);
    QByteArray bytes;
    const qint64 size = file->size();
    // Pieces of the file's size (at most 1 MB), and room for the whole file and one more
    // piece, so the final empty read does not copy.
    const qsizetype kChunk = qsizetype(std::clamp<qint64>(size + 1, 4096, qint64(1) << 20));
    bytes.reserve(static_cast<qsizetype>(size > 0 ? size : 0) + kChunk);
    for (;;) {
        const qsizetype old = bytes.size();
        bytes.resize(old + kChunk);
        const qsizetype got = ReadTableChunk(*file, fname, bytes.data() + old, kChunk);
        bytes.resize(old + got);
        if (got == 0)
            break;
    }
    return bytes;
}

} // namespace Engine
