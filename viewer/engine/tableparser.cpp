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
    PodBuffer<char> buffer;
    buffer.resizeUninitialized(static_cast<std::size_t>(Chunk));
    qsizetype filled = 0;
    bool eof = false;
    bool first = true;
    while (!eof) {
        if (qsizetype(buffer.size()) - filled < Chunk / 2)
            buffer.resizeUninitialized(buffer.size() * 2); // a line longer than the free room
        const qsizetype got =
            ReadTableChunk(file, fname, buffer.data() + filled, qsizetype(buffer.size()) - filled);
        eof = got == 0;
        filled += got;
        const char *data = buffer.data();
        qsizetype pos = 0;
        if (first) {
            pos = std::min(skip, filled);
            first = false;
        }
        const qsizetype end = eof ? filled : Parsing::completeLinesEnd(data, pos, filled);
        if (!Parsing::readPiece(handler, caption, utf8, check, parallelPiece, data, pos, end, eof))
            return false;
        std::memmove(buffer.data(), data + end, static_cast<std::size_t>(filled - end));
        filled -= end;
        if (progress)
            progress(file.pos(), file.size());
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