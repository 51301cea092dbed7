#include "viewer/mainformcontrols.h"

#include "vexa32/gui/screen.h"
#include "viewer/contrast.h"
#include "viewer/engine/tablemodel.h"
#include "viewer/findbar.h"
#include "viewer/focusrules.h"
#include "viewer/mainformtexts.h"
#include "viewer/problemspanel.h"
#include "viewer/rawtextview.h"
#include "viewer/tabstrip.h"
#include "viewer/toolbaricons.h"

#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>

using namespace Engine;

namespace {

template <typename Widget>
Widget *Named(Widget *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

void BuildToolbars(MainFormControls &ui)
{
    using namespace Vexa32;
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
    ui.Toolbar1Open = ui.Toolbar1->addAction(OpenTableIcon(), MainFormText::OpenButtonCaption);
    ui.Toolbar1Open->setObjectName(QStringLiteral("Toolbar1FileOpen"));
    ui.Toolbar1Open->setData(MainFormText::OpenButtonKey);
    // The toolbar's buttons have one size, whatever their caption asks for.
    if (QWidget *button = ui.Toolbar1->widgetForAction(ui.Toolbar1Open)) {
        button->setObjectName(QStringLiteral("Toolbar1FileOpenButton"));
        button->setFixedSize(TwipsToPixelsX(MainFormDesign::ToolbarButtonWidth),
                             TwipsToPixelsY(MainFormDesign::ToolbarButtonHeight));
    }
}

void BuildRecordList(MainFormControls &ui, TableListModel &model, const QFont &font)
{
    using namespace Vexa32;
    ui.ListView1 = Named(new QTableView(ui.Frame1), "ListView1");
    ui.ListView1->setFont(font);
    ui.ListView1->setGeometry(0, 0, TwipsToPixelsX(975), TwipsToPixelsY(915));
    ui.ListView1->setModel(&model);
    ui.ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Several rows can be selected for copying; the row clicked last names panel 2.
    ui.ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
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
    rows->setDefaultSectionSize(QFontMetrics(font).height() + 4);
    QHeaderView *header = ui.ListView1->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ui.ListView1->setFocusPolicy(Qt::StrongFocus);
    // Rows are selected whole: Tab leaves the list instead of walking its cells.
    ui.ListView1->setTabKeyNavigation(false);
    ui.ListView1->hide();
}

void BuildStatusBar(QMainWindow &window, MainFormControls &ui, const QFont &font)
{
    using namespace Vexa32;
    ui.StatusBar1 = Named(new QStatusBar(&window), "StatusBar1");
    ui.StatusBar1->setFont(font);
    window.setStatusBar(ui.StatusBar1);
    // The panels sit side by side at their own widths in a strip that asks for no width
    // of its own, so they never impose a minimum size on the window.
    auto *strip = new QWidget(ui.StatusBar1);
    strip->setObjectName(QStringLiteral("StatusPanels"));
    strip->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    const int panelHeight = QFontMetrics(font).height() + 4;
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

// Names and descriptions for assistive tools.
void NameForAssistiveTools(MainFormControls &ui)
{
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
    // A panel's accessible name is its text, so that readers hear each change of it.
    const char *panelRoles[] = {"Status", "Selected record", "Status panel 3"};
    for (std::size_t i = 0; i < ui.panels.size(); ++i) {
        ui.panels[i]->setAccessibleDescription(QLatin1String(panelRoles[i]));
    }
}

} // namespace

QFont MainFormFont()
{
    QFont font(QStringLiteral("Tahoma"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    return font;
}

void BuildMainFormControls(QMainWindow &window, TableListModel &model, MainFormControls &ui)
{
    using namespace Vexa32;
    const QFont font = MainFormFont();
    ui.client = Named(new QWidget(&window), "ClientArea");
    window.setCentralWidget(ui.client);
    BuildToolbars(ui);

    ui.TabStrip1 = Named(new TabStrip(ui.client), "TabStrip1");
    ui.TabStrip1->setFont(font);
    ui.TabStrip1->setUsesScrollButtons(true);
    ui.TabStrip1->setGeometry(TwipsToPixelsX(60), TwipsToPixelsY(540), TwipsToPixelsX(4695),
                              TwipsToPixelsY(3735));
    ui.TabStrip1->addTab(MainFormText::NoFileTab);
    ui.TabStrip1->setTabData(0, MainFormText::NoFileTab);
    ui.TabStrip1->setEnabled(false);

    ui.Frame1 = Named(new QFrame(ui.client), "Frame1");
    ui.Frame1->setFrameShape(QFrame::NoFrame);
    ui.Frame1->setGeometry(TwipsToPixelsX(180), TwipsToPixelsY(1080), TwipsToPixelsX(2055),
                           TwipsToPixelsY(1755));
    BuildRecordList(ui, model, font);

    ui.Text1 = Named(new QPlainTextEdit(ui.Frame1), "Text1");
    ui.Text1->setGeometry(0, 0, TwipsToPixelsX(1995), TwipsToPixelsY(1035));
    ui.Text1->setPlainText(MainFormText::NoFileMessage);
    ui.Text1->setEnabled(false);

    ui.RichTextBox1 = Named(new RawTextView(ui.Frame1), "RichTextBox1");
    ui.RichTextBox1->setGeometry(0, 0, TwipsToPixelsX(1875), TwipsToPixelsY(1635));
    ui.RichTextBox1->hide();

    BuildStatusBar(window, ui, font);

    // The find bar, hidden until Ctrl+F.
    ui.findBar = new FindBar(ui.Frame1);
    ui.findBar->hide();

    // The problems panel, hidden until View > Problems.
    ui.problems = new ProblemsPanel(ui.client);
    ui.problems->hide();

    NameForAssistiveTools(ui);
    InstallReadableContrast(ui.Text1);
    new FocusRules(&window, qobject_cast<TabStrip *>(ui.TabStrip1), ui.ListView1, ui.RichTextBox1,
                   ui.Toolbar1->widgetForAction(ui.Toolbar1Open));
}
