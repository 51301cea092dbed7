#pragma once
// RawText: a table file's text for the raw view ("<Unparsed contents>") and tbldump.
//
// Keeps the file's bytes and where every 16th line starts, not a decoded copy, so a large
// file costs little more than its own size: lineBytes() finds a line from the nearest
// recorded start, forEachLine() walks lines in order at the cost of their bytes. Lines end
// at CR, CR LF or a lone LF; a final line without terminator counts, an empty rest after
// the last terminator does not. Encoding as for the loader (tabletext.h): a UTF-8
// byte-order mark is not part of the text.
//
// load() throws LoadError when the file cannot be opened or read. A loaded RawText is a
// value; it does not keep the file open.

#include "viewer/engine/podbuffer.h"

#include <QByteArray>
#include <QString>
#include <algorithm>

namespace Engine {

class RawText
{
public:
    RawText() = default;

    static RawText load(const QString &fname);
    // The same from bytes already read (the whole file, byte-order mark included).
    static RawText fromBytes(QByteArray bytes);

    qsizetype lineCount() const;
    // Line index (from 0), decoded, without its terminator; "" when index is out of range.
    QString line(qsizetype index) const;
    // The undecoded bytes of a line, without its terminator.
    QByteArrayView lineBytes(qsizetype index) const;
    // Calls visit(index, bytes) for the lines first to last (cut to the text), in order,
    // until visit returns false; bytes as lineBytes() gives them.
    template <typename Visit>
    void forEachLine(qsizetype first, qsizetype last, Visit &&visit) const
    {
        first = std::max<qsizetype>(first, 0);
        last = std::min(last, lineCount() - 1);
        if (first > last)
            return;
        qsizetype start = lineStart(first);
        for (qsizetype index = first; index <= last; ++index) {
            qsizetype next = 0;
            if (!visit(index, lineFrom(start, next)))
                return;
            start = next;
        }
    }
    // The most columns a line takes when each of its tabs takes tabWidth columns and every
    // other byte one (an upper bound of its characters); 0 without lines.
    qsizetype widestLine(int tabWidth) const;
    // Size of the file in bytes, byte-order mark included.
    qsizetype byteSize() const { return m_bytes.size(); }
    bool isUtf8() const { return m_utf8; }
    // The whole decoded text with its original line ends (without the byte-order mark).
    QString text() const;

private:
    // Lines between two recorded starts.
    static constexpr qsizetype StartEvery = 16;

    // index must be a line of the text.
    qsizetype lineStart(qsizetype index) const;
    // The line that starts at start, without its terminator; next becomes the start of the
    // line after it (the text's end when there is none).
    QByteArrayView lineFrom(qsizetype start, qsizetype &next) const;

    QByteArray m_bytes;
    qsizetype m_textStart = 0; // after the byte-order mark
    bool m_utf8 = false;
    qsizetype m_lines = 0;
    // Start offsets of lines 0, 16, 32, ...; 32-bit while the file is smaller than 4 GiB.
    PodBuffer<quint32> m_starts32;
    PodBuffer<qint64> m_starts64;
};

} // namespace Engine
