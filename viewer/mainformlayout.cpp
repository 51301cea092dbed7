#include "viewer/mainformlayout.h"

#include "vexa32/gui/controls.h"
#include "vexa32/gui/screen.h"
#include "vexa32/trystep.h"
#include "viewer/findbar.h"
#include "viewer/mainformcontrols.h"
#include "viewer/problemspanel.h"
#include "viewer/rawtextview.h"

#include <QFrame>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTableView>
#include <QToolBar>
#include <algorithm>

namespace {

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

// The find bar at the top of the frame while shown, the panes below it; hidden, the panes
// back at the top.
void PlaceFindBar(const MainFormControls &ui)
{
    using namespace Vexa32;
    FindBar *bar = ui.findBar;
    const bool shown = !bar->isHidden();
    if (!shown && ui.ListView1->y() == 0) {
        return; // the panes stand where the layout put them
    }
    // The layout's pane height is the frame's height less 60 twips.
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

// The problems panel, while shown, in the room the layout left at the bottom of the client
// area, lined up with the tab strip above it.
int ProblemsPanelPixels(const MainFormControls &ui)
{
    return ui.problems->isHidden() ? 0
                                   : Vexa32::TwipsToPixelsY(MainFormDesign::ProblemsPanelHeight);
}

void PlaceProblemsPanel(const MainFormControls &ui)
{
    const int height = ProblemsPanelPixels(ui);
    if (height > 0) {
        const QRect tabs = ui.TabStrip1->geometry();
        const int client = ui.client->height();
        ui.problems->setGeometry(tabs.x(), std::max(0, client - height), tabs.width(),
                                 std::min(height, client));
    }
}

} // namespace

void LayOutMainForm(const MainFormControls &ui, QSize outer, int toolbarWidth, bool fileLoaded)
{
    using namespace Vexa32;
    // The toolbars are aligned to the top: they span the client area's width.
    TryStep([&] { ui.Toolbar1->resize(toolbarWidth, ui.Toolbar1->height()); });
    TryStep([&] { ui.Toolbar2->resize(toolbarWidth, ui.Toolbar2->height()); });

    const double outerWidth = PixelsToTwipsX(outer.width());
    const double outerHeight = PixelsToTwipsY(outer.height() - ProblemsPanelPixels(ui));
    TryStep([&] { SetWidthTwips(ui.TabStrip1, outerWidth - 240); });
    TryStep([&] { SetHeightTwips(ui.TabStrip1, outerHeight - 1540); });
    TryStep([&] { SetWidthTwips(ui.Frame1, WidthTwips(ui.TabStrip1) - 240); });
    TryStep([&] { SetHeightTwips(ui.Frame1, HeightTwips(ui.TabStrip1) - 600); });
    TryStep([&] { SetWidthTwips(ui.ListView1, WidthTwips(ui.Frame1)); });
    TryStep([&] { SetHeightTwips(ui.ListView1, HeightTwips(ui.Frame1) - 60); });
    TryStep([&] { CopyPlacement(ui.ListView1, ui.Text1); });
    TryStep([&] { CopyPlacement(ui.ListView1, ui.RichTextBox1); });
    TryStep([&] { SetControlEnabled(ui.TabStrip1, fileLoaded); });
    TryStep([&] { PlaceFindBar(ui); });
    TryStep([&] { PlaceProblemsPanel(ui); });
}
