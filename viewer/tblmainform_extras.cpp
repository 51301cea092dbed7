// TBLMainForm: find bar, copying rows, dropped files, the jump from a record to its raw
// line, recent files, the Options dialog, section switching by keyboard and the names
// that assistive tools read.

#include "tblmainform_extras.h"

#include "findbar.h"
#include "optionsdialog.h"
#include "rawtextview.h"
#include "tblmainform.h"
#include "tblmainform_controls.h"
#include "vexa32/globals.h"
#include "vexa32/gui/screen.h"
#include "vexa32/paths.h"
#include "vexa32/profile.h"
#include "viewer/engine/rawsearch.h"
#include "viewer/engine/recentfiles.h"
#include "viewer/engine/recordlines.h"
#include "viewer/engine/tableloader.h"
#include "viewer/engine/tablemodel.h"

#include <QAction>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTableView>
#include <QToolBar>
#include <algorithm>

namespace {

const QString SettingsFile = QStringLiteral("rowlns32.ini");

// Calls handler for the events of the objects it watches; handler returns true to eat one.
class EventHook : public QObject
{
public:
    using Handler = std::function<bool(QObject *, QEvent *)>;
    EventHook(QObject *parent, Handler handler) : QObject(parent), m_handler(std::move(handler)) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        return m_handler(watched, event) || QObject::eventFilter(watched, event);
    }

private:
    Handler m_handler;
};

// The first local file of a drag, or "".
QString DroppedFile(const QMimeData *data)
{
    if (data == nullptr || !data->hasUrls()) {
        return {};
    }
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile()) {
            return url.toLocalFile();
        }
    }
    return {};
}

// Scrolls the raw pane so that line is in view, a third from the top when it was not.
void RevealLine(RawTextView *raw, qsizetype line)
{
    QScrollBar *bar = raw->verticalScrollBar();
    const int visible =
        std::max(1, raw->viewport()->height() / std::max(1, raw->fontMetrics().lineSpacing()));
    if (line < bar->value() || line >= bar->value() + visible) {
        bar->setValue(static_cast<int>(std::max<qsizetype>(0, line - visible / 3)));
    }
}

} // namespace

