// TBLMainForm: start, layout, close and the commands of the menus and the toolbar.

#include "rawtextview.h"
#include "tblmainform.h"
#include "tblmainform_controls.h"
#include "vexa32/globals.h"
#include "vexa32/gui/controls.h"
#include "vexa32/gui/document.h"
#include "vexa32/gui/errordialog.h"
#include "vexa32/gui/screen.h"
#include "vexa32/gui/windowposition.h"
#include "vexa32/kmtools.h"
#include "vexa32/modules.h"
#include "vexa32/paths.h"
#include "vexa32/platform/host.h"
#include "vexa32/profile.h"
#include "vexa32/trystep.h"
#include "viewer/engine/tablemodel.h"

#include <QAction>
#include <QFileDialog>
#include <QFrame>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTableView>

namespace {

const QString PositionKey = QStringLiteral("ROWLENS32");
const QString SettingsFile = QStringLiteral("rowlns32.ini");
const QString Ready = QStringLiteral("Ready");

double WidthTwips(const QWidget *widget)
{
    return Vexa32::PixelsToTwipsX(widget->width());
}

double HeightTwips(const QWidget *widget)
{
    return Vexa32::PixelsToTwipsY(widget->height());
}

// A size the control refuses (negative) leaves it unchanged.
void SetWidthTwips(QWidget *widget, double twips)
{
    if (twips >= 0) {
        widget->resize(Vexa32::TwipsToPixelsX(twips), widget->height());
    }
}

void SetHeightTwips(QWidget *widget, double twips)
{
    if (twips >= 0) {
        widget->resize(widget->width(), Vexa32::TwipsToPixelsY(twips));
    }
}

// The open dialog of the program: a non-native file dialog that matches ".tbl" in any case.
std::optional<QString> AskOpenFileName(QWidget *parent, const QString &initialDir)
{
    QString directory;
    if (!initialDir.isEmpty()) {
        directory = Vexa32::Platform::HostPath(initialDir).value_or(QString());
    }
    QFileDialog dialog(parent, QStringLiteral("Open"), directory);
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // A typed name that does not exist is accepted; the command then loads nothing.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("Zorath TBL files (*.TBL) (*.[tT][bB][lL])"),
                           QStringLiteral("All Files (*.*) (*)")});
    dialog.selectNameFilter(dialog.nameFilters().constFirst());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

} // namespace

void TBLMainForm::buildMenus()
{
    Controls &ui = *m_ui;
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MenuBar"));

    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("MenuFile"));
    ui.MenuFileOpen = file->addAction(QStringLiteral("&Open .TBL file"));
    ui.MenuFileOpen->setObjectName(QStringLiteral("MenuFileOpen"));
    ui.MenuFileOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    ui.MenuBlank0 = file->addSeparator();
    ui.MenuBlank0->setObjectName(QStringLiteral("MenuBlank0"));
    ui.MenuFileExit = file->addAction(QStringLiteral("E&xit"));
    ui.MenuFileExit->setObjectName(QStringLiteral("MenuFileExit"));

    QMenu *help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("MenuHelp"));
    ui.MenuHelpTutorial = help->addAction(QStringLiteral("ZORATH KIT Quick Start Tutorial"));
    ui.MenuHelpTutorial->setObjectName(QStringLiteral("MenuHelpTutorial"));
    ui.MenuHelpTutorial->setShortcut(QKeySequence(Qt::Key_F1));
    ui.MenuHelpBlank1 = help->addSeparator();
    ui.MenuHelpBlank1->setObjectName(QStringLiteral("MenuHelpBlank1"));
    ui.MenuHelpKMVC = help->addAction(QStringLiteral("Check for new version"));
    ui.MenuHelpKMVC->setObjectName(QStringLiteral("MenuHelpKMVC"));
    ui.MenuHelpAbout = help->addAction(QStringLiteral("About"));
    ui.MenuHelpAbout->setObjectName(QStringLiteral("MenuHelpAbout"));

    connect(ui.MenuFileOpen, &QAction::triggered, this, [this] { MenuFileOpen_Click(); });
    connect(ui.MenuFileExit, &QAction::triggered, this, [this] { MenuFileExit_Click(); });
    connect(ui.MenuHelpTutorial, &QAction::triggered, this, [this] { MenuHelpTutorial_Click(); });
    connect(ui.MenuHelpKMVC, &QAction::triggered, this, [this] { MenuHelpKMVC_Click(); });
    connect(ui.MenuHelpAbout, &QAction::triggered, this, [this] { MenuHelpAbout_Click(); });
}

void TBLMainForm::Form_Load()
{
    using namespace Vexa32;
    Controls &ui = *m_ui;
    // Design size, centred on the primary screen; a stored position replaces both.
    const int menuHeight = menuBar()->sizeHint().height();
    resize(TwipsToPixelsX(MainFormDesign::ClientWidth),
           TwipsToPixelsY(MainFormDesign::ClientHeight) + menuHeight);
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }

    Vexa32::TryStep([&] { RestoreWindowPosition(this, PositionKey); });
    ui.Text1->setVisible(true);
    ui.ListView1->setVisible(false);
    m_currentFile.clear();
    setStatusPanel(1, Ready);
    const bool tutorial = IsModuleInstalled(QStringLiteral("ZRKIT"));
    ui.MenuHelpBlank1->setVisible(tutorial);
    ui.MenuHelpTutorial->setVisible(tutorial);
    Form_Resize();
}

