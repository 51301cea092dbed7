// TBLMainForm: building and wiring the window, its start and close, LoadFile, and the
// events that reach the window itself.

#include "viewer/tblmainform.h"

#include "vexa32/gui/errordialog.h"
#include "vexa32/gui/screen.h"
#include "vexa32/gui/windowposition.h"
#include "vexa32/modules.h"
#include "vexa32/platform/host.h"
#include "vexa32/trystep.h"
#include "viewer/comparemode.h"
#include "viewer/engine/tableloader.h"
#include "viewer/engine/tablemodel.h"
#include "viewer/findcontroller.h"
#include "viewer/focusrules.h"
#include "viewer/longwork.h"
#include "viewer/mainformcontrols.h"
#include "viewer/mainformlayout.h"
#include "viewer/mainformmenus.h"
#include "viewer/mainformtexts.h"
#include "viewer/rawtextview.h"
#include "viewer/recentfilesmenu.h"
#include "viewer/reloadcontroller.h"
#include "viewer/sectionexport.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QWindow>
#include <utility>

using namespace Engine;

TBLMainForm::TBLMainForm(QWidget *parent)
    : QMainWindow(parent), m_ui(std::make_unique<MainFormControls>())
{
    setObjectName(QStringLiteral("TBLMainForm"));
    setWindowTitle(Engine::WindowCaption);
    setFont(MainFormFont());
    m_model = new TableListModel(this);
    m_work = std::make_unique<LongWork>([this](const QString &text) { longWorkStatus(text); });
    BuildMainFormMenus(*menuBar(), *m_ui);
    BuildMainFormControls(*this, *m_model, *m_ui);
    AddListCommands(*menuBar(), *m_ui);
    // The focus moves after long work, not while its events run.
    if (auto *rules = findChild<FocusRules *>(QStringLiteral("FocusRules"))) {
        rules->setBusy([this] { return m_work->active(); });
        connect(m_work.get(), &LongWork::ended, rules, &FocusRules::workEnded);
    }
    // What a load or sort let go (the old contents, the reading's buffers) goes back to the
    // system: large blocks at once, the rest once the window has painted the new contents.
    Vexa32::Platform::ReturnLargeBlocksOnFree();
    connect(m_work.get(), &LongWork::ended, this,
            [this] { QTimer::singleShot(0, this, [] { Vexa32::Platform::ReleaseFreeMemory(); }); });
    setAcceptDrops(true);
    connectControls();
    EnableFileCommands(*m_ui, false);
    MainFormControls &ui = *m_ui;
    m_compare = std::make_unique<CompareMode>(CompareMode::Parts{
        this, ui.TabStrip1, ui.ListView1, m_model, ui.MenuFile, ui.MenuFileCompare,
        ui.MenuFileLeaveCompare, ui.MenuViewOnlyDifferences, ui.Toolbar1});
    m_export = std::make_unique<SectionExport>(SectionExport::Parts{
        this, ui.ListView1, m_model, ui.MenuFile, ui.MenuFileExport,
        [this] { return shownSection(); }, [this] { return m_compare->active(); }});
    Form_Load();
}

TBLMainForm::~TBLMainForm()
{
    m_ui->ListView1->removeEventFilter(this);
    m_find.reset();
    m_work.reset();
    setBusyPointer(false);
}

