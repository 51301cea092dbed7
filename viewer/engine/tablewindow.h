#pragma once
// The window operations the table loader drives. TBLMainForm implements them with
// widgets; HeadlessTableWindow (headlesswindow.h) records them for tbldump and the tests.
// The list itself is a TableListModel that the window owns and shows in ListView1.

#include <QString>
#include <QtGlobal>
#include <optional>

namespace Engine {

class TableListModel;

class TableWindow
{
public:
    virtual ~TableWindow() = default;

    // StatusBar1: panel is 1, 2 or 3.
    virtual void setStatusPanel(int panel, const QString &text) = 0;
    virtual QString statusPanel(int panel) const = 0;
    virtual void repaintStatusBar() = 0;

    // TabStrip1.
    virtual void clearTabs() = 0;
    virtual void appendTab(const QString &caption) = 0;
    virtual int tabCount() const = 0;

    // ListView1: its contents, view mode, visibility and selected row (a display row).
    virtual TableListModel &listModel() = 0;
    virtual void setListReportView(bool report) = 0;
    virtual bool listVisible() const = 0;
    virtual void setListVisible(bool visible) = 0;
    virtual std::optional<int> selectedRow() const = 0;

    // RichTextBox1: loads fname as plain text (throws LoadError when it cannot be read).
    virtual void loadRawText(const QString &fname) = 0;
    virtual void setRawVisible(bool visible) = 0;

    // Text1, the no-file message.
    virtual void setPlaceholderVisible(bool visible) = 0;

    // The window itself.
    virtual QString caption() const = 0;
    virtual void setCaption(const QString &caption) = 0;
    virtual void setBusyPointer(bool busy) = 0;
    virtual void repaintWindow() = 0;
    virtual void setCurrentFile(const QString &fname) = 0;
    virtual void runLayout() = 0;               // Form_Resize
    virtual void itemClick(int displayRow) = 0; // ListView1_ItemClick

    // The load's long work: called on the loading thread once before the file is read
    // (done 0), between the blocks it is read in (done of total bytes; total is the file's
    // size, 0 when unknown) and between the later steps. A window may show the progress,
    // repaint and take a close request here; it may throw to abandon the load, which
    // LoadFile then ends as a failed read. The default does nothing.
    virtual void loadProgress(qint64 /*done*/, qint64 /*total*/) {}
};

} // namespace Engine
