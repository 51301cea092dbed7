#pragma once
// CompareMode: File > Compare with... and the window's compare mode. The user picks another
// table file; from then on the section on show is listed as its comparison with that file
// (the open file is the newer side): the open file's rows, then the records only the other
// file has, each row and changed cell marked (CompareMarks). The section tabs carry a "*"
// and a tint where the section differs, and a tab is added for each section only the other
// file has. "Show only differences" narrows the list to the marked rows, together with the
// find text. Leaving the mode, or opening another file, returns to the ordinary listing.
//
// Every section shown reads both files again, as the ordinary listing reads the open one.
// A file that cannot be read is reported with the error dialog and ends the mode.
//
// The controller points at the window's widgets, which the window owns; it owns the toolbar
// items it adds; the menu items are the window's. The window calls loaded() after every
// successful load.

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class CompareMarks;
class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QTabBar;
class QTableView;
class QToolBar;
class TBLMainForm;
namespace Engine {
struct SectionDiff;
struct TableComparison;
class TableListModel;
} // namespace Engine

class CompareMode : public QObject
{
    Q_OBJECT
public:
    struct Parts
    {
        TBLMainForm *window = nullptr;
        QTabBar *tabs = nullptr;
        QTableView *list = nullptr;
        Engine::TableListModel *model = nullptr;
        QMenu *fileMenu = nullptr; // its items are brought up to date when it opens
        QAction *compareItem = nullptr;
        QAction *leaveItem = nullptr;
        QAction *onlyDifferencesItem = nullptr; // checkable
        QToolBar *toolbar = nullptr;
    };
    explicit CompareMode(const Parts &parts);
    ~CompareMode() override;

    // The file dialog that picks the other file: the chosen path, or nullopt when
    // cancelled. Replaceable so that tests answer it without a modal dialog.
    using FileDialog = std::function<std::optional<QString>(const QString &initialDir)>;
    void setFileDialog(FileDialog dialog);

    bool active() const { return !m_other.isEmpty(); }
    const QString &otherFile() const { return m_other; }
    const CompareMarks &marks() const { return *m_marks; }

    // File > Compare with...: asks for the other file and starts comparing with it.
    void MenuFileCompare_Click();
    // Compares the open file with other; false when a file could not be read (reported).
    bool start(const QString &other);
    void leave();
    void setOnlyDifferences(bool only);
    bool onlyDifferences() const { return m_onlyDifferences; }

    // After every load: "#" ends the mode, a section caption lists its comparison.
    void loaded(const QString &caption);

private:
    void updateItems();
    void markTabs(const Engine::TableComparison &comparison);
    void markTab(int index, bool differs);
    bool showSection(const QString &caption);
    void showDiff(const Engine::SectionDiff &diff);
    void end(bool reload);
    void showSummary(const QString &caption, int added, int changed, int removed);
    QString otherName() const;

    Parts m_parts;
    CompareMarks *m_marks = nullptr; // owned by the list
    FileDialog m_dialog;
    QString m_other;
    bool m_onlyDifferences = false;
    int m_differing = 0; // sections that differ
    int m_ownTabs = 0;   // tabs of the open file; later ones are sections only the other has

    QAction *m_compareItem = nullptr;
    QAction *m_leaveItem = nullptr;
    QAction *m_onlyItem = nullptr;
    QAction *m_toolbarSeparator = nullptr;
    QAction *m_summaryAction = nullptr;
    QAction *m_onlyAction = nullptr;
    QAction *m_leaveAction = nullptr;
    QLabel *m_summary = nullptr;
    QCheckBox *m_onlyBox = nullptr;
};
