#include "viewer/engine/tablediff.h"

#include "viewer/engine/tablefile.h"
#include "viewer/engine/tableloader.h"
#include "viewer/engine/tableparser.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <new>
#include <stdexcept>

namespace Engine {

namespace {

constexpr int NameColumnWidth = 2000;

// One record name: its old rows, in file order, form a chain (nextSameName) of which the
// unmatched rest starts at nextOld; and how many records of that name each side has.
struct NameEntry
{
    int nextOld = -1; // the next old row of this name not yet matched, or -1
    int lastOld = -1; // the end of the chain while it is built
    int oldCount = 0;
    int newCount = 0;
};

ParsedSections readSections(const QString &fname)
{
    const std::unique_ptr<QFile> file = OpenTableFile(fname);
    try {
        return ParseSections(*file, fname);
    } catch (const std::length_error &) {
        throw LoadError(fname, QStringLiteral("File too large"));
    } catch (const std::bad_alloc &) {
        throw LoadError(fname, QStringLiteral("Not enough memory"));
    }
}

Listing emptySection()
{
    Listing listing;
    listing.appendColumn(QStringLiteral("Name"), NameColumnWidth);
    return listing;
}

Listing takeSection(ParsedSections &parsed, const QString &caption)
{
    auto found = parsed.listings.find(caption);
    if (found == parsed.listings.end())
        return emptySection();
    Listing listing = std::move(found.value());
    parsed.listings.erase(found);
    return listing;
}

} // namespace

QString SectionDiff::removedName(const Record &record) const
{
    return oldListing.cell(record.row, 0);
}

QString SectionDiff::addedName(const Record &record) const
{
    return newListing.cell(record.row, 0);
}

QString SectionDiff::name(const FieldChange &change) const
{
    return newListing.cell(change.newRow, 0);
}

QStringView SectionDiff::field(const FieldChange &change) const
{
    if (change.newColumn >= 0)
        return newListing.column(change.newColumn).title;
    return oldListing.column(change.oldColumn).title;
}

QString SectionDiff::oldValue(const FieldChange &change) const
{
    return change.oldColumn < 0 ? QString() : oldListing.cell(change.oldRow, change.oldColumn);
}

QString SectionDiff::newValue(const FieldChange &change) const
{
    return change.newColumn < 0 ? QString() : newListing.cell(change.newRow, change.newColumn);
}

bool TableComparison::differs() const
{
    for (const SectionDiff &section : sections) {
        if (section.differs())
            return true;
    }
    return false;
}

const SectionDiff *TableComparison::section(QStringView caption) const
{
    for (const SectionDiff &section : sections) {
        if (section.caption == caption)
            return &section;
    }
    return nullptr;
}

SectionDiff CompareListings(const QString &caption, Listing oldListing, Listing newListing)
{
    SectionDiff diff;
    diff.caption = caption;
    diff.oldListing = std::move(oldListing);
    diff.newListing = std::move(newListing);
    const Listing &before = diff.oldListing;
    const Listing &after = diff.newListing;
    const int oldRows = before.rowCount();
    const int newRows = after.rowCount();

    // Match the records: the k-th record of a name in the new file takes the k-th of
    // that name in the old file. The views point into the listings, which stay put (names
    // are never formatted, so they are the stored bytes; equal texts have equal bytes).
    const auto nameOf = [](const Listing &listing, int row) {
        std::string unused;
        return listing.shownBytes(row, 0, unused);
    };
    QHash<QByteArrayView, int> entryOfName;
    entryOfName.reserve(oldRows);
    std::vector<NameEntry> entries;
    std::vector<int> entryOfOld(static_cast<std::size_t>(oldRows));
    std::vector<int> nextSameName(static_cast<std::size_t>(oldRows), -1);
    std::vector<int> oldOccurrence(static_cast<std::size_t>(oldRows));
    const auto entryFor = [&](QByteArrayView name) -> int {
        int &slot = entryOfName[name]; // 0 for a new name, else its index + 1
        if (slot == 0) {
            entries.emplace_back();
            slot = static_cast<int>(entries.size());
        }
        return slot - 1;
    };
    for (int row = 0; row < oldRows; ++row) {
        const int index = entryFor(nameOf(before, row));
        NameEntry &entry = entries[static_cast<std::size_t>(index)];
        if (entry.lastOld < 0)
            entry.nextOld = row;
        else
            nextSameName[static_cast<std::size_t>(entry.lastOld)] = row;
        entry.lastOld = row;
        entryOfOld[static_cast<std::size_t>(row)] = index;
        oldOccurrence[static_cast<std::size_t>(row)] = ++entry.oldCount;
    }

    // Where each new column's field is in the old listing, and the old-only fields.
    QHash<QStringView, int> oldColumnOf;
    for (int c = 1; c < before.columnCount(); ++c) {
        if (!oldColumnOf.contains(before.column(c).title))
            oldColumnOf.insert(before.column(c).title, c);
    }
    std::vector<int> oldColumnFor(static_cast<std::size_t>(std::max(after.columnCount(), 1)), -1);
    QSet<QStringView> newTitles;
    for (int c = 1; c < after.columnCount(); ++c) {
        newTitles.insert(after.column(c).title);
        oldColumnFor[static_cast<std::size_t>(c)] = oldColumnOf.value(after.column(c).title, -1);
    }
    std::vector<int> oldOnlyColumns;
    for (int c = 1; c < before.columnCount(); ++c) {
        if (!newTitles.contains(before.column(c).title))
            oldOnlyColumns.push_back(c);
    }

    std::vector<char> oldMatched(static_cast<std::size_t>(oldRows), 0);
    std::string nowScratch;
    std::string wasScratch;
    int lastPartner = -1;
    for (int row = 0; row < newRows; ++row) {
        // Copies keep most records in the same order: when the old row after the last
        // partner has this name and is the next of its name, it is the partner, found
        // without a look-up.
        const QByteArrayView name = nameOf(after, row);
        const int guess = lastPartner + 1;
        int index = -1;
        if (guess < oldRows && nameOf(before, guess) == name) {
            index = entryOfOld[static_cast<std::size_t>(guess)];
            if (entries[static_cast<std::size_t>(index)].nextOld != guess)
                index = -1;
        }
        if (index < 0)
            index = entryFor(name);
        NameEntry &entry = entries[static_cast<std::size_t>(index)];
        const int occurrence = ++entry.newCount;
        const int partner = entry.nextOld;
        if (partner < 0) {
            diff.added.push_back({row, occurrence});
            continue;
        }
        entry.nextOld = nextSameName[static_cast<std::size_t>(partner)];
        oldMatched[static_cast<std::size_t>(partner)] = 1;
        lastPartner = partner;
        for (int c = 1; c < after.columnCount(); ++c) {
            const int oldColumn = oldColumnFor[static_cast<std::size_t>(c)];
            const QByteArrayView now = after.shownBytes(row, c, nowScratch);
            const QByteArrayView was = oldColumn < 0
                                           ? QByteArrayView()
                                           : before.shownBytes(partner, oldColumn, wasScratch);
            if (now != was)
                diff.changed.push_back({partner, row, occurrence, oldColumn, c});
        }
        for (const int oldColumn : oldOnlyColumns) {
            if (!before.shownBytes(partner, oldColumn, wasScratch).isEmpty())
                diff.changed.push_back({partner, row, occurrence, oldColumn, -1});
        }
    }
    for (int row = 0; row < oldRows; ++row) {
        if (!oldMatched[static_cast<std::size_t>(row)])
            diff.removed.push_back({row, oldOccurrence[static_cast<std::size_t>(row)]});
    }
    return diff;
}

TableComparison CompareFiles(const QString &oldFile, const QString &newFile,
                             const std::optional<QString> &onlyCaption)
{
    ParsedSections before = readSections(oldFile);
    ParsedSections after = readSections(newFile);

    QStringList captions;
    QSet<QString> seen;
    for (const QStringList *tabs : {&before.sections, &after.sections}) {
        for (const QString &caption : *tabs) {
            if (caption == UnparsedCaption || seen.contains(caption))
                continue;
            if (onlyCaption && caption != *onlyCaption)
                continue;
            seen.insert(caption);
            captions.append(caption);
        }
    }

    TableComparison comparison;
    comparison.sections.reserve(static_cast<std::size_t>(captions.size()));
    for (const QString &caption : std::as_const(captions)) {
        comparison.sections.push_back(
            CompareListings(caption, takeSection(before, caption), takeSection(after, caption)));
    }
    return comparison;
}

} // namespace Engine
