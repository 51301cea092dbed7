#include "viewer/comparemarks.h"

#include "viewer/engine/tablemodel.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QToolTip>

using namespace Engine;

namespace {

using Mark = CompareListing::Mark;

QString Shown(QStringView value)
{
    return value.isEmpty() ? QStringLiteral("(none)") : value.toString();
}

} // namespace

CompareMarks::CompareMarks(const TableListModel &model, QObject *parent)
    : QStyledItemDelegate(parent), m_model(model)
{
}

void CompareMarks::setComparison(CompareListing comparison, const QString &otherName)
{
    m_comparison = std::move(comparison);
    m_otherName = otherName;
}

void CompareMarks::clear()
{
    m_comparison.reset();
    m_otherName.clear();
}

Mark CompareMarks::markOf(const QModelIndex &index) const
{
    if (!m_comparison || !index.isValid()) {
        return Mark::Same;
    }
    return m_comparison->mark(m_model.sourceRow(index.row()));
}

const QString *CompareMarks::oldValueOf(const QModelIndex &index) const
{
    if (!m_comparison || !index.isValid()) {
        return nullptr;
    }
    return m_comparison->oldValue(m_model.sourceRow(index.row()), index.column());
}

QString CompareMarks::shownText(const QModelIndex &index) const
{
    const QString text = m_model.cellText(index.row(), index.column());
    if (!m_comparison) {
        return text;
    }
    if (index.column() == 0) {
        switch (markOf(index)) {
        case Mark::Added:
            return QStringLiteral("+ ") + text;
        case Mark::Changed:
            return QStringLiteral("~ ") + text;
        case Mark::Removed:
            return QStringLiteral("- ") + text;
        case Mark::Same:
            break;
        }
        return QStringLiteral("  ") + text;
    }
    if (oldValueOf(index) == nullptr) {
        return text;
    }
    // The mark stands right before the value, in place of padding blanks where there are
    // some, so that a right-aligned number keeps its place.
    qsizetype start = 0;
    while (start < text.size() && text[start] == u' ') {
        ++start;
    }
    return text.left(std::max<qsizetype>(0, start - 2)) + QStringLiteral("~ ") + text.mid(start);
}

QString CompareMarks::toolTip(const QModelIndex &index) const
{
    if (!m_comparison) {
        return {};
    }
    if (const QString *old = oldValueOf(index)) {
        return QStringLiteral("Changed. In %1: %2").arg(m_otherName, Shown(*old));
    }
    switch (markOf(index)) {
    case Mark::Added:
        return QStringLiteral("Added: not in %1").arg(m_otherName);
    case Mark::Removed:
        return QStringLiteral("Removed: only in %1").arg(m_otherName);
    case Mark::Changed:
        return index.column() == 0
                   ? QStringLiteral("Changed: cells marked ~ differ from %1").arg(m_otherName)
                   : QString();
    case Mark::Same:
        break;
    }
    return {};
}

QColor CompareMarks::background(const QModelIndex &index) const
{
    if (oldValueOf(index) != nullptr) {
        return QColor(0xff, 0xd0, 0x70);
    }
    switch (markOf(index)) {
    case Mark::Added:
        return QColor(0xcc, 0xf0, 0xcc);
    case Mark::Changed:
        return QColor(0xff, 0xf4, 0xcc);
    case Mark::Removed:
        return QColor(0xf6, 0xcc, 0xcc);
    case Mark::Same:
        break;
    }
    return {};
}

void CompareMarks::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (!m_comparison) {
        return;
    }
    option->text = shownText(index);
    const QColor tint = background(index);
    if (tint.isValid()) {
        option->backgroundBrush = tint;
        // Dark text on the light tints, whatever the palette.
        option->palette.setColor(QPalette::Text, Qt::black);
    }
    if (markOf(index) == Mark::Removed) {
        // A record the open file no longer has: greyed.
        option->palette.setColor(QPalette::Text, QColor(0x50, 0x50, 0x50));
    }
}

bool CompareMarks::helpEvent(QHelpEvent *event, QAbstractItemView *view,
                             const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (event != nullptr && event->type() == QEvent::ToolTip && m_comparison) {
        const QString tip = toolTip(index);
        if (tip.isEmpty()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(event->globalPos(), tip, view);
        }
        return true;
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}