void TBLMainForm::connectControls()
{
    MainFormControls &ui = *m_ui;
    connect(ui.MenuFileOpen, &QAction::triggered, this, [this] { MenuFileOpen_Click(); });
    connect(ui.MenuFileOptions, &QAction::triggered, this, [this] { MenuFileOptions_Click(); });
    connect(ui.recentFiles, &RecentFilesMenu::chosen, this,
            [this](const QString &path) { openFromOutside(path); });
    connect(ui.MenuFileExit, &QAction::triggered, this, [this] { MenuFileExit_Click(); });
    connect(ui.MenuEditFind, &QAction::triggered, this, [this] { ShowFindBar(); });
    connect(ui.MenuEditFindNext, &QAction::triggered, this, [this] { FindNext(); });
    connect(ui.MenuEditCopy, &QAction::triggered, this, [this] { CopySelectedRows(); });
    connect(ui.MenuEditShowRaw, &QAction::triggered, this,
            [this] { showCurrentRecordInRawText(); });
    connect(ui.MenuViewNextTab, &QAction::triggered, this, [this] { SelectTabBy(1); });
    connect(ui.MenuViewPreviousTab, &QAction::triggered, this, [this] { SelectTabBy(-1); });
    connect(ui.MenuHelpTutorial, &QAction::triggered, this, [this] { MenuHelpTutorial_Click(); });
    connect(ui.MenuHelpKMVC, &QAction::triggered, this, [this] { MenuHelpKMVC_Click(); });
    connect(ui.MenuHelpAbout, &QAction::triggered, this, [this] { MenuHelpAbout_Click(); });

    connect(ui.Toolbar1, &QToolBar::actionTriggered, this,
            [this](QAction *action) { Toolbar1_ButtonClick(action->data().toString()); });
    connect(ui.TabStrip1, &QTabBar::currentChanged, this, [this] { TabStrip1_Click(); });
    connect(ui.ListView1->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int section) { ListView1_ColumnClick(section); });
    connect(ui.ListView1, &QTableView::clicked, this,
            [this](const QModelIndex &index) { ListView1_ItemClick(index.row()); });
    connect(ui.ListView1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid() && !m_loading) {
                    ListView1_ItemClick(current.row());
                }
            });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { applyColumnWidths(); });
    // A width the user sets (by dragging or by a double-click on a divider, which fits the
    // column to the rows in view) is kept for the section while the file stays open.
    connect(ui.ListView1->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int size) {
                if (!m_applyingWidths && !m_loading && column < m_model->listing().columnCount()) {
                    m_columnWidths[shownSection()][m_model->listing().column(column).title] = size;
                }
            });
    // Enter or a double-click on a row shows the record in the raw text.
    connect(ui.ListView1, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex &index) { ShowRecordInRawText(index.row()); });
    ui.ListView1->installEventFilter(this);

    m_find = std::make_unique<FindController>(
        FindController::Panes{ui.findBar, ui.TabStrip1, ui.ListView1, ui.RichTextBox1, m_model},
        [this] { return !m_currentFile.isEmpty(); });
    connect(m_find.get(), &FindController::layoutRequested, this, [this] { Form_Resize(); });
    // Panel 2 names no record that the narrowed list no longer shows.
    connect(m_find.get(), &FindController::selectedRecordHidden, this,
            [this] { setStatusPanel(2, QString()); });
    connectReload();
}

void TBLMainForm::Form_Load()
{
    using namespace Vexa32;
    MainFormControls &ui = *m_ui;
    // Design size, centred on the primary screen; a stored position replaces both.
    const int menuHeight = menuBar()->sizeHint().height();
    resize(TwipsToPixelsX(MainFormDesign::ClientWidth),
           TwipsToPixelsY(MainFormDesign::ClientHeight) + menuHeight);
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }

    TryStep([&] { RestoreWindowPosition(this, MainFormText::PositionKey); });
    ui.Text1->setVisible(true);
    ui.ListView1->setVisible(false);
    m_currentFile.clear();
    setStatusPanel(1, Engine::ReadyStatus);
    const bool tutorial = IsModuleInstalled(MainFormText::KitModule);
    ui.MenuHelpBlank1->setVisible(tutorial);
    ui.MenuHelpTutorial->setVisible(tutorial);
    Form_Resize();
}

void TBLMainForm::Form_Resize()
{
    m_layoutOuter = frameGeometry().size();
    const int clientWidth = m_ui->client->width() > 0 ? m_ui->client->width() : width();
    LayOutMainForm(*m_ui, frameGeometry().size(), clientWidth, !m_currentFile.isEmpty());
}