void TBLMainForm::Form_Resize()
{
    using namespace Vexa32;
    Controls &ui = *m_ui;
    const QRect outer = frameGeometry();
    m_layoutOuter = outer.size();
    const double outerWidth = PixelsToTwipsX(outer.width());
    const double outerHeight = PixelsToTwipsY(outer.height());

    Vexa32::TryStep([&] { SetWidthTwips(ui.TabStrip1, outerWidth - 240); });
    Vexa32::TryStep([&] { SetHeightTwips(ui.TabStrip1, outerHeight - 1540); });
    Vexa32::TryStep([&] { SetWidthTwips(ui.Frame1, WidthTwips(ui.TabStrip1) - 240); });
    Vexa32::TryStep([&] { SetHeightTwips(ui.Frame1, HeightTwips(ui.TabStrip1) - 600); });
    Vexa32::TryStep([&] { SetWidthTwips(ui.ListView1, WidthTwips(ui.Frame1)); });
    Vexa32::TryStep([&] { SetHeightTwips(ui.ListView1, HeightTwips(ui.Frame1) - 60); });
    Vexa32::TryStep([&] { CopyPlacement(ui.ListView1, ui.Text1); });
    Vexa32::TryStep([&] { CopyPlacement(ui.ListView1, ui.RichTextBox1); });
    Vexa32::TryStep([&] { SetControlEnabled(ui.TabStrip1, IsValueSet(m_currentFile)); });
    Vexa32::TryStep([&] { layoutFindBar(); });
}

void TBLMainForm::Form_Unload()
{
    Vexa32::TryStep([&] { Vexa32::SaveWindowPosition(this, PositionKey); });
}

void TBLMainForm::MenuFileOpen_Click()
{
    using namespace Vexa32;
    try {
        const QString initialDir = ReadIniValue(pfad_main, SettingsFile, QStringLiteral("Dirs"),
                                                QStringLiteral("LastOpenDir"));
        const std::optional<QString> chosen =
            m_openDialog ? m_openDialog(initialDir) : AskOpenFileName(this, initialDir);
        if (chosen) {
            QString directory;
            QString name;
            SplitPath(*chosen, directory, name);
            WriteIniValue(pfad_main, SettingsFile, QStringLiteral("Dirs"),
                          QStringLiteral("LastOpenDir"), directory);
            if (FileExists(*chosen)) {
                LoadFile(*chosen, QStringLiteral("#"));
            }
        }
    } catch (...) {
        // The command ends quietly; the window stays as the failed step left it.
        setBusyPointer(false);
    }
    setStatusPanel(1, Ready);
}

void TBLMainForm::MenuFileExit_Click()
{
    close();
}

void TBLMainForm::MenuHelpTutorial_Click()
{
    Vexa32::OpenDocument(Vexa32::ModuleFilePath(QStringLiteral("ZRKIT")));
}

namespace {

void ShowToolsLibraryMissing()
{
    Vexa32::ShowErrorMessage(QString(), QStringLiteral("File not found"),
                             QStringLiteral("File not found: km_tools.dll\r\n\r\n"
                                            "You may need to reinstall."));
}

} // namespace

void TBLMainForm::MenuHelpKMVC_Click()
{
    if (!Vexa32::DoKMVC()) {
        ShowToolsLibraryMissing();
    }
}

void TBLMainForm::MenuHelpAbout_Click()
{
    if (!Vexa32::DoAbout()) {
        ShowToolsLibraryMissing();
    }
}

void TBLMainForm::Toolbar1_ButtonClick(const QString &key)
{
    if (key == QLatin1String("FileOpen")) {
        MenuFileOpen_Click();
    }
}

void TBLMainForm::TabStrip1_Click()
{
    if (m_loading || m_currentFile.isEmpty()) {
        return;
    }
    const QTabBar *tabs = m_ui->TabStrip1;
    const int index = tabs->currentIndex();
    if (index < 0) {
        return;
    }
    if (!LoadFileOrReport(m_currentFile, tabs->tabData(index).toString()) &&
        m_shownTab < tabs->count() && m_shownTab != tabs->currentIndex()) {
        // The panes still show the section of the tab before: that tab is selected again.
        const QSignalBlocker quiet(m_ui->TabStrip1);
        m_ui->TabStrip1->setCurrentIndex(m_shownTab);
    }
}

void TBLMainForm::ListView1_ItemClick(int displayRow)
{
    if (displayRow >= 0 && displayRow < m_model->rowCount()) {
        setStatusPanel(2, m_model->cellText(displayRow, 0));
    }
}

void TBLMainForm::ListView1_ColumnClick(int column)
{
    m_model->sortByColumn(column);
    applyColumnWidths();
}
