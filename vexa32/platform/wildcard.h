#pragma once
// Name matching of the directory search: "*" stands for any run of characters, "?" for one
// character, everything else matches itself without regard to case. "*.*" matches every
// name, as in a directory listing. Pure functions; no state, no errors.

#include <QStringView>

namespace Vexa32::Platform {

bool HasWildcards(QStringView text);

bool MatchesWildcard(QStringView pattern, QStringView name);

} // namespace Vexa32::Platform
