#pragma once
// Reading every section of a file at once: a SectionsHandler takes the lines of one
// reading and hands each header and field line to a LineHandler of that section's own.
// It owns those handlers and their listings until take(). Fails only with std::bad_alloc
// or std::length_error when the listings do not fit in memory.

#include "viewer/engine/linehandler.h"
#include "viewer/engine/tableparser.h"
#include "viewer/engine/tabletext.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <utility>
#include <vector>

namespace Engine::Parsing {

// Handles the lines of one reading of the file for every section at once: each section
// name has a LineHandler of its own that sees only that section's header and field lines,
// so it ends with what a reading for that one caption would list.
class SectionsHandler
{
public:
    explicit SectionsHandler(bool utf8);

    void line(QByteArrayView line)
    {
        if (line.isEmpty())
            return;
        if (line[0] == '#') {
            const QByteArrayView text = line.sliced(1);
            const qsizetype tab = findByte(text, '\t');
            QString name = Decode(tab < 0 ? text : text.first(tab), m_utf8);
            if (!isEndHeader(text))
                m_sections.append(name);
            m_current = &handlerFor(std::move(name));
        } else if (line[0] != '$') {
            return;
        }
        m_current->line(line);
    }

    bool wantsFieldLines() const { return true; }

    ParsedSections take();

private:
    struct Section
    {
        Section(QString sectionName, const Listing &listed, bool utf8)
            : name(std::move(sectionName)), handler(name, listed, utf8)
        {
        }
        const QString name; // the handler keeps a reference to it
        LineHandler handler;
    };

    LineHandler &handlerFor(QString &&name);

    const bool m_utf8;
    Listing m_nameOnly;
    std::vector<std::unique_ptr<Section>> m_handlers;
    QHash<QString, int> m_index;
    QStringList m_sections;
    LineHandler *m_current = nullptr;
};

} // namespace Engine::Parsing
