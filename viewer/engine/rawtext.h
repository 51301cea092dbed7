#pragma once
// RawText: a table file's text for the raw view ("<Unparsed contents>") and tbldump.
//
// Keeps the file's bytes and an index of where each line starts, not a decoded copy, so
// a large file costs about its own size plus the index. Lines end at CR, CR LF or a lone
// LF; a final line without terminator counts, an empty rest after the last terminator
// does not. Encoding as for the loader (tabletext.h): a UTF-8 byte-order mark is not
// part of the text.
//
// load() throws LoadError when the file cannot be opened or read. A loaded RawText is a
// value; it does not keep the file open.

#include "viewer/engine/podbuffer.h"

#include <QByteArray>
#include <QString>

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
    // The most columns a line takes when each of its tabs takes tabWidth columns and every
    // other byte one (an upper bound of its characters); 0 without lines.
    qsizetype widestLine(int tabWidth) const;
    // Size of the file in bytes, byte-order mark included.
    qsizetype byteSize() const { return m_bytes.size(); }
    bool isUtf8() const { return m_utf8; }
    // The whole decoded text with its original line ends (without the byte-order mark).
    QString text() const;

private:
    qsizetype lineStart(qsizetype index) const;

    QByteArray m_bytes;
    qsizetype m_textStart = 0; // after the byte-order mark
    bool m_utf8 = false;
    // Start offsets of the lines; 32-bit while the file is smaller than 4 GiB.
    PodBuffer<quint32> m_starts32;
    PodBuffer<qint64> m_starts64;
};

} // namespace Engine
