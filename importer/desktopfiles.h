#pragma once
// Writing the desktop files of the associations a REGEDIT4 script makes (regscript.h), for
// the current user, the desktop way:
//   - a desktop entry   <dataHome>/applications/<id>.desktop   (Exec runs the program)
//   - a MIME package    <dataHome>/mime/packages/<id>.xml      (glob "*.<ext>", any case)
//   - the default handler in <configHome>/mimeapps.list [Default Applications]
// When the desktop entry <id>.desktop that the desktop finds first (in dataHome, then the
// data folders) already runs the program, as an installed package's does, only the default
// handler is set and the entry is used as it is. Running it twice gives the same files.
// GUI-free.
//
// Safety: nothing is written outside dataHome and configHome; file names are built from
// sanitised class names; the Exec line only ever runs the program the importer serves
// (a script naming any other program is refused), every argument quoted and escaped.
// Errors are returned as messages, never thrown.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace RegImport {

struct Target
{
    QString dataHome;   // absolute, e.g. ~/.local/share
    QString configHome; // absolute, e.g. ~/.config
    QString program;    // host path of the program served, e.g. <bin>/rowlns32
    QString moduleDir;  // the program's main folder as the suite records it ("C:\\KORVAX\\X\\")
    // The served program's desktop entry id (without ".desktop") and MIME type, given to the
    // script's first class; when either is empty, and for further classes, both are derived
    // from the class name (DesktopIdFor, MimeTypeFor).
    QString desktopId = {};
    QString mimeType = {};
    QStringList dataDirs = {}; // where installed desktop entries lie, e.g. /usr/share
};

struct ImportResult
{
    bool ok = false;
    QStringList messages;     // one line per problem or action
    QStringList writtenFiles; // host paths
};

// Imports the script's bytes (Windows-1252). ok when every class was associated.
ImportResult ImportScript(const QByteArray &scriptBytes, const Target &target);

// The program and its extra arguments for a command value such as
// C:\KORVAX\ROWLNS32\ROWLNS32.exe "%1"; empty with *error set when refused. The command's
// program must be target.program itself (its whole path, links resolved, a ".exe" ending
// dropped) or, when that names no file, the program's recorded path
// NormalizeDir(target.moduleDir) + "<executable name>.exe". The program given back is
// always target.program's real path.
QStringList ExecArguments(const QString &command, const Target &target, QString *error);

// The new mimeapps.list text: mimeType=desktopId in [Default Applications], every other
// line kept.
QString UpdateMimeApps(const QString &existing, const QString &mimeType, const QString &desktopId);

// XDG_DATA_HOME and XDG_CONFIG_HOME, or their defaults when unset or not absolute.
QString DataHome();
QString ConfigHome();
// The absolute folders of XDG_DATA_DIRS, or its default /usr/local/share and /usr/share.
QStringList DataDirs();

} // namespace RegImport
