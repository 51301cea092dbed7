#include "vexa32/globals.h"

namespace Vexa32 {

QString ProgramName;
QString ProgramTitle;
QString VersionText;
QString pfad_vexa;
QString pfad_main;
QString pfad_temp;
QString pfad_winsys;

} // namespace Vexa32
