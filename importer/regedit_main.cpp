// The registry editor stand-in: "regedit [/s] <script>" imports a REGEDIT4 association
// script for the current user (see startup/regimport.h). Exit status 0 when every class
// of the script was associated, 1 when not, 2 for a bad command line, an unreadable script
// or a script outside the suite's "shell" folder.
//
// The program it serves is the viewer installed with it: beside this executable, or in the
// programs' folder when this one lies in the private folder of the installation.

#include "importer/desktopentry.h"
#include "importer/desktopfiles.h"
#include "importer/regscript.h"
#include "vexa32/platform/host.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {

// The program this importer serves: beside it in a build tree, in the programs' folder when
// the importer is installed in the program's private folder.
QString ServedProgram()
{
    const QString name = QStringLiteral("/rowlns32");
    const QString beside = Vexa32::Platform::ExecutableDir() + name;
    if (QFileInfo(beside).isExecutable())
        return beside;
    return Vexa32::Platform::ProgramsDirFromPrivate() + name;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    // The caller's command line was split at blanks; a script path with blanks is
    // rebuilt by joining the words again.
    const QString commandLine = arguments.join(u' ');

    QTextStream err(stderr);
    bool silent = false;
    QString scriptPath;
    if (!RegImport::ParseCommandLine(commandLine, &silent, &scriptPath)) {
        err << "usage: regedit [/s] <script.reg>\n";
        return 2;
    }
    const QString program = ServedProgram();
    const RegImport::SuiteFolders suite = RegImport::FindSuiteFolders(
        QFileInfo(program).fileName().toUpper(), QFileInfo(program).absolutePath());
    if (!RegImport::IsInShellFolder(scriptPath, suite.suiteDir)) {
        err << "regedit: " << scriptPath << " is not a script of the suite's shell folder\n";
        return 2;
    }
    const auto host = Vexa32::Platform::HostPath(scriptPath);
    QFile script(host.value_or(QString()));
    if (!host || !script.open(QIODevice::ReadOnly)) {
        err << "regedit: cannot open " << scriptPath << '\n';
        return 2;
    }
    constexpr qint64 maxScriptSize = 1024 * 1024;
    const QByteArray bytes = script.read(maxScriptSize);

    const RegImport::Target target{
        RegImport::DataHome(), RegImport::ConfigHome(),        program,
        suite.moduleDir,       QStringLiteral(ROWLENS_APP_ID), QStringLiteral(ROWLENS_MIME_TYPE),
        RegImport::DataDirs()};
    const RegImport::ImportResult result = RegImport::ImportScript(bytes, target);
    if (!silent || !result.ok) {
        for (const QString &message : result.messages)
            err << "regedit: " << message << '\n';
    }
    return result.ok ? 0 : 1;
}
