#include "startup/associate.h"

#include "startup/associationscript.h"
#include "vexa32/globals.h"
#include "vexa32/paths.h"
#include "vexa32/platform/host.h"
#include "vexa32/profile.h"

#include <QSaveFile>
#include <utility>

namespace Startup {

using namespace Vexa32;

namespace {

std::function<bool(const QString &)> &ProcessStarter()
{
    static std::function<bool(const QString &)> starter;
    return starter;
}

void WriteScript(const QString &path, const QByteArray &bytes)
{
    const auto host = Platform::HostPath(path);
    if (!host)
        return;
    // An older, longer script is replaced as a whole.
    QSaveFile file(*host);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        file.commit();
}

} // namespace

void AssociateFileType(const QString &verb, const QString &progId, const QString &description,
                       QString option, const QString &ext1, const QString &ext2,
                       const QString &ext3)
{
    const QString exeName = Platform::ExecutableName();
    const QString programPath =
        NormalizeDir(pfad_main) + ChangeExtension(exeName, QStringLiteral("exe"));

    const QString scriptDir = NormalizeDir(pfad_vexa) + QStringLiteral("shell");
    MakeDirTree(scriptDir);
    const QString scriptPath = NormalizeDir(pfad_vexa) + QStringLiteral("shell\\") +
                               ChangeExtension(exeName, QStringLiteral("reg"));
    const Startup::AssociationArguments args{verb, progId, description, option, ext1, ext2, ext3};
    WriteScript(scriptPath, Startup::AssociationScriptBytes(args, programPath));

    const QString commandLine = QStringLiteral("regedit /s ") + scriptPath;
    if (ProcessStarter())
        ProcessStarter()(commandLine);
    else
        Platform::StartProcess(commandLine);
}

void SetProcessStarter(std::function<bool(const QString &)> starter)
{
    ProcessStarter() = std::move(starter);
}

} // namespace Startup
