// TBLMainForm: the window operations that the table loader drives (TableWindow).

#include "viewer/engine/rawtext.h"
#include "viewer/engine/tablemodel.h"
#include "viewer/mainformcontrols.h"
#include "viewer/mainformmenus.h"
#include "viewer/rawtextview.h"
#include "viewer/tblmainform.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTabBar>
#include <QTableView>

using namespace Engine;

namespace {

// Tab captions are section names, shown as they are: "&" is no mnemonic here.
QString TabLabel(const QString &caption)
{
    QString label = caption;
    label.replace(u'&', QLatin1String("&&"));
    return label;
}

} // namespace

void TBLMainForm::setStatusPanel(int panel, const QString &text)
{
    if (panel >= 1 && panel <= 3) {
        m_ui->panels[static_cast<std::size_t>(panel - 1)]->setText(text);
    }
}

QString TBLMainForm::statusPanel(int panel) const
{
    if (panel >= 1 && panel <= 3) {
        return m_ui->panels[static_cast<std::size_t>(panel - 1)]->text();
    }
    return {};
}

void TBLMainForm::repaintStatusBar()
{
    m_ui->StatusBar1->repaint();
}

void TBLMainForm::clearTabs()
{
    QTabBar *tabs = m_ui->TabStrip1;
    while (tabs->count() > 0) {
        tabs->removeTab(tabs->count() - 1);
    }
}

void TBLMainForm::appendTab(const QString &caption)
{
    const int index = m_ui->TabStrip1->addTab(TabLabel(caption));
    m_ui->TabStrip1->setTabData(index, caption);
}

int TBLMainForm::tabCount() const
{
    return m_ui->TabStrip1->count();
}

TableListModel &TBLMainForm::listModel()
{
    return *m_model;
}

void TBLMainForm::setListReportView(bool report)
{
    // The list is not drawn while it is being filled.
    m_ui->ListView1->setUpdatesEnabled(report);
}

bool TBLMainForm::listVisible() const
{
    return !m_ui->ListView1->isHidden();
}

void TBLMainForm::setListVisible(bool visible)
{
    m_ui->ListView1->setVisible(visible);
}

std::optional<int> TBLMainForm::selectedRow() const
{
    const QModelIndexList rows = m_ui->ListView1->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        return std::nullopt;
    }
    return rows.first().row();
}

void TBLMainForm::loadRawText(const QString &fname)
{
    m_ui->RichTextBox1->setRawText(RawText::load(fname));
}

void TBLMainForm::setRawVisible(bool visible)
{
    m_ui->RichTextBox1->setVisible(visible);
}

void TBLMainForm::setPlaceholderVisible(bool visible)
{
    m_ui->Text1->setVisible(visible);
}

QString TBLMainForm::caption() const
{
    return windowTitle();
}

void TBLMainForm::setCaption(const QString &caption)
{
    setWindowTitle(caption);
}

void TBLMainForm::setBusyPointer(bool busy)
{
    if (busy == m_busy) {
        return;
    }
    m_busy = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void TBLMainForm::repaintWindow()
{
    repaint();
}

void TBLMainForm::setCurrentFile(const QString &fname)
{
    m_currentFile = fname;
    EnableFileCommands(*m_ui, !m_currentFile.isEmpty());
}

void TBLMainForm::runLayout()
{
    Form_Resize();
}

void TBLMainForm::itemClick(int displayRow)
{
    ListView1_ItemClick(displayRow);
}
