#include "viewer/comparemode.h"

#include "vexa32/gui/errordialog.h"
#include "vexa32/platform/host.h"
#include "viewer/comparemarks.h"
#include "viewer/engine/comparelisting.h"
#include "viewer/engine/tablediff.h"
#include "viewer/engine/tableloader.h"
#include "viewer/engine/tablemodel.h"
#include "viewer/tablefiledialog.h"
#include "viewer/tblmainform.h"

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <new>

using namespace Engine;

namespace {

QString TabLabel(const QString &caption)
{
    QString label = caption;
    label.replace(u'&', QLatin1String("&&"));
    return label;
}

std::optional<QString> AskCompareFileName(QWidget *parent, const QString &initialDir)
{
    return AskTableFileName(parent, QStringLiteral("Compare with"), QStringLiteral("CompareDialog"),
                            initialDir, QFileDialog::ExistingFile);
}

void ReportUnreadable(const QString &reason)
{
    Vexa32::ShowErrorMessage(QString(), QStringLiteral("Cannot compare"), reason);
}

} // namespace

CompareMode::CompareMode(const Parts &parts) : m_parts(parts)
{
    m_marks = new CompareMarks(*parts.model, parts.list);
    parts.list->setItemDelegate(m_marks);

    m_compareItem = parts.compareItem;
    m_leaveItem = parts.leaveItem;
    m_onlyItem = parts.onlyDifferencesItem;
    connect(m_compareItem, &QAction::triggered, this, [this] { MenuFileCompare_Click(); });
    connect(m_leaveItem, &QAction::triggered, this, [this] { leave(); });
    connect(parts.fileMenu, &QMenu::aboutToShow, this, [this] { updateItems(); });
    connect(m_onlyItem, &QAction::triggered, this, [this](bool on) { setOnlyDifferences(on); });

    // While comparing, the toolbar names the other file and holds the filter and the way out.
    m_toolbarSeparator = parts.toolbar->addSeparator();
    m_summary = new QLabel(parts.toolbar);
    m_summary->setObjectName(QStringLiteral("CompareSummary"));
    m_summary->setTextFormat(Qt::PlainText);
    m_summaryAction = parts.toolbar->addWidget(m_summary);
    m_onlyBox = new QCheckBox(QStringLiteral("Show only differences"), parts.toolbar);
    m_onlyBox->setObjectName(QStringLiteral("CompareOnlyDifferences"));
    m_onlyAction = parts.toolbar->addWidget(m_onlyBox);
    connect(m_onlyBox, &QCheckBox::toggled, this, [this](bool on) { setOnlyDifferences(on); });
    auto *leaveButton = new QToolButton(parts.toolbar);
    leaveButton->setObjectName(QStringLiteral("CompareLeave"));
    leaveButton->setText(QStringLiteral("Leave comparison"));
    leaveButton->setToolTip(QStringLiteral("Back to the ordinary listing"));
    m_leaveAction = parts.toolbar->addWidget(leaveButton);
    connect(leaveButton, &QToolButton::clicked, this, [this] { leave(); });

    updateItems();
}

CompareMode::~CompareMode() = default;

void CompareMode::setFileDialog(FileDialog dialog)
{
    m_dialog = std::move(dialog);
}

QString CompareMode::otherName() const
{
    return QFileInfo(m_other).fileName();
}

void CompareMode::updateItems()
{
    const bool loaded = !m_parts.window->CurrentFile().isEmpty();
    const bool on = active();
    m_compareItem->setEnabled(loaded);
    m_leaveItem->setVisible(on);
    m_onlyItem->setEnabled(on);
    {
        const QSignalBlocker quietItem(m_onlyItem);
        const QSignalBlocker quietBox(m_onlyBox);
        m_onlyItem->setChecked(m_onlyDifferences);
        m_onlyBox->setChecked(m_onlyDifferences);
    }
    for (QAction *action : {m_toolbarSeparator, m_summaryAction, m_onlyAction, m_leaveAction}) {
        action->setVisible(on);
    }
}

