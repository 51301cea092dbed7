#include "viewer/engine/headlesswindow.h"

#include "viewer/engine/tableloader.h"

namespace Engine {

HeadlessTableWindow::HeadlessTableWindow()
{
    m_panels[0] = ReadyStatus;
    QObject::connect(&m_model, &QAbstractItemModel::modelReset, &m_model,
                     [this] { m_selected.reset(); });
}

void HeadlessTableWindow::setStatusPanel(int panel, const QString &text)
{
    if (panel >= 1 && panel <= 3)
        m_panels[panel - 1] = text;
}

QString HeadlessTableWindow::statusPanel(int panel) const
{
    return panel >= 1 && panel <= 3 ? m_panels[panel - 1] : QString();
}

void HeadlessTableWindow::itemClick(int displayRow)
{
    setStatusPanel(2, m_model.cellText(displayRow, 0));
}

void HeadlessTableWindow::clickTab(const QString &caption)
{
    LoadFile(*this, m_currentFile, caption);
}

void HeadlessTableWindow::clickRow(int displayRow)
{
    if (displayRow < 0 || displayRow >= m_model.rowCount())
        return;
    m_selected = displayRow;
    itemClick(displayRow);
}

void HeadlessTableWindow::clickColumn(int column)
{
    m_model.sortByColumn(column);
}

} // namespace Engine
