#pragma once
// TBLMainForm: the program's main window. It shows a table file through the window
// operations of TableWindow (filled by Engine::LoadFile) and owns the commands around
// it: the open dialog, the toolbar, the recent files, Options, Exit, the Help commands, the
// find bar, copying rows, the live reload, the problems panel, the twips layout and the
// stored window position.
//
// The window is put together from parts, each in its own file: the widgets
// (mainformcontrols.h) and the menus (mainformmenus.h) it builds, the layout
// (mainformlayout.h), the find bar's behaviour (findcontroller.h), the recent files
// (recentfilesmenu.h), the reload of the file on show (reloadcontroller.h) and the list of
// its problems (problemspanel.h). The handlers below are the window's own and delegate to those
// parts.
//
// The window owns all its controls and its TableListModel. Constructing it builds the
// controls and runs Form_Load (restores the position stored under "ROWLENS32"); closing it
// runs Form_Unload (stores the position). The creator shows it.
//
// Long work (a load, the raw text's reading, a sort of a long list) keeps the window
// painted and shows its progress in status panel 3 (longwork.h); the user's input waits
// for its end, except closing: a close request meanwhile saves what closing saves and
// abandons the work, and LoadFile then throws LongWork::Abandoned.
//
// Errors: LoadFile passes a failed load on as LoadError (tableloader.h). LoadFileOrReport
// catches it and tells the user with the error dialog; tab clicks load that way, so a
// file deleted or locked since it was opened never ends the program. The open command
// swallows every failure and ends with the status "Ready".

#include "viewer/engine/tablewindow.h"

#include <QHash>
#include <QMainWindow>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class CompareMode;
class FindController;
class LongWork;
class ProblemsPanel;
class ReloadController;
struct MainFormControls;
class SectionExport;

class TBLMainForm : public QMainWindow, public Engine::TableWindow
{
    Q_OBJECT
public:
    // The window starts with the caption "Korvax Manager ROWLENS32" in its no-file state.
    explicit TBLMainForm(QWidget *parent = nullptr);
    ~TBLMainForm() override;

    // Loads fname into the window ("#" opens it afresh, a tab caption lists that section).
    // Throws LoadError when the file cannot be read; the window stays usable.
    void LoadFile(const QString &fname, const QString &caption);
    // LoadFile that reports a failure with the error dialog instead of throwing; false when
    // the load failed.
    bool LoadFileOrReport(const QString &fname, const QString &caption);

    const QString &CurrentFile() const { return m_currentFile; }

    // The open dialog: returns the chosen path, or nullopt when cancelled. Replaceable so
    // that tests can answer it without a modal dialog.
    using OpenFileDialog = std::function<std::optional<QString>(const QString &initialDir)>;
    void setOpenFileDialog(OpenFileDialog dialog);

    // Makes this program the handler of *.TBL files when the Options dialog is confirmed
    // with its box checked. The start-up installs it (the association code lives there);
    // without one the dialog only stores the choice.
    void setFileTypeAssociation(std::function<void()> associate);

    // The live reload and the problems panel (tblmainform_reload.cpp).
    void MenuViewReload_Click();       // F5: reads the file again, keeping the view
    void MenuViewProblems_Click();     // shows or hides the problems panel
    void ShowProblemLine(qint64 line); // the raw text with that line (from 1) selected
    // File > Compare with... and File > Export section..., each with its replaceable dialog.
    CompareMode &compareMode() { return *m_compare; }
    SectionExport &sectionExport() { return *m_export; }

    // Handlers of the window's events and commands.
    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void MenuFileOpen_Click();
    void MenuFileOptions_Click();
    void MenuFileRecent_Click(int index); // index from 0, newest first
    void MenuFileExit_Click();
    void MenuHelpTutorial_Click();
    void MenuHelpKMVC_Click();
    void MenuHelpAbout_Click();
    void Toolbar1_ButtonClick(const QString &key);
    void TabStrip1_Click();
    void ListView1_ItemClick(int displayRow);
    void ListView1_ColumnClick(int column);
    void ShowFindBar();      // Ctrl+F
    void CloseFindBar();     // Esc in the bar: the list shows all rows again
    void FindNext();         // F3: the next raw line holding the text
    void CopySelectedRows(); // Ctrl+C on the list
    void ShowRecordInRawText(int displayRow);
    void SelectTabBy(int step); // Ctrl+PgDown (+1), Ctrl+PgUp (-1)

    // TableWindow.
    void setStatusPanel(int panel, const QString &text) override;
    QString statusPanel(int panel) const override;
    void repaintStatusBar() override;
    void clearTabs() override;
    void appendTab(const QString &caption) override;
    int tabCount() const override;
    Engine::TableListModel &listModel() override;
    void setListReportView(bool report) override;
    bool listVisible() const override;
    void setListVisible(bool visible) override;
    std::optional<int> selectedRow() const override;
    void loadRawText(const QString &fname) override;
    void setRawVisible(bool visible) override;
    void setPlaceholderVisible(bool visible) override;
    QString caption() const override;
    void setCaption(const QString &caption) override;
    void setBusyPointer(bool busy) override;
    void repaintWindow() override;
    void setCurrentFile(const QString &fname) override;
    void runLayout() override;
    void itemClick(int displayRow) override;
    void loadProgress(qint64 done, qint64 total) override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectControls();
    void applyColumnWidths();
    QString shownSection() const; // the caption of the selected tab's section
    void openFromOutside(const QString &path);
    void showCurrentRecordInRawText();
    void connectReload();
    void fileLoaded(const QString &fname); // after every successful load
    void updateStatusNote();
    void longWorkStatus(const QString &text); // status panel 3 ("" when the work ends)

    std::unique_ptr<MainFormControls> m_ui; // pointers to the widgets, which the window owns
    // A child of the window (found by its name), destroyed before the widgets it points at.
    std::unique_ptr<ReloadController> m_reload;
    Engine::TableListModel *m_model = nullptr;
    // Watches the list and the raw pane. Owned here, not by the window, so that it is gone
    // before the window's children are destroyed (their last events find no filter).
    std::unique_ptr<FindController> m_find;
    std::unique_ptr<CompareMode> m_compare;
    std::unique_ptr<SectionExport> m_export;
    std::unique_ptr<LongWork> m_work;
    // The load on its way: its caption, whether its reading has started, whether the raw
    // text was on show when it did (it is let go then and read again on a failure).
    QString m_loadCaption;
    bool m_readingStarted = false;
    bool m_rawDropped = false;
    bool m_panel1Busy = false; // panel 1 says "Processing..." for work other than a load
    QString m_currentFile;
    OpenFileDialog m_openDialog;
    std::function<void()> m_associate;
    bool m_loading = false;
    bool m_busy = false;
    // The outer size the layout last ran for: the frame is known only once the window
    // manager has framed the shown window, and the layout runs again then.
    QSize m_layoutOuter;
    int m_shownTab = 0; // the tab whose section the panes show
    // Column widths (pixels) the user set, by section caption and column title; emptied
    // when a file is opened.
    std::map<QString, QHash<QString, int>> m_columnWidths;
    bool m_applyingWidths = false;
};
