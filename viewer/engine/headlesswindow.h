#pragma once
// HeadlessTableWindow: a TableWindow without widgets, for tbldump and the tests. It
// records what LoadFile does to the window (status panels, tabs, caption, current file,
// which view is visible, pointer, the raw text's file) and owns the list's model.
//
// The user's actions are emulated by clickTab (TabStrip1_Click: LoadFile with the current
// file and the caption; its failures reach the caller), clickRow (ListView1_ItemClick)
// and clickColumn (ListView1_ColumnClick). Replacing the list's rows clears the selected
// row, as the list view does. loadRawText only records the file name; it never reads it.

#include "viewer/engine/tablemodel.h"
#include "viewer/engine/tablewindow.h"

#include <QStringList>

namespace Engine {

class HeadlessTableWindow : public TableWindow
{
public:
    HeadlessTableWindow();

    void setStatusPanel(int panel, const QString &text) override;
    QString statusPanel(int panel) const override;
    void repaintStatusBar() override {}

    void clearTabs() override { m_tabs.clear(); }
    void appendTab(const QString &caption) override { m_tabs.append(caption); }
    int tabCount() const override { return static_cast<int>(m_tabs.size()); }
    const QStringList &tabs() const { return m_tabs; }

    TableListModel &listModel() override { return m_model; }
    const TableListModel &listModel() const { return m_model; }
    void setListReportView(bool report) override { m_reportView = report; }
    bool listReportView() const { return m_reportView; }
    bool listVisible() const override { return m_listVisible; }
    void setListVisible(bool visible) override { m_listVisible = visible; }
    std::optional<int> selectedRow() const override { return m_selected; }
    void setSelectedRow(std::optional<int> row) { m_selected = row; }

    void loadRawText(const QString &fname) override { m_rawTextFile = fname; }
    const QString &rawTextFile() const { return m_rawTextFile; }
    void setRawVisible(bool visible) override { m_rawVisible = visible; }
    bool rawVisible() const { return m_rawVisible; }

    void setPlaceholderVisible(bool visible) override { m_placeholderVisible = visible; }
    bool placeholderVisible() const { return m_placeholderVisible; }

    QString caption() const override { return m_caption; }
    void setCaption(const QString &caption) override { m_caption = caption; }
    void setBusyPointer(bool busy) override { m_busy = busy; }
    bool busyPointer() const { return m_busy; }
    void repaintWindow() override {}
    void setCurrentFile(const QString &fname) override { m_currentFile = fname; }
    const QString &currentFile() const { return m_currentFile; }
    void runLayout() override {}
    // ListView1_ItemClick: panel 2 shows the row's record name.
    void itemClick(int displayRow) override;

    // The user's clicks.
    void clickTab(const QString &caption);
    void clickRow(int displayRow);
    void clickColumn(int column);

private:
    TableListModel m_model;
    QString m_panels[3];
    QStringList m_tabs;
    QString m_caption;
    QString m_currentFile;
    QString m_rawTextFile;
    std::optional<int> m_selected;
    bool m_reportView = true;
    bool m_listVisible = false;
    bool m_rawVisible = false;
    bool m_placeholderVisible = true;
    bool m_busy = false;
};

} // namespace Engine
