#include "viewer/engine/tableloader.h"

#include "viewer/engine/tablefile.h"
#include "viewer/engine/tablemodel.h"
#include "viewer/engine/tableparser.h"
#include "viewer/engine/tablewindow.h"

#include <new>
#include <stdexcept>

namespace Engine {

LoadError::LoadError(const QString &fileName, const QString &reason)
    : std::runtime_error(QStringLiteral("Cannot read %1: %2").arg(fileName, reason).toStdString()),
      m_fileName(fileName), m_reason(reason)
{
}

QString LoadError::message() const
{
    return QStringLiteral("Cannot read %1: %2").arg(m_fileName, m_reason);
}

QString FileCaption(const QString &fname)
{
    return WindowCaption + QStringLiteral(" - [") + fname + QStringLiteral("]");
}

namespace {

// What LoadFile changed before reading, put back when the reading fails.
struct WindowRestore
{
    TableWindow &window;
    QString panel1;
    QString caption;

    void restore() const
    {
        window.setStatusPanel(1, panel1);
        window.setCaption(caption);
        window.setListReportView(true);
        window.setBusyPointer(false);
    }
};

ParsedTable readTable(QFile &file, const QString &fname, const QString &caption,
                      const Listing &listed, TableWindow &window)
{
    try {
        window.loadProgress(0, file.size());
        return ParseTable(
            file, fname, caption, listed, ParallelPiece,
            [&window](qint64 done, qint64 total) { window.loadProgress(done, total); });
    } catch (const std::length_error &) {
        throw LoadError(fname, QStringLiteral("File too large"));
    } catch (const std::bad_alloc &) {
        throw LoadError(fname, QStringLiteral("Not enough memory"));
    }
}

} // namespace

void LoadFile(TableWindow &window, const QString &fname, const QString &captionArg)
{
    QString caption = captionArg;
    const bool openMode = caption == OpenCaption;

    // Opened before anything is shown, so a missing file changes nothing.
    std::unique_ptr<QFile> file = OpenTableFile(fname);

    const WindowRestore before{window, window.statusPanel(1), window.caption()};
    window.setStatusPanel(1, ProcessingStatus);
    window.repaintStatusBar();
    window.setCaption(FileCaption(fname));
    window.setListReportView(false);
    window.setBusyPointer(true);
    window.repaintWindow();

    const qint64 size = file->size();
    ParsedTable parsed;
    try {
        parsed = readTable(*file, fname, caption, window.listModel().listing(), window);
    } catch (...) {
        before.restore();
        throw;
    }
    file.reset();

    // The whole file was read: apply tabs and list in one go.
    TableListModel &model = window.listModel();
    if (openMode) {
        window.clearTabs();
        window.appendTab(UnparsedCaption);
        for (const QString &section : std::as_const(parsed.sections))
            window.appendTab(section);
        // The listing left from before receives the rows of a section named "#" and is
        // formatted once more.
        Listing listing = model.takeListing();
        listing.appendRows(std::move(parsed.listing));
        listing.formatColumns();
        model.setListing(std::move(listing));
    } else {
        parsed.listing.formatColumns();
        // Before the list changes, the window may paint, or abandon the load, once more.
        try {
            window.loadProgress(size, size);
        } catch (...) {
            before.restore();
            throw;
        }
        model.setListing(std::move(parsed.listing));
    }

    window.setListReportView(true);
    window.setBusyPointer(false);
    window.setCurrentFile(fname);
    window.runLayout();

    if (openMode)
        caption = UnparsedCaption;
    window.setPlaceholderVisible(false);
    if (caption == UnparsedCaption) {
        window.setListVisible(false);
        try {
            window.loadRawText(fname);
        } catch (...) {
            // The file went away after it was read; the status text must not stay
            // "Processing...".
            window.setStatusPanel(1, before.panel1);
            throw;
        }
        window.setRawVisible(true);
    } else {
        window.setListVisible(true);
        window.setRawVisible(false);
    }

    window.setStatusPanel(2, QString());
    const std::optional<int> selected = window.selectedRow();
    if (selected && window.listVisible())
        window.itemClick(*selected);
    window.setStatusPanel(1, ReadyStatus);
}

} // namespace Engine
