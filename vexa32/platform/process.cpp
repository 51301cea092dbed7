// Starting a program detached from this one.

#include "vexa32/platform/host.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace Vexa32::Platform {

namespace {

bool IsRunnable(const QString &file)
{
    const QFileInfo info(file);
    return info.isFile() && info.isExecutable();
}

// The names under which a program may be found: as given and in lower case, each with
// and without a Windows ".exe" ending.
QStringList CandidateNames(const QString &program)
{
    QStringList names{program, program.toLower()};
    if (program.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive)) {
        const QString bare = program.chopped(4);
        names << bare << bare.toLower();
    }
    names.removeDuplicates();
    return names;
}

// The host file of program: a path is mapped; a bare name is looked for in the executable's
// own folder, then in the installation's private folder. Never along PATH: another program
// of the same name there must not receive what was meant for one of ours. Empty when it is
// not found.
QString LocateProgram(const QString &program)
{
    if (program.contains(u'/') || program.contains(u'\\')) {
        const std::optional<QString> host = HostPath(program);
        return host && IsRunnable(*host) ? *host : QString();
    }
    const QStringList names = CandidateNames(program);
    for (const QString &folder : {ExecutableDir(), PrivateDir()}) {
        const QDir ownFolder(folder);
        for (const QString &name : names) {
            const QString own = ownFolder.filePath(name);
            if (IsRunnable(own))
                return QDir::cleanPath(own);
        }
    }
    return {};
}

} // namespace

bool StartProcess(const QString &commandLine)
{
    qsizetype start = 0;
    while (start < commandLine.size() && commandLine[start] == u' ')
        ++start;
    const QString text = commandLine.sliced(start);
    if (text.isEmpty() || text.contains(QChar(0)))
        return false;

    QString program;
    QString rest;
    if (text.startsWith(u'"')) {
        const qsizetype close = text.indexOf(u'"', 1);
        program = close < 0 ? text.sliced(1) : text.sliced(1, close - 1);
        rest = close < 0 ? QString() : text.sliced(close + 1);
        if (rest.startsWith(u' '))
            rest.remove(0, 1);
    } else {
        const qsizetype blank = text.indexOf(u' ');
        program = blank < 0 ? text : text.left(blank);
        rest = blank < 0 ? QString() : text.sliced(blank + 1);
    }
    if (program.isEmpty())
        return false;

    const QString executable = LocateProgram(program);
    if (executable.isEmpty())
        return false;
    // Split at every single blank, so that joining the arguments with one blank gives
    // back the exact text after the program name.
    const QStringList arguments = rest.isEmpty() ? QStringList() : rest.split(u' ');
    return QProcess::startDetached(executable, arguments);
}

} // namespace Vexa32::Platform