void TBLMainForm::Form_Unload()
{
    Vexa32::TryStep([&] { Vexa32::SaveWindowPosition(this, MainFormText::PositionKey); });
}

void TBLMainForm::LoadFile(const QString &fname, const QString &caption)
{
    const LongWork::Scope busy(*m_work);
    // Tab changes made by the load itself are not the user's choice.
    const bool wasLoading = m_loading;
    m_loading = true;
    const QString outerCaption = std::exchange(m_loadCaption, caption);
    const bool outerStarted = std::exchange(m_readingStarted, false);
    const bool outerDropped = std::exchange(m_rawDropped, false);
    auto restoreOuter = [&] {
        m_loadCaption = outerCaption;
        m_readingStarted = outerStarted;
        m_rawDropped = outerDropped;
    };
    try {
        // A reload shows the same file again: the widths the user set stay.
        const bool opening = caption == Engine::OpenCaption && !m_reload->reloading();
        if (opening) {
            m_columnWidths.clear();
        }
        Engine::LoadFile(*this, fname, caption);
        m_shownTab = m_ui->TabStrip1->currentIndex();
        if (opening) {
            m_ui->recentFiles->note(fname);
        }
        fileLoaded(fname);
    } catch (const LongWork::Abandoned &) {
        m_loading = wasLoading;
        restoreOuter();
        setBusyPointer(false);
        throw;
    } catch (...) {
        // The raw text let go for the reading is shown again as it was.
        if (m_rawDropped) {
            Vexa32::TryStep([&] { loadRawText(m_currentFile); });
        }
        m_loading = wasLoading;
        restoreOuter();
        setListReportView(true);
        setBusyPointer(false);
        throw;
    }
    m_loading = wasLoading;
    restoreOuter();
    m_compare->loaded(caption);
}

bool TBLMainForm::LoadFileOrReport(const QString &fname, const QString &caption)
{
    QString reason;
    try {
        LoadFile(fname, caption);
        return true;
    } catch (const LongWork::Abandoned &) {
        return false; // the window is closing: nothing to report
    } catch (const LoadError &error) {
        reason = error.message();
    } catch (const std::exception &error) {
        reason =
            QStringLiteral("Cannot read %1: %2").arg(fname, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        reason = QStringLiteral("Cannot read %1").arg(fname);
    }
    setBusyPointer(false);
    setStatusPanel(1, Engine::ReadyStatus);
    Vexa32::ShowErrorMessage(QString(), MainFormText::CannotReadHeader, reason);
    return false;
}

void TBLMainForm::setOpenFileDialog(OpenFileDialog dialog)
{
    m_openDialog = std::move(dialog);
}

void TBLMainForm::setFileTypeAssociation(std::function<void()> associate)
{
    m_associate = std::move(associate);
}

// --- Find: the controller owns the bar's behaviour ---------------------------------------

void TBLMainForm::ShowFindBar()
{
    m_find->show();
}

void TBLMainForm::CloseFindBar()
{
    m_find->close();
}

void TBLMainForm::FindNext()
{
    m_find->findNext();
}

// --- Events -----------------------------------------------------------------------------

void TBLMainForm::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    // Work on its way is abandoned at its next pause; closing does not wait for its end.
    if (m_work->active()) {
        m_work->requestClose();
    }
    event->accept();
}

void TBLMainForm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void TBLMainForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (QWindow *handle = windowHandle()) {
        handle->removeEventFilter(this);
        handle->installEventFilter(this);
    }
}

bool TBLMainForm::eventFilter(QObject *watched, QEvent *event)
{
    // The layout works on the outer size; when the window manager frames the window after
    // the last layout, the first exposure runs it again with the frame included.
    if (watched == windowHandle() && event->type() == QEvent::Expose &&
        frameGeometry().size() != m_layoutOuter) {
        Form_Resize();
    }
    // Enter on a row shows the record in the raw text.
    if (watched == m_ui->ListView1 && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            key->modifiers() == Qt::NoModifier) {
            showCurrentRecordInRawText();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