void CompareMode::MenuFileCompare_Click()
{
    const QString current = m_parts.window->CurrentFile();
    if (current.isEmpty()) {
        return;
    }
    const std::optional<QString> host = Vexa32::Platform::HostPath(current);
    const QString initialDir = host ? QFileInfo(*host).absolutePath() : QString();
    const std::optional<QString> chosen =
        m_dialog ? m_dialog(initialDir) : AskCompareFileName(m_parts.window, initialDir);
    if (chosen && !chosen->isEmpty()) {
        start(*chosen);
    }
}

bool CompareMode::start(const QString &other)
{
    const QString current = m_parts.window->CurrentFile();
    if (current.isEmpty()) {
        return false;
    }
    TableComparison comparison;
    try {
        comparison = CompareFiles(other, current);
    } catch (const LoadError &error) {
        ReportUnreadable(error.message());
        return false;
    } catch (const std::bad_alloc &) {
        ReportUnreadable(QStringLiteral("The two files are too large to compare in memory."));
        return false;
    }
    if (active()) {
        // Comparing with another file: the tabs of the first comparison go.
        const QSignalBlocker quiet(m_parts.tabs);
        while (m_parts.tabs->count() > m_ownTabs) {
            m_parts.tabs->removeTab(m_parts.tabs->count() - 1);
        }
    } else {
        m_ownTabs = m_parts.tabs->count();
    }
    m_other = other;
    markTabs(comparison);

    const int index = m_parts.tabs->currentIndex();
    const QString caption = index > 0 ? m_parts.tabs->tabData(index).toString() : QString();
    if (const SectionDiff *diff = index > 0 ? comparison.section(caption) : nullptr) {
        showDiff(*diff);
    } else {
        showSummary(QString(), 0, 0, 0);
    }
    updateItems();
    return true;
}

void CompareMode::markTabs(const TableComparison &comparison)
{
    QTabBar *tabs = m_parts.tabs;
    QStringList own;
    for (int index = 1; index < m_ownTabs; ++index) {
        own << tabs->tabData(index).toString();
        const SectionDiff *diff = comparison.section(own.constLast());
        markTab(index, diff != nullptr && diff->differs());
    }
    m_differing = 0;
    for (const SectionDiff &diff : comparison.sections) {
        m_differing += diff.differs() ? 1 : 0;
        if (!own.contains(diff.caption)) {
            m_parts.window->appendTab(diff.caption);
            markTab(tabs->count() - 1, diff.differs());
        }
    }
}

void CompareMode::markTab(int index, bool differs)
{
    QTabBar *tabs = m_parts.tabs;
    const QString caption = tabs->tabData(index).toString();
    tabs->setTabText(index, TabLabel(caption) + (differs ? QStringLiteral(" *") : QString()));
    tabs->setTabTextColor(index, differs ? QColor(0xa0, 0x3c, 0x00) : QColor());
    QString tip;
    if (index >= m_ownTabs) {
        tip = QStringLiteral("Only in %1").arg(otherName());
    } else {
        tip = differs ? QStringLiteral("Differs from %1").arg(otherName())
                      : QStringLiteral("The same in %1").arg(otherName());
    }
    tabs->setTabToolTip(index, tip);
}

void CompareMode::showDiff(const SectionDiff &diff)
{
    CompareListing shown = BuildCompareListing(diff);
    Listing listing = std::move(shown.listing);
    shown.listing = Listing();
    const std::vector<char> differing = shown.differingRows();
    const int added = shown.added;
    const int changed = shown.changed;
    const int removed = shown.removed;
    m_marks->setComparison(std::move(shown), otherName());
    m_parts.model->setListing(std::move(listing));
    if (m_onlyDifferences) {
        m_parts.model->setRowMask(differing);
    }
    m_parts.list->viewport()->update();
    showSummary(diff.caption, added, changed, removed);
}

