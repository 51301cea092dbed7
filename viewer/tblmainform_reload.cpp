// TBLMainForm: the live reload of the open file (View > Reload, the automatic reload) and
// the problems panel (View > Problems, its count in status panel 3, its jump to a raw line).

#include "vexa32/globals.h"
#include "vexa32/settings.h"
#include "viewer/longwork.h"
#include "viewer/mainformcontrols.h"
#include "viewer/problemspanel.h"
#include "viewer/rawtextview.h"
#include "viewer/reloadcontroller.h"
#include "viewer/tblmainform.h"

#include <QAction>
#include <QTabBar>

void TBLMainForm::connectReload()
{
    MainFormControls &ui = *m_ui;
    m_reload = std::make_unique<ReloadController>(
        ReloadController::Panes{ui.TabStrip1, ui.ListView1, ui.RichTextBox1, m_model},
        [this](const QString &fname, const QString &caption) {
            return LoadFileOrReport(fname, caption);
        },
        this);
    m_reload->setAutoReload(Vexa32::Settings::AutoReload().readFlag().value_or(true));
    // A change on disk noticed while long work runs waits for its end.
    m_reload->setBusy([this] { return m_work->active(); });
    connect(m_reload.get(), &ReloadController::noteChanged, this, [this] { updateStatusNote(); });

    const bool shown = Vexa32::Settings::ProblemsPanel().readFlag().value_or(false);
    ui.problems->setVisible(shown);
    ui.MenuViewProblems->setChecked(shown);
    connect(ui.problems, &ProblemsPanel::problemsChanged, this, [this] { updateStatusNote(); });
    connect(ui.problems, &ProblemsPanel::lineActivated, this,
            [this](qint64 line) { ShowProblemLine(line); });
    connect(ui.MenuViewReload, &QAction::triggered, this, [this] { MenuViewReload_Click(); });
    connect(ui.MenuViewProblems, &QAction::triggered, this, [this] { MenuViewProblems_Click(); });
}

void TBLMainForm::fileLoaded(const QString &fname)
{
    m_reload->fileLoaded(fname);
    m_ui->problems->check(fname);
}

void TBLMainForm::updateStatusNote()
{
    // Long work shows its progress there meanwhile, and asks again when it ends.
    if (m_work->active()) {
        return;
    }
    // A file gone from disk says so; else the count of its problems.
    const QString note = m_reload->note();
    setStatusPanel(3, note.isEmpty() ? m_ui->problems->countText() : note);
}

void TBLMainForm::MenuViewReload_Click()
{
    m_reload->reload();
}

void TBLMainForm::MenuViewProblems_Click()
{
    ProblemsPanel *panel = m_ui->problems;
    const bool show = panel->isHidden();
    panel->setVisible(show);
    m_ui->MenuViewProblems->setChecked(show);
    // Without the program's folder (a window made outside the start-up) nothing is kept.
    if (!Vexa32::pfad_main.isEmpty()) {
        Vexa32::Settings::ProblemsPanel().writeFlag(show);
    }
    Form_Resize();
}

void TBLMainForm::ShowProblemLine(qint64 line)
{
    MainFormControls &ui = *m_ui;
    if (m_currentFile.isEmpty() || line < 1) {
        return;
    }
    // The raw tab is chosen as a click would choose it: the file is read again.
    ui.TabStrip1->setCurrentIndex(0);
    RawTextView *raw = ui.RichTextBox1;
    if (raw->isHidden() || line > raw->rawText().lineCount()) {
        return; // the load failed and was reported, or the line is gone since the check
    }
    raw->selectLines(line - 1, line - 1);
    raw->revealLine(line - 1);
    raw->setFocus();
}
