#pragma once
// The table reader's handling of lines: a LineHandler takes the header and field lines of
// one reading of a file, in order, and builds what the reading lists for one caption (the
// "#" mode collects the tab captions as well). A handler for a later piece of the file can
// be read on another thread and absorbed afterwards. The handler owns its result until
// take(); the caption it is given must outlive it. Fails only with std::bad_alloc or
// std::length_error when the listing does not fit in memory.

#include "viewer/engine/listing.h"
#include "viewer/engine/tableparser.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringView>
#include <string>
#include <vector>

namespace Engine::Parsing {

inline constexpr int NameColumnWidth = 2000;

// Position of the first c in bytes, or -1. Lines are short: a plain loop beats a call.
inline qsizetype findByte(QByteArrayView bytes, char c)
{
    const char *data = bytes.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (data[i] == c)
            return i;
    }
    return -1;
}

inline char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
}

// An end header: its whole text, lowered (A-Z only), is "end" or contains " end".
inline bool isEndHeader(QByteArrayView header)
{
    const qsizetype n = header.size();
    if (n == 3 && lowerAscii(header[0]) == 'e' && lowerAscii(header[1]) == 'n' &&
        lowerAscii(header[2]) == 'd')
        return true;
    for (qsizetype i = 0; i + 3 < n; ++i) {
        if (header[i] == ' ' && lowerAscii(header[i + 1]) == 'e' &&
            lowerAscii(header[i + 2]) == 'n' && lowerAscii(header[i + 3]) == 'd')
            return true;
    }
    return false;
}

// Handles the lines of one reading of the file.
class LineHandler
{
public:
    LineHandler(const QString &caption, const Listing &listed, bool utf8);

    // A handler for a later piece of the file, read while an earlier piece is: it starts
    // in or out of the listed section as given, with no record and only the "Name"
    // column, and keeps the field lines that come before its first record for absorb().
    // Listing mode only.
    LineHandler(const QString &caption, bool utf8, bool inSection);

    // Whether the lines after a header with this text are read (the header's section is
    // the listed one).
    bool listsSectionOf(QByteArrayView headerText) const;

    // Takes over what a partial handler read from the piece right after this handler's
    // lines, as if this handler had read that piece itself.
    void absorb(LineHandler &&part);

    void line(QByteArrayView line)
    {
        if (line.isEmpty())
            return;
        if (line[0] == '#')
            header(line.sliced(1));
        else if (line[0] == '$' && m_inSection)
            field(line);
    }

    // False while the lines of the current section are of no interest (only a header
    // can change that).
    bool wantsFieldLines() const { return m_inSection; }

    ParsedTable take() { return std::move(m_result); }

private:
    void header(QByteArrayView text);
    void field(QByteArrayView line);

    // The value goes into the current record's cell of column; a numeric value makes the
    // column right-aligned and raises its decimal count. plainNumber: the text is known to
    // be digits with at most one "." (numeric without a closer look).
    // highBytes: whether text holds a byte of 0x80 or more.
    void storeValue(int column, QByteArrayView text, bool plainNumber, bool highBytes);

    // Fields mostly come in the same order in every record, so the column that followed the
    // last one used (the record's name for the first field) the time before is tried first;
    // otherwise the titles' index is asked, so that a section with very many distinct
    // fields still reads in linear time.
    int findOrAppendColumn(QByteArrayView name);

    // Keeps the byte forms of the column titles and the titles' index in step with the
    // listing. The index keeps the first column of a title, as a search from the left would.
    void syncTitles()
    {
        if (m_titleBytes.size() != static_cast<std::size_t>(m_result.listing.columnCount()))
            appendTitles();
    }
    void appendTitles();

    // Makes m_text the value as UTF-8: the bytes up to the first ";", decoded, tabs turned
    // into blanks, then trimmed of blanks and NULs (so tabs at the ends go as well). A
    // view into the line when nothing needs changing, else into m_scratch.
    void decodeValue(QByteArrayView value);

    // A field line a partial handler met before its first record.
    struct Pending
    {
        int column;
        QByteArray value;
    };

    const QString &m_caption;
    const bool m_openMode;
    const bool m_utf8;
    const bool m_partial;
    bool m_inSection = false;
    int m_row = -1;
    // The column of the last field line of the record, 0 after its "$Name:" line, and for
    // each column the one that followed it last.
    int m_lastColumn = 0;
    std::vector<int> m_successor;
    ParsedTable m_result;
    std::string m_scratch;
    std::u16string m_decoded;
    // Each column title's bytes when it is ASCII (else empty, and m_titleIsAscii false);
    // the views look into m_asciiTitles, whose byte arrays are never changed.
    std::vector<QByteArray> m_asciiTitles;
    std::vector<QByteArrayView> m_titleBytes;
    std::vector<char> m_titleIsAscii;
    QHash<QString, int> m_columnOf;
    QByteArrayView m_text;
    bool m_plainNumber = false; // set by decodeValue()
    bool m_highBytes = false;   // set by decodeValue(): m_text holds a byte of 0x80 or more
    std::vector<Pending> m_pending;
};

} // namespace Engine::Parsing