bool CompareMode::showSection(const QString &caption)
{
    try {
        const TableComparison comparison =
            CompareFiles(m_other, m_parts.window->CurrentFile(), caption);
        const SectionDiff *diff = comparison.section(caption);
        if (diff == nullptr) {
            return true;
        }
        showDiff(*diff);
        markTab(m_parts.tabs->currentIndex(), diff->differs());
        return true;
    } catch (const LoadError &error) {
        ReportUnreadable(error.message());
    } catch (const std::bad_alloc &) {
        ReportUnreadable(QStringLiteral("The two files are too large to compare in memory."));
    }
    return false;
}

void CompareMode::showSummary(const QString &caption, int added, int changed, int removed)
{
    m_parts.window->setCaption(FileCaption(m_parts.window->CurrentFile()) +
                               QStringLiteral(" compared with [%1]").arg(m_other));
    m_summary->setToolTip(QStringLiteral("The open file compared with %1; + added, ~ changed, "
                                         "- removed since that file")
                              .arg(m_other));
    if (caption.isEmpty()) {
        m_summary->setText(m_differing == 0
                               ? QStringLiteral("Compared with %1: no differences").arg(otherName())
                               : QStringLiteral("Compared with %1: %2 of the sections differ (*)")
                                     .arg(otherName())
                                     .arg(m_differing));
        return;
    }
    m_summary->setText(QStringLiteral("Compared with %1: + %2 added, ~ %3 changed, - %4 removed")
                           .arg(otherName())
                           .arg(added)
                           .arg(changed)
                           .arg(removed));
}

void CompareMode::setOnlyDifferences(bool only)
{
    if (only == m_onlyDifferences) {
        return;
    }
    m_onlyDifferences = only && active();
    if (const CompareListing *shown = m_marks->comparison(); shown != nullptr && active()) {
        m_parts.model->setRowMask(m_onlyDifferences ? shown->differingRows() : std::vector<char>());
    }
    updateItems();
}

void CompareMode::loaded(const QString &caption)
{
    if (!active()) {
        return;
    }
    if (caption == OpenCaption) {
        // Another file is open with tabs of its own: the comparison is over.
        m_other.clear();
        m_marks->clear();
        m_onlyDifferences = false;
        m_ownTabs = 0;
        updateItems();
        return;
    }
    m_marks->clear();
    if (caption == UnparsedCaption || !showSection(caption)) {
        if (caption != UnparsedCaption) {
            end(false); // the list shows the section as the open file holds it
            return;
        }
        showSummary(QString(), 0, 0, 0);
    }
    updateItems();
}

void CompareMode::leave()
{
    end(true);
}

void CompareMode::end(bool reload)
{
    if (!active()) {
        return;
    }
    m_other.clear();
    m_marks->clear();
    m_onlyDifferences = false;
    QTabBar *tabs = m_parts.tabs;
    const int current = tabs->currentIndex();
    const int own = std::min(m_ownTabs, tabs->count());
    for (int index = 1; index < own; ++index) {
        tabs->setTabText(index, TabLabel(tabs->tabData(index).toString()));
        tabs->setTabTextColor(index, QColor());
        tabs->setTabToolTip(index, QString());
    }
    updateItems();
    if (!reload) {
        const QSignalBlocker quiet(tabs);
        while (tabs->count() > own) {
            tabs->removeTab(tabs->count() - 1);
        }
        return;
    }
    // Removing the tab on show selects another one, which lists its section afresh.
    while (tabs->count() > own) {
        tabs->removeTab(tabs->count() - 1);
    }
    if (current < own && current > 0) {
        m_parts.window->LoadFileOrReport(m_parts.window->CurrentFile(),
                                         tabs->tabData(current).toString());
    } else if (current <= 0) {
        m_parts.window->setCaption(FileCaption(m_parts.window->CurrentFile()));
    }
}
