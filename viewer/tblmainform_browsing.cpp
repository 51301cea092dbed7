// TBLMainForm: browsing the loaded file: a section tab chosen by click or keyboard, a row
// or column header clicked, the column widths, copying rows and the jump from a record to
// its raw line.

#include "vexa32/gui/screen.h"
#include "viewer/engine/recordlines.h"
#include "viewer/engine/sortorder.h"
#include "viewer/engine/tablemodel.h"
#include "viewer/longwork.h"
#include "viewer/mainformcontrols.h"
#include "viewer/mainformtexts.h"
#include "viewer/rawtextview.h"
#include "viewer/tblmainform.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTableView>
#include <algorithm>
#include <utility>
#include <vector>

using namespace Engine;

namespace {

// Lists of this many rows or more are sorted on another thread while the window paints.
constexpr int SortInBackground = 200000;

} // namespace

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

void TBLMainForm::SelectTabBy(int step)
{
    QTabBar *tabs = m_ui->TabStrip1;
    const int count = tabs->count();
    if (!tabs->isEnabled() || count < 2) {
        return;
    }
    tabs->setCurrentIndex(((tabs->currentIndex() + step) % count + count) % count);
}

void TBLMainForm::ListView1_ItemClick(int displayRow)
{
    if (displayRow >= 0 && displayRow < m_model->rowCount()) {
        setStatusPanel(2, m_model->cellText(displayRow, 0));
    }
}

void TBLMainForm::ListView1_ColumnClick(int column)
{
    const Listing &listing = m_model->listing();
    const bool resorts = !m_model->sorted() || m_model->sortKey() != column;
    if (resorts && listing.rowCount() >= SortInBackground && column >= 0 &&
        column < listing.columnCount()) {
        // The listing stays as it is meanwhile: loads and other commands wait for the end.
        std::vector<int> order;
        try {
            m_work->run([&] { order = SortAscending(listing, column); }, MainFormText::SortingRows);
        } catch (const LongWork::Abandoned &) {
            return; // the window is closing
        }
        m_model->sortByColumn(column, std::move(order));
    } else {
        m_model->sortByColumn(column);
    }
    applyColumnWidths();
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

void TBLMainForm::CopySelectedRows()
{
    MainFormControls &ui = *m_ui;
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
            text += m_model->cellText(row, column).trimmed();
        }
        text += u'\n';
    }
    if (QClipboard *clipboard = QGuiApplication::clipboard()) {
        clipboard->setText(text);
    }
}

void TBLMainForm::ShowRecordInRawText(int displayRow)
{
    MainFormControls &ui = *m_ui;
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
        ui.RichTextBox1->revealLine(*line);
    }
    ui.RichTextBox1->setFocus();
}

void TBLMainForm::showCurrentRecordInRawText()
{
    const QModelIndex current = m_ui->ListView1->currentIndex();
    ShowRecordInRawText(current.isValid() ? current.row() : -1);
}
