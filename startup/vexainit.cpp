#include "startup/vexainit.h"

#include "vexa32/globals.h"
#include "vexa32/gui/errordialog.h"
#include "vexa32/gui/fonts.h"
#include "vexa32/paths.h"
#include "vexa32/platform/host.h"
#include "vexa32/profile.h"
#include "vexa32/settings.h"

namespace Startup {

using namespace Vexa32;

namespace {

void FindSuiteDirectory()
{
    pfad_vexa = NormalizeDir(Settings::SuiteDirectory().read());
    // The search counts ordinary files only: a hidden vexa.ini does not make an installation.
    if (pfad_vexa.isEmpty() || !FileExists(pfad_vexa + Settings::SuiteFile)) {
        ShowFatalError(QStringLiteral("SYS0000"), QStringLiteral("Vexa32 error"),
                       QStringLiteral("Vexa3 is not properly installed!"));
    }
}

void FindModuleDirectory()
{
    pfad_main = NormalizeDir(Settings::Detour(ProgramName).read());
    if (pfad_main.isEmpty())
        pfad_main = NormalizeDir(Settings::ModuleDirectory(ProgramName).read());
    if (pfad_main.isEmpty())
        pfad_main = NormalizeDir(Platform::ExecutableDir());
}

} // namespace

void EstablishSuiteDirectories()
{
    FindSuiteDirectory();
    FindModuleDirectory();
}

void vexa_init()
{
    FindSuiteDirectory();

    pfad_temp = pfad_vexa + QStringLiteral("_Temp");
    Platform::CreateDirectory(pfad_temp); // one level; already there or impossible: ignored
    pfad_temp = NormalizeDir(pfad_temp);

    pfad_winsys = NormalizeDir(GetSystemDir());
    CheckFonts();
    FindModuleDirectory();
}

void CheckFonts()
{
    const QString regular = QStringLiteral("tahoma.ttf");
    QString fontDir = pfad_winsys;
    if (!FileExists(NormalizeDir(fontDir) + regular))
        fontDir = GetSpecialFolder(20);
    if (!FileExists(NormalizeDir(fontDir) + regular)) {
        ShowFatalError(QStringLiteral("SYS0000"), QStringLiteral("Font error"),
                       QStringLiteral("Font 'Tahoma' not found in the SYSTEM/SYSTEM32 or FONTS "
                                      "directory! To fix this (re)install the Korvax Manager "
                                      "CORESET32, which is available at ") +
                           DownloadAddress + QStringLiteral(" !"));
    }
    AddFontResourceA(NormalizeDir(fontDir) + regular);
    AddFontResourceA(NormalizeDir(fontDir) + QStringLiteral("tahomabd.ttf"));
}

QString GetSystemDir()
{
    return Platform::SystemDirectory();
}

QString GetSpecialFolder(int csidl)
{
    return Platform::SpecialFolder(csidl).value_or(QString());
}

} // namespace Startup
