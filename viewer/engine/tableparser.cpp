#include "viewer/engine/tableparser.h"

#include "viewer/engine/linehandler.h"
#include "viewer/engine/piecereading.h"
#include "viewer/engine/podbuffer.h"
#include "viewer/engine/sectionshandler.h"
#include "viewer/engine/tablefile.h"
#include "viewer/engine/tableloader.h"
#include "viewer/engine/tabletext.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace Engine {

namespace {

using Parsing::LineHandler;
using Parsing::SectionsHandler;

// Reads the file's lines into handler. With check set, stops and returns false at the
// first piece that is not valid UTF-8.
template <typename Handler>
bool readLines(QFile &file, const QString &fname, const QString &caption, Handler &handler,
               bool utf8, bool check, qsizetype skip, qsizetype parallelPiece,
               const ReadProgress &progress = {})
{
    // Pieces of up to 8 MB; a smaller file gets a buffer of its own size, so that reading
    // it costs in proportion to its length.
    constexpr qsizetype MaxChunk = qsizetype(8) << 20;
    const qsizetype Chunk =
        qsizetype(std::clamp<qint64>(file.size() - file.pos() + 1, 4096, MaxChunk));
    // The "#" mode collects headers and skims the rest; only a listing is worth a thread.
    if (caption == OpenCaption)
        parallelPiece = 0;
    // Two buffers: while the lines of one are read, the next piece of the file is fetched
    // into the other (after the incomplete line the first one ends with).
    PodBuffer<char> buffer;
    PodBuffer<char> next;
    buffer.resizeUninitialized(static_cast<std::size_t>(Chunk));
    qsizetype filled = ReadTableChunk(file, fname, buffer.data(), Chunk);
    bool eof = filled == 0;
    qsizetype pos = std::min(skip, filled);
    for (;;) {
        const char *data = buffer.data();
        const qsizetype end = eof ? filled : Parsing::completeLinesEnd(data, pos, filled);
        const qsizetype rest = filled - end;
        qsizetype got = 0;
        std::function<void()> fetch;
        if (!eof) {
            // A line longer than the free room gets a larger buffer.
            const qsizetype room = std::max<qsizetype>(Chunk, qsizetype(next.size()));
            next.resizeUninitialized(static_cast<std::size_t>(
                room - rest < Chunk / 2 ? std::max(2 * room, rest + Chunk) : room));
            std::memcpy(next.data(), data + end, static_cast<std::size_t>(rest));
            fetch = [&] {
                got =
                    ReadTableChunk(file, fname, next.data() + rest, qsizetype(next.size()) - rest);
            };
        }
        if (!Parsing::readPiece(handler, caption, utf8, check, parallelPiece, data, pos, end, eof,
                                fetch))
            return false;
        if (progress)
            progress(file.pos(), file.size());
        if (eof)
            break;
        buffer.swap(next);
        filled = rest + got;
        eof = got == 0;
        pos = 0;
    }
    return true;
}

} // namespace

ParsedTable ParseTable(QFile &file, const QString &fname, const QString &caption,
                       const Listing &listed, qsizetype parallelPiece, const ReadProgress &progress)
{
    char head[3] = {};
    const qsizetype headSize = ReadTableChunk(file, fname, head, 3);
    const qsizetype bom = Utf8BomSize(QByteArrayView(head, headSize));
    if (!file.seek(0))
        throw LoadError(fname, file.errorString());
    {
        // Optimistically UTF-8; a byte-order mark makes it certain.
        LineHandler handler(caption, listed, true);
        if (readLines(file, fname, caption, handler, true, bom == 0, bom, parallelPiece, progress))
            return handler.take();
    }
    if (!file.seek(0))
        throw LoadError(fname, file.errorString());
    LineHandler handler(caption, listed, false);
    readLines(file, fname, caption, handler, false, false, 0, parallelPiece, progress);
    return handler.take();
}

ParsedSections ParseSections(QFile &file, const QString &fname)
{
    char head[3] = {};
    const qsizetype headSize = ReadTableChunk(file, fname, head, 3);
    const qsizetype bom = Utf8BomSize(QByteArrayView(head, headSize));
    if (!file.seek(0))
        throw LoadError(fname, file.errorString());
    {
        SectionsHandler handler(true);
        if (readLines(file, fname, OpenCaption, handler, true, bom == 0, bom, 0))
            return handler.take();
    }
    if (!file.seek(0))
        throw LoadError(fname, file.errorString());
    SectionsHandler handler(false);
    readLines(file, fname, OpenCaption, handler, false, false, 0, 0);
    return handler.take();
}

} // namespace Engine