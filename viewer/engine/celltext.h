#pragma once
// How the listing keeps a cell's text: as UTF-8 bytes, one byte per character for the
// ASCII text tables mostly hold. A lone UTF-16 surrogate (which a cell can only get from
// a caller's text or from cutting a cell to its last characters) is kept in the
// three-byte form UTF-8 would give it, so that every UTF-16 text comes back unchanged.
//
// Also the formatting pass's work on one cell: padding decimals and right-aligning to a
// fixed width, done on the bytes whenever a formatted cell is shown, compared or written.
//
// Stateless functions; nothing here fails or throws apart from std::bad_alloc.

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <string>

namespace Engine::CellText {

// Appends text as UTF-8 to out (lone surrogates as described above).
void AppendUtf8(QStringView text, std::string &out);
// Appends one UTF-16 unit sequence's worth: c as UTF-8.
void AppendCodePoint(char32_t c, std::string &out);

// The UTF-16 text of bytes written by AppendUtf8 (or of valid UTF-8).
QString ToString(QByteArrayView bytes);
void AppendUtf16(QByteArrayView bytes, std::u16string &out);

// How the formatting pass shows a column's cells: padded to decimals digits after the
// point, then (fixed) right-aligned to exactly FixedWidth characters.
struct Format
{
    int decimals = 0;
    bool fixed = false;
    bool active() const { return decimals > 0 || fixed; }
};
inline constexpr qsizetype FixedWidth = 12;

// Writes cell as format shows it into out (replacing what out held); returns a view of out.
QByteArrayView Formatted(QByteArrayView cell, Format format, std::string &out);
// The usual right-aligned cell, which format shows as blanks before the cell: how many
// blanks; -1 when format changes more than that (Formatted() tells then).
qsizetype LeadingBlanks(QByteArrayView cell, Format format);
// Writes blanks blanks, then cell, into out (replacing what out held); returns a view of out.
QByteArrayView Padded(qsizetype blanks, QByteArrayView cell, std::string &out);

} // namespace Engine::CellText