void TBLMainForm::buildExtras()
{
    m_extras = std::make_unique<Extras>();
    Controls &ui = *m_ui;
    Extras &ex = *m_extras;
    QMenuBar *bar = menuBar();

    // Several rows can be selected for copying; the row clicked last names panel 2.
    ui.ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    setAcceptDrops(true);

    // File menu: Options and the recent files between Open and the separator above Exit.
    auto *file = bar->findChild<QMenu *>(QStringLiteral("MenuFile"));
    ex.MenuFileOptions = new QAction(QStringLiteral("O&ptions..."), file);
    ex.MenuFileOptions->setObjectName(QStringLiteral("MenuFileOptions"));
    file->insertAction(ui.MenuBlank0, ex.MenuFileOptions);
    ex.MenuFileRecentBlank = file->insertSeparator(ui.MenuBlank0);
    ex.MenuFileRecentBlank->setObjectName(QStringLiteral("MenuFileRecentBlank"));
    for (std::size_t i = 0; i < ex.MenuFileRecent.size(); ++i) {
        auto *recent = new QAction(file);
        recent->setObjectName(QStringLiteral("MenuFileRecent%1").arg(i + 1));
        file->insertAction(ui.MenuBlank0, recent);
        connect(recent, &QAction::triggered, this,
                [this, i] { MenuFileRecent_Click(static_cast<int>(i)); });
        ex.MenuFileRecent[i] = recent;
    }
    connect(ex.MenuFileOptions, &QAction::triggered, this, [this] { MenuFileOptions_Click(); });
    connect(file, &QMenu::aboutToShow, this, [this] { refreshRecentMenu(); });

    // Edit and View menus, between File and Help.
    auto *help = bar->findChild<QMenu *>(QStringLiteral("MenuHelp"));
    ex.MenuEdit = new QMenu(QStringLiteral("&Edit"), bar);
    ex.MenuEdit->setObjectName(QStringLiteral("MenuEdit"));
    bar->insertMenu(help->menuAction(), ex.MenuEdit);
    ex.MenuEditFind = ex.MenuEdit->addAction(QStringLiteral("&Find..."));
    ex.MenuEditFind->setObjectName(QStringLiteral("MenuEditFind"));
    ex.MenuEditFind->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    ex.MenuEditFindNext = ex.MenuEdit->addAction(QStringLiteral("Find &next"));
    ex.MenuEditFindNext->setObjectName(QStringLiteral("MenuEditFindNext"));
    ex.MenuEditFindNext->setShortcut(QKeySequence(Qt::Key_F3));
    ex.MenuEditCopy = ex.MenuEdit->addAction(QStringLiteral("&Copy"));
    ex.MenuEditCopy->setObjectName(QStringLiteral("MenuEditCopy"));
    ex.MenuEditCopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    ex.MenuEditShowRaw = ex.MenuEdit->addAction(QStringLiteral("Show record in &raw text\tEnter"));
    ex.MenuEditShowRaw->setObjectName(QStringLiteral("MenuEditShowRaw"));
    connect(ex.MenuEditFind, &QAction::triggered, this, [this] { ShowFindBar(); });
    connect(ex.MenuEditFindNext, &QAction::triggered, this, [this] { FindNext(); });
    connect(ex.MenuEditCopy, &QAction::triggered, this, [this] { CopySelectedRows(); });
    connect(ex.MenuEditShowRaw, &QAction::triggered, this, [this] {
        const QModelIndex current = m_ui->ListView1->currentIndex();
        ShowRecordInRawText(current.isValid() ? current.row() : -1);
    });

    ex.MenuView = new QMenu(QStringLiteral("&View"), bar);
    ex.MenuView->setObjectName(QStringLiteral("MenuView"));
    bar->insertMenu(help->menuAction(), ex.MenuView);
    ex.MenuViewNextTab = ex.MenuView->addAction(QStringLiteral("&Next section"));
    ex.MenuViewNextTab->setObjectName(QStringLiteral("MenuViewNextTab"));
    ex.MenuViewNextTab->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_PageDown), QKeySequence(Qt::CTRL | Qt::Key_Tab)});
    ex.MenuViewPreviousTab = ex.MenuView->addAction(QStringLiteral("&Previous section"));
    ex.MenuViewPreviousTab->setObjectName(QStringLiteral("MenuViewPreviousTab"));
    ex.MenuViewPreviousTab->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_PageUp),
                                          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
                                          QKeySequence(Qt::CTRL | Qt::Key_Backtab)});
    connect(ex.MenuViewNextTab, &QAction::triggered, this, [this] { SelectTabBy(1); });
    connect(ex.MenuViewPreviousTab, &QAction::triggered, this, [this] { SelectTabBy(-1); });

    // The find bar, hidden until Ctrl+F.
    ex.findBar = new FindBar(ui.Frame1);
    ex.findBar->hide();
    connect(ex.findBar, &FindBar::searchRequested, this,
            [this](const QString &text) { applyFindText(text); });
    connect(ex.findBar, &FindBar::findNext, this, [this] { FindNext(); });
    connect(ex.findBar, &FindBar::closeRequested, this, [this] { CloseFindBar(); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { updateFindStatus(); });

    // Enter or a double-click on a row shows the record in the raw text; the find bar's
    // count follows the pane on show.
    connect(ui.ListView1, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex &index) { ShowRecordInRawText(index.row()); });
    ex.eventHook = std::make_unique<EventHook>(nullptr, [this](QObject *watched, QEvent *event) {
        if (watched == m_ui->ListView1 && event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                key->modifiers() == Qt::NoModifier) {
                const QModelIndex current = m_ui->ListView1->currentIndex();
                ShowRecordInRawText(current.isValid() ? current.row() : -1);
                return true;
            }
        }
        if ((watched == m_ui->ListView1 || watched == m_ui->RichTextBox1) &&
            event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape &&
            !m_extras->findBar->isHidden()) {
            // Esc in the pane closes the find bar as well as Esc in its field.
            CloseFindBar();
            return true;
        }
        if (watched == m_ui->RichTextBox1 &&
            (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
            updateFindStatus();
        }
        return false;
    });
    ui.ListView1->installEventFilter(ex.eventHook.get());
    ui.RichTextBox1->installEventFilter(ex.eventHook.get());

    // Names and descriptions for assistive tools; keyboard order tabs, find, list, raw.
    ui.TabStrip1->setAccessibleName(QStringLiteral("Sections"));
    ui.TabStrip1->setAccessibleDescription(
        QStringLiteral("One tab per section of the table file; Ctrl+Page Down and Ctrl+Page Up "
                       "switch between them"));
    ui.ListView1->setAccessibleName(QStringLiteral("Records"));
    ui.ListView1->setAccessibleDescription(
        QStringLiteral("One row per record of the section; Enter shows the record in the raw "
                       "text, Ctrl+C copies the selected rows"));
    ui.RichTextBox1->setAccessibleName(QStringLiteral("Raw text"));
    ui.RichTextBox1->setAccessibleDescription(
        QStringLiteral("The whole table file as it is written"));
    ui.Text1->setAccessibleName(QStringLiteral("No file loaded"));
    ui.Toolbar1->setAccessibleName(QStringLiteral("Toolbar"));
    ui.StatusBar1->setAccessibleName(QStringLiteral("Status bar"));
    const char *panelNames[] = {"Status", "Selected record", "Status panel 3"};
    for (std::size_t i = 0; i < ui.panels.size(); ++i) {
        ui.panels[i]->setAccessibleName(QLatin1String(panelNames[i]));
    }
    ui.ListView1->setFocusPolicy(Qt::StrongFocus);
    // Rows are selected whole: Tab leaves the list instead of walking its cells.
    ui.ListView1->setTabKeyNavigation(false);
    // The find bar lies in the panes' frame: from its field Tab goes to the pane on show,
    // Shift+Tab back to the tabs.
    connect(ex.findBar, &FindBar::tabPressed, this, [this](bool backward) {
        Controls &ui = *m_ui;
        if (backward) {
            ui.TabStrip1->setFocus(Qt::BacktabFocusReason);
        } else if (!ui.ListView1->isHidden()) {
            ui.ListView1->setFocus(Qt::TabFocusReason);
        } else if (!ui.RichTextBox1->isHidden()) {
            ui.RichTextBox1->setFocus(Qt::TabFocusReason);
        }
    });

    refreshRecentMenu();
    updateFileCommands();
}

