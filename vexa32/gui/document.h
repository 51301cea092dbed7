#pragma once
// Opening a document or program with the desktop's default handler, as the shell's "open"
// action does. The path is a text in the suite's form or a host path; it is mapped to the
// host and handed over unchanged otherwise. The result is ignored: nothing is reported
// when the path cannot be opened.

#include <QString>

namespace Vexa32 {

void OpenDocument(const QString &path);

} // namespace Vexa32
