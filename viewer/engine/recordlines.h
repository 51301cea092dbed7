#pragma once
// Where a listed record stands in the raw text: the line of its "$Name:" field line.
//
// Lines are classified as the loader reads them: a line starting with "#" is a header
// whose section name is the text after "#" up to the first tab (end headers name a section
// too); a line starting with "$" that holds a ":" and whose field name, trimmed of blanks,
// is exactly "Name" starts a record. Lines before the first header belong to the section
// named "". Records of a section are counted across all of its blocks in file order, which
// is the order of the listing's file-order rows.
//
// Stateless; nothing here throws.

#include "viewer/engine/rawtext.h"

#include <QString>
#include <optional>

namespace Engine {

// Line index (from 0) in raw of the "$Name:" line of record recordIndex (from 0, file
// order) of section, or nullopt when the section has no such record.
std::optional<qsizetype> RecordLine(const RawText &raw, const QString &section, int recordIndex);

} // namespace Engine
