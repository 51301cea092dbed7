// TBLMainForm: building the window, LoadFile and the window's events. The window operations
// the table loader drives are in tblmainform_tablewindow.cpp, the commands and the layout in
// tblmainform_commands.cpp.

#include "tblmainform.h"

#include "rawtextview.h"
#include "tabstrip.h"
#include "tblmainform_controls.h"
#include "tblmainform_extras.h"
#include "toolbaricons.h"
#include "vexa32/gui/errordialog.h"
#include "vexa32/gui/screen.h"
#include "viewer/engine/tableloader.h"
#include "viewer/engine/tablemodel.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTabBar>
#include <QTableView>
#include <QToolBar>
#include <QWindow>
#include <utility>

namespace {

QFont Tahoma()
{
    QFont font(QStringLiteral("Tahoma"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    return font;
}

template <typename Widget>
Widget *Named(Widget *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

TBLMainForm::TBLMainForm(QWidget *parent) : QMainWindow(parent), m_ui(std::make_unique<Controls>())
{
    setObjectName(QStringLiteral("TBLMainForm"));
    setWindowTitle(QStringLiteral("Korvax Manager ROWLENS32"));
    setFont(Tahoma());
    m_model = new TableListModel(this);
    buildMenus();
    buildControls();
    buildExtras();
    Form_Load();
}

TBLMainForm::~TBLMainForm()
{
    setBusyPointer(false);
}

void TBLMainForm::buildControls()
{
    using namespace Vexa32;
    Controls &ui = *m_ui;
    ui.client = Named(new QWidget(this), "ClientArea");
    setCentralWidget(ui.client);

    // Toolbar2 lies under the tab strip's tabs, so it is created first (drawn below).
    ui.Toolbar2 = Named(new QToolBar(ui.client), "Toolbar2");
    ui.Toolbar2->setMovable(false);
    ui.Toolbar2->setFloatable(false);
    ui.Toolbar2->setGeometry(0, TwipsToPixelsY(450), TwipsToPixelsX(MainFormDesign::ClientWidth),
                             TwipsToPixelsY(630));

    ui.Toolbar1 = Named(new QToolBar(ui.client), "Toolbar1");
    ui.Toolbar1->setMovable(false);
    ui.Toolbar1->setFloatable(false);
    ui.Toolbar1->setIconSize(QSize(22, 22));
    ui.Toolbar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ui.Toolbar1->setGeometry(0, 0, TwipsToPixelsX(MainFormDesign::ClientWidth),
                             TwipsToPixelsY(450));
    ui.Toolbar1Open = ui.Toolbar1->addAction(OpenTableIcon(), QStringLiteral("Open .TBL"));
    ui.Toolbar1Open->setObjectName(QStringLiteral("Toolbar1FileOpen"));
    ui.Toolbar1Open->setData(QStringLiteral("FileOpen"));
    // The toolbar's buttons have one size, whatever their caption asks for.
    if (QWidget *button = ui.Toolbar1->widgetForAction(ui.Toolbar1Open)) {
        button->setObjectName(QStringLiteral("Toolbar1FileOpenButton"));
        button->setFixedSize(TwipsToPixelsX(MainFormDesign::ToolbarButtonWidth),
                             TwipsToPixelsY(MainFormDesign::ToolbarButtonHeight));
    }
    connect(ui.Toolbar1, &QToolBar::actionTriggered, this,
            [this](QAction *action) { Toolbar1_ButtonClick(action->data().toString()); });

    ui.TabStrip1 = Named(new TabStrip(ui.client), "TabStrip1");
    ui.TabStrip1->setFont(Tahoma());
    ui.TabStrip1->setUsesScrollButtons(true);
    ui.TabStrip1->setGeometry(TwipsToPixelsX(60), TwipsToPixelsY(540), TwipsToPixelsX(4695),
                              TwipsToPixelsY(3735));
    ui.TabStrip1->addTab(QStringLiteral("<No file loaded>"));
    ui.TabStrip1->setTabData(0, QStringLiteral("<No file loaded>"));
    ui.TabStrip1->setEnabled(false);
    connect(ui.TabStrip1, &QTabBar::currentChanged, this, [this] { TabStrip1_Click(); });

    ui.Frame1 = Named(new QFrame(ui.client), "Frame1");
    ui.Frame1->setFrameShape(QFrame::NoFrame);
    ui.Frame1->setGeometry(TwipsToPixelsX(180), TwipsToPixelsY(1080), TwipsToPixelsX(2055),
                           TwipsToPixelsY(1755));

    ui.ListView1 = Named(new QTableView(ui.Frame1), "ListView1");
    ui.ListView1->setFont(Tahoma());
    ui.ListView1->setGeometry(0, 0, TwipsToPixelsX(975), TwipsToPixelsY(915));
    ui.ListView1->setModel(m_model);
    ui.ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ui.ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ui.ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui.ListView1->setShowGrid(false);
    ui.ListView1->setWordWrap(false);
    ui.ListView1->setSortingEnabled(false);
    ui.ListView1->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Every row as high as the font: the view never measures rows, so a million of them
    // cost no more to show than a hundred.
    QHeaderView *rows = ui.ListView1->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(QFontMetrics(Tahoma()).height() + 4);
    QHeaderView *header = ui.ListView1->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(header, &QHeaderView::sectionClicked, this,
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
    connect(header, &QHeaderView::sectionResized, this, [this](int column, int, int size) {
        if (!m_applyingWidths && !m_loading && column < m_model->listing().columnCount()) {
            m_columnWidths[shownSection()][m_model->listing().column(column).title] = size;
        }
    });
    ui.ListView1->hide();

    ui.Text1 = Named(new QPlainTextEdit(ui.Frame1), "Text1");
    ui.Text1->setGeometry(0, 0, TwipsToPixelsX(1995), TwipsToPixelsY(1035));
    ui.Text1->setPlainText(QStringLiteral("No .TBL file opened. You can either open one via the "
                                          "\"File\" menu, or by double-clicking one in "
                                          "ARKLENS32.\r\n"));
    ui.Text1->setEnabled(false);

    ui.RichTextBox1 = Named(new RawTextView(ui.Frame1), "RichTextBox1");
    ui.RichTextBox1->setGeometry(0, 0, TwipsToPixelsX(1875), TwipsToPixelsY(1635));
    ui.RichTextBox1->hide();

    ui.StatusBar1 = Named(new QStatusBar(this), "StatusBar1");
    ui.StatusBar1->setFont(Tahoma());
    setStatusBar(ui.StatusBar1);
    // The panels sit side by side at their own widths in a strip that asks for no width
    // of its own, so they never impose a minimum size on the window.
    auto *strip = new QWidget(ui.StatusBar1);
    strip->setObjectName(QStringLiteral("StatusPanels"));
    strip->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    const int panelHeight = QFontMetrics(Tahoma()).height() + 4;
    strip->setFixedHeight(panelHeight);
    ui.StatusBar1->addWidget(strip, 1);
    const int panelTwips[3] = {4845, 4845, 1440};
    int x = 0;
    for (int i = 0; i < 3; ++i) {
        auto *panel = new QLabel(strip);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setTextFormat(Qt::PlainText);
        panel->setMargin(1);
        const int width = TwipsToPixelsX(panelTwips[i]);
        panel->setGeometry(x, 0, width - 2, panelHeight);
        x += width;
        ui.panels[static_cast<std::size_t>(i)] = panel;
    }
}

QString TBLMainForm::shownSection() const
{
    const QTabBar *tabs = m_ui->TabStrip1;
    return tabs->currentIndex() >= 0 ? tabs->tabData(tabs->currentIndex()).toString() : QString();
}

void TBLMainForm::applyColumnWidths()
{
    using namespace Vexa32;
    QHeaderView *header = m_ui->ListView1->horizontalHeader();
    const Listing &listing = m_model->listing();
    // Widths the user gave this section's columns since the file was opened come first.
    const auto stored = m_columnWidths.find(shownSection());
    const bool quiet = std::exchange(m_applyingWidths, true);
    for (int column = 0; column < listing.columnCount(); ++column) {
        int twips = listing.column(column).widthTwips;
        if (twips < 0 && column == 0) {
            twips = MainFormDesign::NameColumnWidth;
        }
        int pixels = twips >= 0 ? TwipsToPixelsX(twips) : header->defaultSectionSize();
        if (stored != m_columnWidths.end()) {
            pixels = stored->second.value(listing.column(column).title, pixels);
        }
        header->resizeSection(column, pixels);
    }
    m_applyingWidths = quiet;
    if (m_model->sorted() && m_model->sortKey() < listing.columnCount()) {
        header->setSortIndicatorShown(true);
        header->setSortIndicator(m_model->sortKey(), Qt::AscendingOrder);
    } else {
        header->setSortIndicatorShown(false);
    }
}

void TBLMainForm::LoadFile(const QString &fname, const QString &caption)
{
    // Tab changes made by the load itself are not the user's choice.
    const bool wasLoading = m_loading;
    m_loading = true;
    try {
        if (caption == TableLoader::OpenCaption) {
            m_columnWidths.clear();
        }
        TableLoader::LoadFile(*this, fname, caption);
        m_shownTab = m_ui->TabStrip1->currentIndex();
        if (caption == TableLoader::OpenCaption) {
            noteRecentFile(fname);
        }
    } catch (...) {
        m_loading = wasLoading;
        setListReportView(true);
        setBusyPointer(false);
        throw;
    }
    m_loading = wasLoading;
}

bool TBLMainForm::LoadFileOrReport(const QString &fname, const QString &caption)
{
    QString reason;
    try {
        LoadFile(fname, caption);
        return true;
    } catch (const LoadError &error) {
        reason = error.message();
    } catch (const std::exception &error) {
        reason =
            QStringLiteral("Cannot read %1: %2").arg(fname, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        reason = QStringLiteral("Cannot read %1").arg(fname);
    }
    setBusyPointer(false);
    setStatusPanel(1, QStringLiteral("Ready"));
    Vexa32::ShowErrorMessage(QString(), QStringLiteral("Cannot read file"), reason);
    return false;
}

void TBLMainForm::setOpenFileDialog(OpenFileDialog dialog)
{
    m_openDialog = std::move(dialog);
}

// --- Events -----------------------------------------------------------------------------

void TBLMainForm::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void TBLMainForm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    // The toolbars are aligned to the top: they span the client area's width.
    const int width = m_ui->client->width() > 0 ? m_ui->client->width() : this->width();
    m_ui->Toolbar1->resize(width, m_ui->Toolbar1->height());
    m_ui->Toolbar2->resize(width, m_ui->Toolbar2->height());
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
    return QMainWindow::eventFilter(watched, event);
}
