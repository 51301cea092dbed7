#pragma once
// The reading step of LoadFile: turns a table file into the tab captions and the listed
// records, without touching any window. LoadFile applies the result only when the whole
// file was read.
//
// Throws LoadError when the file cannot be read, std::length_error or std::bad_alloc when
// the listing does not fit in memory.

#include "listing.h"

#include <QFile>
#include <QString>
#include <QStringList>

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

namespace TableParser {

// Reads file (opened, at its start) as LoadFile does for caption. listed is the listing
// the rows are appended to in "#" mode (only its columns are used); for any other caption
// the listing starts with the single column "Name", 2000 twips wide.
ParsedTable Parse(QFile &file, const QString &fname, const QString &caption, const Listing &listed);

} // namespace TableParser