void TBLMainForm::updateFileCommands()
{
    // Finding, copying and switching sections need a loaded file.
    const bool loaded = !m_currentFile.isEmpty();
    Extras &ex = *m_extras;
    for (QAction *action : {ex.MenuEditFind, ex.MenuEditFindNext, ex.MenuEditCopy,
                            ex.MenuEditShowRaw, ex.MenuViewNextTab, ex.MenuViewPreviousTab}) {
        action->setEnabled(loaded);
    }
}

void TBLMainForm::setFileTypeAssociation(std::function<void()> associate)
{
    m_extras->associate = std::move(associate);
}

// --- Find -------------------------------------------------------------------------------

void TBLMainForm::layoutFindBar()
{
    if (!m_extras) {
        return;
    }
    using namespace Vexa32;
    Controls &ui = *m_ui;
    FindBar *bar = m_extras->findBar;
    const bool shown = !bar->isHidden();
    if (!shown && ui.ListView1->y() == 0) {
        return; // the panes stand where the layout put them
    }
    // With the bar shown the panes start below it; the layout's pane height is the frame's
    // height less 60 twips.
    const int top = shown ? bar->sizeHint().height() : 0;
    const int full = TwipsToPixelsY(PixelsToTwipsY(ui.Frame1->height()) - 60);
    if (shown) {
        bar->setGeometry(0, 0, ui.Frame1->width(), top);
        bar->raise();
    }
    if (full - top < 0) {
        return;
    }
    for (QWidget *pane : {static_cast<QWidget *>(ui.ListView1), static_cast<QWidget *>(ui.Text1),
                          static_cast<QWidget *>(ui.RichTextBox1)}) {
        pane->setGeometry(0, top, ui.ListView1->width(), full - top);
    }
}

void TBLMainForm::ShowFindBar()
{
    if (m_currentFile.isEmpty()) {
        return;
    }
    FindBar *bar = m_extras->findBar;
    if (bar->isHidden()) {
        bar->show();
        layoutFindBar();
        // The text left from before applies again to the list.
        if (!m_ui->ListView1->isHidden()) {
            applyFindText(bar->text());
        }
    }
    updateFindStatus();
    bar->activate();
}

void TBLMainForm::CloseFindBar()
{
    FindBar *bar = m_extras->findBar;
    bar->hide();
    applyFindText(QString());
    // Hidden, the raw pane's search needs no undoing; the list shows all rows again.
    layoutFindBar();
    if (!m_ui->ListView1->isHidden()) {
        m_ui->ListView1->setFocus();
    } else if (!m_ui->RichTextBox1->isHidden()) {
        m_ui->RichTextBox1->setFocus();
    }
}

