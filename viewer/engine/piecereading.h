#pragma once
// Reading the lines of one piece of a table file (the buffer read at once) into a handler.
// A listing reads a large piece on two threads: the second half goes to a partial handler
// on a thread of its own, which the first handler absorbs once both have ended, so the
// result is that of one thread. An exception from either thread is passed on once both
// have ended. The pieces are views into the caller's buffer.

#include "viewer/engine/linehandler.h"
#include "viewer/engine/sectionshandler.h"

#include <QString>

namespace Engine::Parsing {

// End of the last complete line in data[from, to): after its LF, or after a CR that is
// followed by something other than an LF; from when there is none.
qsizetype completeLinesEnd(const char *data, qsizetype from, qsizetype to);

// Reads the complete lines data[from, to) into handler: with the piece large enough, the
// second half is read on a second thread into a partial handler that handler then absorbs.
// Lines are independent once it is known whether the listed section is on at a line: the
// last header before it tells. With check set, also checks that the piece is valid UTF-8
// and returns the result (true otherwise).
bool readPiece(LineHandler &handler, const QString &caption, bool utf8, bool check,
               qsizetype parallelPiece, const char *data, qsizetype from, qsizetype to, bool last);

// The same for a handler of every section: on one thread.
bool readPiece(SectionsHandler &handler, const QString &caption, bool utf8, bool check,
               qsizetype parallelPiece, const char *data, qsizetype from, qsizetype to, bool last);

} // namespace Engine::Parsing
