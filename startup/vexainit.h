#pragma once
// The shared environment: finds the suite's installation through "C:\VEXA.CFG", checks it
// and the Tahoma fonts, and sets the directory globals of vexa32/globals.h.
//
// vexa_init and CheckFonts end the program through the fatal error dialog when the suite
// is not installed or Tahoma is missing; every other failure is ignored.

#include <QString>

namespace Startup {

// Web address of the suite's download page, named in the font error.
inline const QString DownloadAddress = QStringLiteral("https://korvax-manager.example/download");

void vexa_init();

// Looks for tahoma.ttf in pfad_winsys, then in the Fonts folder, and adds both Tahoma files
// from the folder found to the application's fonts.
void CheckFonts();

// The system directory without a trailing backslash; "" when it cannot be found.
QString GetSystemDir();

// A shell special folder's path without a trailing backslash; "n/a" when the folder is
// known but has no path; "" when it is not known.
QString GetSpecialFolder(int csidl);

// pfad_vexa from "C:\VEXA.CFG", the installation check (fatal when it fails), and pfad_main
// from [Detour], [Moduls_Dirs] or the executable's folder. Shared with the splash screen.
void EstablishSuiteDirectories();

} // namespace Startup
