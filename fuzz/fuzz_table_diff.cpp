// Comparing two tables with arbitrary contents. Checks that reading every section at once
// gives what reading each caption alone gives, that a file compared with itself does not
// differ, that every record is matched or reported exactly once, and that swapping the
// files swaps removed and added records.
//
// Input layout: bytes 0 and 1 give the old file's length (little-endian, taken modulo
// the bytes left), the old file follows, the new file is the rest.

#include "viewer/engine/tablediff.h"
#include "viewer/engine/tableloader.h"
#include "viewer/engine/tableparser.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <tuple>
#include <vector>

using namespace Engine;

namespace {

void Check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "comparison inconsistency: %s\n", what);
        std::abort();
    }
}

bool SameListing(const Listing &a, const Listing &b)
{
    if (a.rowCount() != b.rowCount() || a.columnCount() != b.columnCount())
        return false;
    for (int c = 0; c < a.columnCount(); ++c) {
        if (a.column(c).title != b.column(c).title)
            return false;
    }
    for (int r = 0; r < a.rowCount(); ++r) {
        for (int c = 0; c < std::max(a.columnCount(), 1); ++c) {
            if (a.cell(r, c) != b.cell(r, c))
                return false;
        }
    }
    return true;
}

void CheckSections(const QString &path)
{
    QFile all(path);
    Check(all.open(QIODevice::ReadOnly), "open");
    const ParsedSections sections = Engine::ParseSections(all, path);
    Listing nameOnly;
    nameOnly.appendColumn(QStringLiteral("Name"), 2000);
    for (const QString &caption : sections.sections) {
        QFile one(path);
        Check(one.open(QIODevice::ReadOnly), "open");
        const ParsedTable single = Engine::ParseTable(one, path, caption, nameOnly);
        Check(sections.listings.contains(caption), "a tab without a listing");
        Check(SameListing(sections.listings.value(caption), single.listing),
              "one-pass listing differs from the listing of its caption");
        Check(single.utf8 == sections.utf8, "encodings differ");
    }
}

// 1-based position of row among the rows of its name.
int Occurrence(const Listing &listing, int row)
{
    int count = 0;
    for (int r = 0; r <= row; ++r)
        count += listing.cell(r, 0) == listing.cell(row, 0);
    return count;
}

void CheckComparison(const TableComparison &forward, const TableComparison &backward)
{
    Check(forward.sections.size() == backward.sections.size(), "compared sections differ");
    for (const SectionDiff &diff : forward.sections) {
        const SectionDiff *other = backward.section(diff.caption);
        Check(other != nullptr, "a section compared one way only");
        const int oldRows = diff.oldListing.rowCount();
        const int newRows = diff.newListing.rowCount();
        Check(oldRows - int(diff.removed.size()) == newRows - int(diff.added.size()),
              "matched records do not add up");
        std::vector<char> removed(static_cast<std::size_t>(oldRows), 0);
        for (const SectionDiff::Record &r : diff.removed) {
            Check(r.row >= 0 && r.row < oldRows && !removed[std::size_t(r.row)], "removed row");
            removed[std::size_t(r.row)] = 1;
        }
        for (const SectionDiff::FieldChange &c : diff.changed) {
            Check(c.oldRow >= 0 && c.oldRow < oldRows && !removed[std::size_t(c.oldRow)],
                  "changed record is also removed");
            Check(c.newRow >= 0 && c.newRow < newRows, "changed row");
            Check(diff.oldListing.cell(c.oldRow, 0) == diff.newListing.cell(c.newRow, 0),
                  "matched records of different names");
            Check(diff.oldValue(c) != diff.newValue(c), "a change without a difference");
            Check(Occurrence(diff.oldListing, c.oldRow) == c.occurrence &&
                      Occurrence(diff.newListing, c.newRow) == c.occurrence,
                  "records matched out of their order of occurrence");
        }
        Check(diff.removed.size() == other->added.size() &&
                  diff.added.size() == other->removed.size() &&
                  diff.changed.size() == other->changed.size(),
              "swapping the files does not swap the differences");
        for (std::size_t i = 0; i < diff.removed.size(); ++i) {
            Check(diff.removedName(diff.removed[i]) == other->addedName(other->added[i]) &&
                      diff.removed[i].occurrence == other->added[i].occurrence,
                  "removed one way, not added the other");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    static QTemporaryDir dir;
    static const QString oldPath = dir.path() + QStringLiteral("/old.tbl");
    static const QString newPath = dir.path() + QStringLiteral("/new.tbl");
    const std::size_t rest = size - 2;
    const std::size_t oldSize =
        rest == 0 ? 0 : (std::size_t(data[0]) | std::size_t(data[1]) << 8) % (rest + 1);
    for (const auto &[path, from, length] :
         {std::tuple{oldPath, data + 2, oldSize},
          std::tuple{newPath, data + 2 + oldSize, rest - oldSize}}) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char *>(from), static_cast<qint64>(length));
    }

    CheckSections(oldPath);
    CheckSections(newPath);
    Check(!Engine::CompareFiles(oldPath, oldPath).differs(), "a file differs from itself");
    CheckComparison(Engine::CompareFiles(oldPath, newPath), Engine::CompareFiles(newPath, oldPath));
    return 0;
}
