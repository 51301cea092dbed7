#pragma once
// Comparing two table files section by section, each section as its tab lists it (all
// blocks of one name together).
//
// Records are matched by name, and records of the same name by occurrence: the first
// "Lamp" of the old file with the first "Lamp" of the new one. Field values are compared
// as the reader stores them, before the formatting pass pads numeric columns, so a longer
// decimal elsewhere in a column marks no other row as changed. A field a record lacks
// counts as the empty value; the "Name" column itself is the match key, never a change.
//
// The sections compared are the tab captions of either file other than
// "<Unparsed contents>", in the order of the old file's tabs, then the new file's own. A
// section that is a tab of only one file is compared with an empty section.
//
// Time and memory are linear in the sizes of the two files' listings. The result owns
// copies of the listings it refers to, so it stays valid on its own.

#include "viewer/engine/listing.h"

#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

namespace Engine {

// The differences of one section.
struct SectionDiff
{
    // A record only one file has: its row in that file's listing.
    struct Record
    {
        int row = 0;
        int occurrence = 1; // 1-based, among the records of that name in that file
    };
    // One field that differs between two matched records. The column is -1 on the side
    // whose listing has no column of that title.
    struct FieldChange
    {
        int oldRow = 0;
        int newRow = 0;
        int occurrence = 1; // 1-based, the same on both sides
        int oldColumn = -1;
        int newColumn = -1;
    };

    QString caption;
    // The section's records in each file, unformatted; no rows where that file has no
    // tab of this caption.
    Listing oldListing;
    Listing newListing;
    // Records only the old file has, in its order.
    std::vector<Record> removed;
    // Records in both files: by the new file's record order, then the new file's column
    // order, then the columns only the old file has (in its order).
    std::vector<FieldChange> changed;
    // Records only the new file has, in its order.
    std::vector<Record> added;

    bool differs() const { return !removed.empty() || !changed.empty() || !added.empty(); }

    QString removedName(const Record &record) const;
    QString addedName(const Record &record) const;
    QString name(const FieldChange &change) const;
    QStringView field(const FieldChange &change) const;
    QString oldValue(const FieldChange &change) const;
    QString newValue(const FieldChange &change) const;
};

// Every compared section, differing or not, in the order above.
struct TableComparison
{
    std::vector<SectionDiff> sections;

    bool differs() const;
    // The section of that caption, or nullptr when it was not compared.
    const SectionDiff *section(QStringView caption) const;
};

// Compares two listings of one section (rows in file order, column 0 the record names).
SectionDiff CompareListings(const QString &caption, Listing oldListing, Listing newListing);

// Reads both files once each and compares them; with onlyCaption, only that section (an
// empty comparison when neither file has such a tab). Throws LoadError naming the file
// that cannot be read, also when it is too large for memory; std::bad_alloc when the
// comparison itself does not fit.
TableComparison CompareFiles(const QString &oldFile, const QString &newFile,
                             const std::optional<QString> &onlyCaption = std::nullopt);

} // namespace Engine
