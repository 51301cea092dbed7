#include "viewer/engine/sectionshandler.h"

#include <utility>

namespace Engine::Parsing {

SectionsHandler::SectionsHandler(bool utf8) : m_utf8(utf8)
{
    m_nameOnly.appendColumn(QStringLiteral("Name"), NameColumnWidth);
    // Field lines before the first header belong to the section named "".
    m_current = &handlerFor(QString());
}

ParsedSections SectionsHandler::take()
{
    ParsedSections result;
    result.utf8 = m_utf8;
    for (const QString &caption : std::as_const(m_sections)) {
        const auto found = m_index.constFind(caption);
        if (found == m_index.constEnd() || result.listings.contains(caption))
            continue;
        result.listings.insert(
            caption, m_handlers[static_cast<std::size_t>(found.value())]->handler.take().listing);
    }
    result.sections = std::move(m_sections);
    return result;
}

LineHandler &SectionsHandler::handlerFor(QString &&name)
{
    const auto found = m_index.constFind(name);
    if (found != m_index.constEnd())
        return m_handlers[static_cast<std::size_t>(found.value())]->handler;
    m_index.insert(name, static_cast<int>(m_handlers.size()));
    // The "#" section's handler reads in the open mode; given a listing with only the
    // "Name" column, it lists just that section's rows.
    m_handlers.push_back(std::make_unique<Section>(std::move(name), m_nameOnly, m_utf8));
    return m_handlers.back()->handler;
}

} // namespace Engine::Parsing
