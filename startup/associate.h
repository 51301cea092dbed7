#pragma once
// AssociateFileType: makes this program the handler of up to three file extensions by
// writing a REGEDIT4 script to NormalizeDir(pfad_vexa) + "shell\<exe name>.reg" and
// starting "regedit /s <script>" without waiting for it.
//
// Every step that fails is skipped silently; nothing is reported back.

#include <QString>
#include <functional>

namespace Startup {

void AssociateFileType(const QString &verb, const QString &progId, const QString &description,
                       QString option, const QString &ext1, const QString &ext2,
                       const QString &ext3);

// Replaces the process start (tests record the command line instead of running the
// importer); an empty function restores the real one.
void SetProcessStarter(std::function<bool(const QString &commandLine)> starter);

} // namespace Startup
