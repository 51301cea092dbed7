#include "viewer/engine/piecereading.h"

#include "viewer/engine/lineends.h"
#include "viewer/engine/tabletext.h"
#include "viewer/engine/twothreads.h"

#include <cstring>

namespace Engine::Parsing {

namespace {

// Start of the first line in data[from, to) that begins with "#", or -1. from is the
// start of a line; every other line starts right after a CR or an LF.
qsizetype findHeaderLine(const char *data, qsizetype from, qsizetype to)
{
    qsizetype i = from;
    while (i < to) {
        const void *found = std::memchr(data + i, '#', std::size_t(to - i));
        if (!found)
            return -1;
        const qsizetype at = static_cast<const char *>(found) - data;
        if (at == from || data[at - 1] == '\r' || data[at - 1] == '\n')
            return at;
        i = at + 1;
    }
    return -1;
}

// Hands the lines of data[from, to) to handler. Every line there ends with its terminator,
// except the last one when last is set (the end of the file).
template <typename Handler>
void readRegion(Handler &handler, const char *data, qsizetype from, qsizetype to, bool last)
{
    qsizetype pos = from;
    while (pos < to) {
        if (!handler.wantsFieldLines()) {
            // Only a header can change anything: go to the next line starting with "#".
            const qsizetype header = findHeaderLine(data, pos, to);
            if (header < 0)
                return;
            pos = header;
        }
        const qsizetype t = FindLineEnd(data, pos, to);
        if (t == to) {
            if (last)
                handler.line(QByteArrayView(data + pos, to - pos));
            return;
        }
        qsizetype next = t + 1;
        if (data[t] == '\r' && next < to && data[next] == '\n')
            ++next;
        handler.line(QByteArrayView(data + pos, t - pos));
        pos = next;
    }
}

// Start of the line after the first line end at or after at in data[from, to), or -1 when
// there is none before to.
qsizetype lineStartAfter(const char *data, qsizetype at, qsizetype to)
{
    const qsizetype t = FindLineEnd(data, at, to);
    if (t >= to - 1)
        return -1;
    return (data[t] == '\r' && data[t + 1] == '\n') ? t + 2 : t + 1;
}

// Start of the last line in data[from, to) that begins with "#", or -1. Looks at eight
// bytes at a time for a "#".
qsizetype lastHeaderLine(const char *data, qsizetype from, qsizetype to)
{
    constexpr quint64 Ones = 0x0101010101010101ULL;
    constexpr quint64 Highs = 0x8080808080808080ULL;
    qsizetype i = to - 1;
    while (i >= from) {
        if (i - from >= 8) {
            quint64 word;
            std::memcpy(&word, data + i - 7, 8);
            const quint64 hash = word ^ (Ones * '#');
            // Without any zero byte the test is exact: no "#" among the eight.
            if (((hash - Ones) & ~hash & Highs) == 0) {
                i -= 8;
                continue;
            }
        }
        if (data[i] == '#' && (i == from || data[i - 1] == '\r' || data[i - 1] == '\n'))
            return i;
        --i;
    }
    return -1;
}

} // namespace

qsizetype completeLinesEnd(const char *data, qsizetype from, qsizetype to)
{
    for (qsizetype i = to - 1; i >= from; --i) {
        if (data[i] == '\n')
            return i + 1;
        if (data[i] == '\r' && i + 1 < to)
            return i + 1;
    }
    return from;
}

bool readPiece(LineHandler &handler, const QString &caption, bool utf8, bool check,
               qsizetype parallelPiece, const char *data, qsizetype from, qsizetype to, bool last)
{
    auto valid = [&](qsizetype begin, qsizetype end) {
        return !check || CheckUtf8(QByteArrayView(data + begin, end - begin)).valid;
    };
    const qsizetype split = parallelPiece > 0 && to - from >= 2 * parallelPiece
                                ? lineStartAfter(data, from + (to - from) / 2, to)
                                : -1;
    if (split < 0) {
        readRegion(handler, data, from, to, last);
        return valid(from, to);
    }
    const qsizetype header = lastHeaderLine(data, from, split);
    bool inSection = handler.wantsFieldLines();
    if (header >= 0) {
        const qsizetype end = FindLineEnd(data, header, split);
        inSection = handler.listsSectionOf(QByteArrayView(data + header + 1, end - header - 1));
    }
    LineHandler part(caption, utf8, inSection);
    bool firstValid = true;
    bool secondValid = true;
    RunOnTwoThreads(
        [&] {
            readRegion(handler, data, from, split, false);
            firstValid = valid(from, split);
        },
        [&] {
            readRegion(part, data, split, to, last);
            secondValid = valid(split, to);
        });
    handler.absorb(std::move(part));
    return firstValid && secondValid;
}

bool readPiece(SectionsHandler &handler, const QString &, bool, bool check, qsizetype,
               const char *data, qsizetype from, qsizetype to, bool last)
{
    readRegion(handler, data, from, to, last);
    return !check || CheckUtf8(QByteArrayView(data + from, to - from)).valid;
}

} // namespace Engine::Parsing
