#pragma once
// Searching the raw text for the find bar: the next line holding a text, without regard
// to case, going round to the start. A text of ASCII characters only is matched on the
// lines' bytes (both encodings keep ASCII as it is), so a search of a file of millions of
// lines decodes none of them; other texts are matched on the decoded lines.
//
// Stateless; nothing here throws except std::bad_alloc.

#include "viewer/engine/rawtext.h"

#include <QStringView>
#include <optional>

namespace Engine {

// The first line at or after from (from 0; out of range counts as 0) that holds text,
// searching to the end and then from the start; nullopt when no line holds it or text is
// empty.
std::optional<qsizetype> FindLine(const RawText &raw, QStringView text, qsizetype from);

} // namespace Engine
