// TBLMainForm: the window operations that the table loader drives (TableWindow).

#include "viewer/engine/rawtext.h"
#include "viewer/engine/tableloader.h"
#include "viewer/engine/tablemodel.h"
#include "viewer/longwork.h"
#include "viewer/mainformcontrols.h"
#include "viewer/mainformmenus.h"
#include "viewer/mainformtexts.h"
#include "viewer/rawtextview.h"
#include "viewer/tblmainform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTabBar>
#include <QTableView>
#include <QThread>
#include <QWindow>
#include <memory>

using namespace Engine;

namespace {

// Tab captions are section names, shown as they are: "&" is no mnemonic here.
QString TabLabel(const QString &caption)
{
    QString label = caption;
    label.replace(u'&', QLatin1String("&&"));
    return label;
}

// Files from this size on are read for the raw text on another thread.
constexpr qint64 RawTextInBackground = qint64(8) << 20;
// How long a window just shown may take to reach the screen before a load goes on.
constexpr int ExposeWaitMs = 1000;

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
    if (QFileInfo(fname).size() < RawTextInBackground) {
        m_ui->RichTextBox1->setRawText(RawText::load(fname));
        return;
    }
    // The thread holds only its own copies: a window closed meanwhile does not wait for it.
    auto raw = std::make_shared<RawText>();
    m_work->run([fname, raw] { *raw = RawText::load(fname); }, MainFormText::ReadingRawText, false);
    m_ui->RichTextBox1->setRawText(std::move(*raw));
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
    // A window shown just before (the start-up loads the file named on its command line
    // before the events run) gets its events until it is on the screen, so that it is
    // painted before the long work.
    QWindow *handle = windowHandle();
    if (isVisible() && handle != nullptr && !handle->isExposed()) {
        QElapsedTimer waited;
        waited.start();
        while (!handle->isExposed() && waited.elapsed() < ExposeWaitMs && !m_work->closing()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(5);
        }
    }
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

void TBLMainForm::loadProgress(qint64 done, qint64 total)
{
    if (!m_readingStarted) {
        m_readingStarted = true;
        // What the load replaces is let go before the file is read, so that the old and
        // the new contents are never held at once: the raw text, read again whenever it is
        // shown, and the old list unless the file is opened afresh (which keeps it).
        RawTextView *raw = m_ui->RichTextBox1;
        m_rawDropped = !raw->isHidden();
        raw->setRawText(RawText());
        if (m_loadCaption != Engine::OpenCaption) {
            m_model->clear();
        }
    }
    m_work->pump(MainFormText::ReadingProgress(done, total));
}

void TBLMainForm::longWorkStatus(const QString &text)
{
    // Panel 1 does not read "Ready" while work runs; a load says "Processing..." itself.
    if (!text.isEmpty() && statusPanel(1) == Engine::ReadyStatus) {
        m_panel1Busy = true;
        setStatusPanel(1, Engine::ProcessingStatus);
    } else if (text.isEmpty() && m_panel1Busy) {
        m_panel1Busy = false;
        setStatusPanel(1, Engine::ReadyStatus);
    }
    if (text.isEmpty()) {
        updateStatusNote();
    } else {
        setStatusPanel(3, text);
    }
}
