#pragma once
// The reading step of LoadFile: turns a table file into the tab captions and the listed
// records, without touching any window. LoadFile applies the result only when the whole
// file was read.
//
// Throws LoadError when the file cannot be read, std::length_error or std::bad_alloc when
// the listing does not fit in memory.

#include "viewer/engine/listing.h"

#include <QFile>
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

namespace Engine {

struct ParsedTable
{
    // The captions of the non-end headers, in file order (collected in "#" mode only).
    QStringList sections;
    // The rows of the listed section, in file order, with their columns. In "#" mode
    // the listing starts with the columns of the listing given and holds only the rows of
    // a section named "#".
    Listing listing;
    bool utf8 = false;
};

// Every section of a file at once, each as clicking its tab would list it.
struct ParsedSections
{
    // The captions of the non-end headers, in file order (a repeated header repeats).
    QStringList sections;
    // For each distinct caption: its records from all blocks of that name, in file order,
    // as the reader stores them (before the formatting pass). Each listing starts with
    // the column "Name", 2000 twips wide.
    QHash<QString, Listing> listings;
    bool utf8 = false;
};

// A listed section is read by two threads, each taking half of every piece of the file
// read at once, when the piece holds at least twice this many bytes.
inline constexpr qsizetype ParallelPiece = qsizetype(1) << 20;

// Called between the blocks a file is read in, on the reading thread, with the bytes read so
// far and the file's size; what it throws ends the reading and is passed on.
using ReadProgress = std::function<void(qint64 done, qint64 total)>;

// Reads file (opened, at its start) as LoadFile does for caption. listed is the listing
// the rows are appended to in "#" mode (only its columns are used); for any other caption
// the listing starts with the single column "Name", 2000 twips wide. parallelPiece
// replaces ParallelPiece (tests split small files with it); the result never depends on it.
// progress, when set, hears of each block read.
ParsedTable ParseTable(QFile &file, const QString &fname, const QString &caption,
                       const Listing &listed, qsizetype parallelPiece = ParallelPiece,
                       const ReadProgress &progress = {});

// Reads file (opened, at its start) once and lists every section named by a tab. Each
// listing holds what ParseTable would list for that caption; the one for a section named "#"
// holds only that section's rows (ParseTable's "#" mode appends them to an earlier listing).
ParsedSections ParseSections(QFile &file, const QString &fname);

} // namespace Engine
