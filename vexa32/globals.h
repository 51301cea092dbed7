#pragma once
// Program-wide values of the shared library. Set once during start-up (the program
// names itself first, then the environment initialisation fills the directories) and
// only read afterwards. Directories carry a trailing separator.

#include <QString>

namespace Vexa32 {

extern QString ProgramName;  // the module key of the suite, "ROWLNS32"
extern QString ProgramTitle; // the product name, "ROWLENS32"
extern QString VersionText;  // "1.0 Beta 01 (Build 01)"

extern QString pfad_vexa;   // the suite's configuration directory (vexa.ini)
extern QString pfad_main;   // this module's directory (rowlns32.ini, splash pictures)
extern QString pfad_temp;   // pfad_vexa + "_Temp\"
extern QString pfad_winsys; // the Windows system directory

} // namespace Vexa32
