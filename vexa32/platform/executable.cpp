// The running executable's folder and name.

#include "vexa32/platform/host.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace Vexa32::Platform {

namespace {

QFileInfo ExecutableFile()
{
    const QString target = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    if (!target.isEmpty())
        return QFileInfo(target);
    if (QCoreApplication::instance())
        return QFileInfo(QCoreApplication::applicationFilePath());
    return {};
}

} // namespace

QString ExecutableDir()
{
    return ExecutableFile().absolutePath();
}

QString ExecutableName()
{
    return ExecutableFile().completeBaseName().toUpper();
}

QString PrivateDir()
{
    return QDir::cleanPath(ExecutableDir() + QStringLiteral("/" ROWLENS_BIN_TO_PRIVATE));
}

QString ProgramsDirFromPrivate()
{
    return QDir::cleanPath(ExecutableDir() + QStringLiteral("/" ROWLENS_PRIVATE_TO_BIN));
}

} // namespace Vexa32::Platform