void TBLMainForm::applyFindText(const QString &text)
{
    Controls &ui = *m_ui;
    if (!ui.RichTextBox1->isHidden()) {
        // The raw pane: the first line holding the text, from the selected line on.
        searchRawText(text, std::max<qsizetype>(0, ui.RichTextBox1->selectionFirst()));
        return;
    }
    // The list: narrowing resets the model, which must not undo the user's column widths.
    QHeaderView *header = ui.ListView1->horizontalHeader();
    std::vector<int> widths;
    for (int column = 0; column < header->count(); ++column) {
        widths.push_back(header->sectionSize(column));
    }
    const QModelIndex current = ui.ListView1->currentIndex();
    const int record = current.isValid() ? m_model->sourceRow(current.row()) : -1;
    m_model->setFilterText(text);
    for (int column = 0; column < header->count() && column < int(widths.size()); ++column) {
        header->resizeSection(column, widths[static_cast<std::size_t>(column)]);
    }
    // The selected record stays selected while the filter keeps it; panel 2 names no
    // record that the list no longer shows.
    int shown = -1;
    for (int row = 0; record >= 0 && row < m_model->rowCount(); ++row) {
        if (m_model->sourceRow(row) == record) {
            shown = row;
            break;
        }
    }
    if (shown >= 0) {
        ui.ListView1->setCurrentIndex(m_model->index(shown, 0));
    } else {
        setStatusPanel(2, QString());
    }
    updateFindStatus();
}

void TBLMainForm::updateFindStatus()
{
    if (!m_extras || m_extras->findBar->isHidden()) {
        return;
    }
    if (!m_ui->RichTextBox1->isHidden()) {
        m_extras->findBar->setStatusText(QString());
        return;
    }
    m_extras->findBar->setStatusText(
        QStringLiteral("%1 of %2 records").arg(m_model->rowCount()).arg(m_model->totalRowCount()));
}

void TBLMainForm::FindNext()
{
    FindBar *bar = m_extras->findBar;
    if (bar->isHidden()) {
        ShowFindBar();
        return;
    }
    if (bar->flush()) {
        return; // the text just typed is searched first
    }
    RawTextView *raw = m_ui->RichTextBox1;
    if (raw->isHidden()) {
        // On the list the text already narrows the rows: Enter goes to them.
        if (!m_ui->ListView1->isHidden() && m_model->rowCount() > 0) {
            m_ui->ListView1->setFocus();
            if (!m_ui->ListView1->currentIndex().isValid()) {
                m_ui->ListView1->setCurrentIndex(m_model->index(0, 0));
            }
        }
        return;
    }
    // From the line after the selected one, going round to the start.
    searchRawText(bar->text(), raw->selectionFirst() + 1);
}

void TBLMainForm::searchRawText(const QString &text, qsizetype from)
{
    RawTextView *raw = m_ui->RichTextBox1;
    FindBar *bar = m_extras->findBar;
    if (text.isEmpty()) {
        bar->setStatusText(QString());
        return;
    }
    const std::optional<qsizetype> line = FindLine(raw->rawText(), text, from);
    if (!line) {
        bar->setStatusText(QStringLiteral("Not found"));
        return;
    }
    raw->selectLines(*line, *line);
    RevealLine(raw, *line);
    bar->setStatusText(QStringLiteral("Line %1").arg(*line + 1));
}

// --- Copy, jump to the raw line, tabs by keyboard ---------------------------------------

