#pragma once
// The fixed texts of the main window that more than one of its parts shows or compares.
// The table loader's texts (the status texts "Ready" and "Processing...", the window
// caption, the tab captions "#" and "<Unparsed contents>") are in tableloader.h.

#include <QString>

namespace MainFormText {

// The one tab of the empty window, and the message in its pane.
inline const QString NoFileTab = QStringLiteral("<No file loaded>");
inline const QString NoFileMessage =
    QStringLiteral("No .TBL file opened. You can either open one via the \"File\" menu, or by "
                   "double-clicking one in ARKLENS32.\r\n");

// The toolbar's open button: its caption and the key its clicks are matched by.
inline const QString OpenButtonCaption = QStringLiteral("Open .TBL");
inline const QString OpenButtonKey = QStringLiteral("FileOpen");

// The window's key in vexa.ini [Positions].
inline const QString PositionKey = QStringLiteral("ROWLENS32");
// The suite module whose tutorial the Help menu opens.
inline const QString KitModule = QStringLiteral("ZRKIT");

// The error dialog of a table file that cannot be read.
inline const QString CannotReadHeader = QStringLiteral("Cannot read file");
// The error dialog of a missing or broken suite tools library.
inline const QString ToolsMissingHeader = QStringLiteral("File not found");
inline const QString ToolsMissingMessage =
    QStringLiteral("File not found: km_tools.dll\r\n\r\nYou may need to reinstall.");

// Status panel 3 while long work runs: reading the file (with its share read so far, or
// the megabytes when its size is unknown), reading the raw text, sorting the list.
inline QString ReadingProgress(qint64 done, qint64 total)
{
    return total > 0 ? QStringLiteral("Reading %1%").arg(qMin<qint64>(100, done * 100 / total))
                     : QStringLiteral("Reading %1 MB").arg(done >> 20);
}
inline const QString ReadingRawText = QStringLiteral("Reading raw text...");
inline const QString SortingRows = QStringLiteral("Sorting...");

} // namespace MainFormText
