#pragma once
// The list's sort order: the rows of a listing in ascending order of LowerCase of one
// column's text (A-Z lowered only), compared by UTF-16 code unit, equal keys keeping file
// order. Linear in the number of rows for keys that differ within their first few
// characters after the prefix all keys share, n log n otherwise.
//
// Pure function; throws std::bad_alloc when the keys do not fit in memory.

#include "viewer/engine/listing.h"

#include <vector>

namespace Engine {

// File-order row indexes in display order. column must be a column of listing.
std::vector<int> SortAscending(const Listing &listing, int column);

} // namespace Engine