void TBLMainForm::CopySelectedRows()
{
    Controls &ui = *m_ui;
    if (!ui.RichTextBox1->isHidden()) {
        ui.RichTextBox1->copy();
        return;
    }
    if (ui.ListView1->isHidden()) {
        return;
    }
    std::vector<int> rows;
    for (const QModelIndex &index : ui.ListView1->selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    if (rows.empty()) {
        return;
    }
    std::sort(rows.begin(), rows.end());
    const int columns = m_model->columnCount();
    QString text;
    for (int column = 0; column < columns; ++column) {
        if (column > 0) {
            text += u'\t';
        }
        text += m_model->listing().column(column).title;
    }
    text += u'\n';
    for (const int row : rows) {
        for (int column = 0; column < columns; ++column) {
            if (column > 0) {
                text += u'\t';
            }
            // Numbers are shown padded with blanks to a fixed width; a spreadsheet wants
            // the value alone.
            text += m_model->cellView(row, column).trimmed();
        }
        text += u'\n';
    }
    if (QClipboard *clipboard = QGuiApplication::clipboard()) {
        clipboard->setText(text);
    }
}

void TBLMainForm::ShowRecordInRawText(int displayRow)
{
    Controls &ui = *m_ui;
    QTabBar *tabs = ui.TabStrip1;
    const int record = m_model->sourceRow(displayRow);
    if (m_currentFile.isEmpty() || ui.ListView1->isHidden() || record < 0 ||
        tabs->currentIndex() <= 0) {
        return;
    }
    const QString section = tabs->tabData(tabs->currentIndex()).toString();
    // The raw tab is chosen as a click would choose it: the file is read again.
    tabs->setCurrentIndex(0);
    if (ui.RichTextBox1->isHidden()) {
        return; // the load failed and was reported
    }
    const std::optional<qsizetype> line = RecordLine(ui.RichTextBox1->rawText(), section, record);
    if (line) {
        ui.RichTextBox1->selectLines(*line, *line);
        RevealLine(ui.RichTextBox1, *line);
    }
    ui.RichTextBox1->setFocus();
}

void TBLMainForm::SelectTabBy(int step)
{
    QTabBar *tabs = m_ui->TabStrip1;
    const int count = tabs->count();
    if (!tabs->isEnabled() || count < 2) {
        return;
    }
    tabs->setCurrentIndex(((tabs->currentIndex() + step) % count + count) % count);
}

// --- Files from outside the open dialog -------------------------------------------------

void TBLMainForm::dragEnterEvent(QDragEnterEvent *event)
{
    if (!DroppedFile(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void TBLMainForm::dropEvent(QDropEvent *event)
{
    const QString path = DroppedFile(event->mimeData());
    if (path.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    openFromOutside(path);
}

void TBLMainForm::openFromOutside(const QString &path)
{
    // As the open command does after its dialog. Only the dialog stores "LastOpenDir": a
    // dropped or recent file was not chosen in that folder.
    try {
        if (Vexa32::FileExists(path)) {
            LoadFile(path, TableLoader::OpenCaption);
        }
    } catch (...) {
        setBusyPointer(false);
    }
    setStatusPanel(1, QStringLiteral("Ready"));
}

void TBLMainForm::MenuFileRecent_Click(int index)
{
    if (index < 0 || index >= int(m_extras->MenuFileRecent.size())) {
        return;
    }
    const QString path =
        m_extras->MenuFileRecent[static_cast<std::size_t>(index)]->data().toString();
    if (!path.isEmpty()) {
        openFromOutside(path);
    }
}

void TBLMainForm::noteRecentFile(const QString &path)
{
    // Without the program's folder (a window made outside the start-up) nothing is kept.
    if (Vexa32::pfad_main.isEmpty()) {
        return;
    }
    RecentFiles::Store(
        Vexa32::pfad_main, SettingsFile,
        RecentFiles::Added(RecentFiles::Load(Vexa32::pfad_main, SettingsFile), path));
    refreshRecentMenu();
}

void TBLMainForm::refreshRecentMenu()
{
    QStringList paths;
    if (!Vexa32::pfad_main.isEmpty()) {
        const QStringList stored = RecentFiles::Load(Vexa32::pfad_main, SettingsFile);
        paths = RecentFiles::Existing(stored,
                                      [](const QString &path) { return Vexa32::FileExists(path); });
        if (paths != stored) {
            RecentFiles::Store(Vexa32::pfad_main, SettingsFile, paths);
        }
    }
    Extras &ex = *m_extras;
    for (std::size_t i = 0; i < ex.MenuFileRecent.size(); ++i) {
        QAction *action = ex.MenuFileRecent[i];
        const bool used = qsizetype(i) < paths.size();
        action->setVisible(used);
        QString path = used ? paths[qsizetype(i)] : QString();
        action->setData(path);
        action->setText(
            QStringLiteral("&%1 %2").arg(i + 1).arg(path.replace(u'&', QLatin1String("&&"))));
    }
    ex.MenuFileRecentBlank->setVisible(!paths.isEmpty());
}

// --- Options ----------------------------------------------------------------------------

void TBLMainForm::MenuFileOptions_Click()
{
    using namespace Vexa32;
    const QString section = QStringLiteral("Startup");
    const QString key = QStringLiteral("AssociateFileTypes");
    OptionsDialog dialog(this);
    dialog.setAssociateFileTypes(ReadIniValue(pfad_main, SettingsFile, section, key) ==
                                 QLatin1String("1"));
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const bool associate = dialog.associateFileTypes();
    WriteIniValue(pfad_main, SettingsFile, section, key,
                  associate ? QStringLiteral("1") : QStringLiteral("0"));
    if (associate && m_extras->associate) {
        m_extras->associate();
    }
}
