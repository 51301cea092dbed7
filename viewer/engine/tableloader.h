#pragma once
// LoadFile: reads a table file and fills a TableWindow from it.
//
// caption "#": rebuilds the tabs ("<Unparsed contents>" plus one per section that is not
// an end header) and shows the raw text. Any other caption: lists that section's records
// (one row per "$Name:" record, one column per field) and formats numeric columns; the
// caption "<Unparsed contents>" shows the raw text instead.
//
// Lines end at CR, CR LF or a lone LF. The file is Windows-1252, unless it starts with a
// UTF-8 byte-order mark or is valid UTF-8 holding non-ASCII bytes.
//
// A file that cannot be opened or read throws LoadError before the tabs or the list are
// touched; the status text, caption and pointer are restored first.

#include <QString>
#include <stdexcept>

namespace Engine {

class TableWindow;

class LoadError : public std::runtime_error
{
public:
    LoadError(const QString &fileName, const QString &reason);
    const QString &fileName() const { return m_fileName; }
    const QString &reason() const { return m_reason; }
    // "Cannot read <file>: <reason>"
    QString message() const;

private:
    QString m_fileName;
    QString m_reason;
};

// The fixed texts of a table window: the tab of the raw text, the caption argument that
// opens a file afresh, the status texts and the window caption.
inline const QString UnparsedCaption = QStringLiteral("<Unparsed contents>");
inline const QString OpenCaption = QStringLiteral("#");
inline const QString ReadyStatus = QStringLiteral("Ready");
inline const QString ProcessingStatus = QStringLiteral("Processing...");
inline const QString WindowCaption = QStringLiteral("Korvax Manager ROWLENS32");
// The caption while a file is loaded: "Korvax Manager ROWLENS32 - [<fname>]".
QString FileCaption(const QString &fname);

void LoadFile(TableWindow &window, const QString &fname, const QString &caption);

} // namespace Engine
