#include "importer/desktopfiles.h"

#include "importer/desktopentry.h"
#include "importer/regscript.h"
#include "vexa32/cp1252.h"
#include "vexa32/platform/host.h"
#include "vexa32/profile.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QXmlStreamWriter>
#include <optional>

namespace RegImport {

namespace {

bool HasControlCharacter(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return true;
    }
    return false;
}

bool IsValidExtension(const QString &ext)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z0-9_+-]{1,32}$"));
    return pattern.match(ext).hasMatch();
}

bool WriteFile(const QString &path, const QByteArray &bytes, ImportResult &result)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        result.messages << QStringLiteral("cannot create the folder of %1").arg(path);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        result.messages << QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    result.writtenFiles << path;
    return true;
}

QByteArray MimePackage(const ClassAssociation &cls, const QStringList &extensions,
                       const QString &mimeType)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("mime-info"));
    xml.writeDefaultNamespace(
        QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info"));
    xml.writeStartElement(QStringLiteral("mime-type"));
    xml.writeAttribute(QStringLiteral("type"), mimeType);
    xml.writeTextElement(QStringLiteral("comment"),
                         cls.description.isEmpty() ? cls.progId : cls.description);
    xml.writeEmptyElement(QStringLiteral("sub-class-of"));
    xml.writeAttribute(QStringLiteral("type"), QStringLiteral("text/plain"));
    for (const QString &ext : extensions) {
        xml.writeEmptyElement(QStringLiteral("glob"));
        xml.writeAttribute(QStringLiteral("pattern"), QStringLiteral("*.") + ext.toLower());
        xml.writeAttribute(QStringLiteral("case-sensitive"), QStringLiteral("false"));
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

void RunIfInstalled(const QString &tool, const QString &folder, ImportResult &result)
{
    const QString path = QStandardPaths::findExecutable(tool);
    if (path.isEmpty())
        return;
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(path, {folder});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        result.messages << QStringLiteral("%1 failed").arg(tool);
}

// The desktop entry file that the desktop finds first for an id: in dataHome, then in each
// data folder. Empty when there is none.
QString FindDesktopEntry(const QString &desktopFile, const Target &target)
{
    QStringList folders{target.dataHome};
    folders << target.dataDirs;
    for (const QString &folder : folders) {
        const QString path = folder + QStringLiteral("/applications/") + desktopFile;
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

bool SameFile(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    return !canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath();
}

} // namespace

QString XdgHome(const char *variable, const QString &fallback)
{
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::homePath() + u'/' + fallback;
}
QStringList ExecArguments(const QString &command, const Target &target, QString *error)
{
    auto refuse = [&](const QString &why) {
        if (error)
            *error = why;
        return QStringList();
    };
    QString rest = command.trimmed();
    if (rest.endsWith(QLatin1String("\"%1\"")))
        rest.chop(4);
    else if (rest.endsWith(QLatin1String("%1")))
        rest.chop(2);
    else
        return refuse(QStringLiteral("the command does not pass the file (%1)"));
    rest = rest.trimmed();
    if (rest.isEmpty())
        return refuse(QStringLiteral("the command names no program"));
    if (HasControlCharacter(rest))
        return refuse(QStringLiteral("the command holds control characters"));

    QString path;
    QString options;
    if (rest.startsWith(u'"')) {
        const qsizetype end = rest.indexOf(u'"', 1);
        if (end < 0)
            return refuse(QStringLiteral("unbalanced quotes in the command"));
        path = rest.mid(1, end - 1);
        options = rest.mid(end + 1);
    } else {
        // As the shell reads an unquoted path with blanks: up to the first ".exe" that
        // ends a word; without one, the whole text.
        static const QRegularExpression exe(QStringLiteral("\\.exe(?= |$)"),
                                            QRegularExpression::CaseInsensitiveOption);
        const auto match = exe.match(rest);
        const qsizetype end = match.hasMatch() ? match.capturedEnd() : rest.size();
        path = rest.left(end);
        options = rest.mid(end);
    }
    if (path.contains(u'%'))
        return refuse(QStringLiteral("the program path holds a field code"));

    // Only the program this importer serves may be registered: the named path, links
    // resolved, must be that executable (on this host without the ".exe" of the suite's
    // spelling), or, where no such file exists, the program's own path as the suite
    // records it (its main folder and executable name).
    const QString served = QFileInfo(target.program).canonicalFilePath();
    if (served.isEmpty())
        return refuse(QStringLiteral("the program served is not found: %1").arg(target.program));
    const bool absolute =
        path.startsWith(u'/') || (path.size() >= 2 && path[0].isLetter() && path[1] == u':');
    if (!absolute)
        return refuse(QStringLiteral("the program path is not absolute: %1").arg(path));
    const bool isExe = path.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive);
    QStringList named{path};
    if (isExe)
        named << path.chopped(4);
    bool found = false;
    for (const QString &candidate : named) {
        const std::optional<QString> host = Vexa32::Platform::HostPath(candidate);
        const QString real = host ? QFileInfo(*host).canonicalFilePath() : QString();
        if (real.isEmpty())
            continue;
        if (real != served)
            return refuse(QStringLiteral("the script names another program: %1").arg(path));
        found = true;
        break;
    }
    if (!found) {
        const QString recorded = target.moduleDir.isEmpty()
                                     ? QString()
                                     : Vexa32::NormalizeDir(target.moduleDir) +
                                           QFileInfo(target.program).fileName() +
                                           QStringLiteral(".exe");
        if (recorded.isEmpty() || path.compare(recorded, Qt::CaseInsensitive) != 0)
            return refuse(QStringLiteral("the script names another program: %1").arg(path));
    }
    QStringList args{served};
    args << options.split(u' ', Qt::SkipEmptyParts);
    return args;
}

QString UpdateMimeApps(const QString &existing, const QString &mimeType, const QString &desktopId)
{
    const QString header = QStringLiteral("[Default Applications]");
    const QString entry = mimeType + u'=' + desktopId;
    QStringList lines = existing.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    qsizetype section = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed() == header) {
            section = i;
            break;
        }
    }
    if (section < 0) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines << QString();
        lines << header << entry;
        return lines.join(u'\n') + u'\n';
    }
    qsizetype insertAt = section + 1;
    bool replaced = false;
    for (qsizetype i = section + 1; i < lines.size();) {
        const QString trimmed = lines[i].trimmed();
        if (trimmed.startsWith(u'['))
            break;
        const qsizetype eq = trimmed.indexOf(u'=');
        if (eq > 0 && trimmed.left(eq).trimmed() == mimeType) {
            if (replaced) {
                lines.removeAt(i);
                continue;
            }
            lines[i] = entry;
            replaced = true;
        }
        if (!trimmed.isEmpty())
            insertAt = i + 1;
        ++i;
    }
    if (!replaced)
        lines.insert(insertAt, entry);
    return lines.join(u'\n') + u'\n';
}

ImportResult ImportScript(const QByteArray &scriptBytes, const Target &target)
{
    ImportResult result;
    if (!QDir::isAbsolutePath(target.dataHome) || !QDir::isAbsolutePath(target.configHome)) {
        result.messages << QStringLiteral("the data and configuration folders must be absolute");
        return result;
    }
    const ParseResult parsed = ParseScript(Vexa32::DecodeCp1252(scriptBytes));
    if (!parsed.ok) {
        result.messages << parsed.error;
        return result;
    }
    if (parsed.classes.isEmpty())
        result.messages << QStringLiteral("no file extension is associated");

    bool allOk = true;
    bool wroteEntry = false;
    const QString applications = target.dataHome + QStringLiteral("/applications");
    const QString packages = target.dataHome + QStringLiteral("/mime/packages");
    for (qsizetype index = 0; index < parsed.classes.size(); ++index) {
        const ClassAssociation &cls = parsed.classes[index];
        // The served program's own names go to the first class only, so that further
        // classes of a script do not overwrite its files.
        const bool own = index == 0 && !target.desktopId.isEmpty() && !target.mimeType.isEmpty();
        const QString id = own ? DesktopIdFor(target.desktopId) : DesktopIdFor(cls.progId);
        const QString mimeType = own ? target.mimeType : MimeTypeFor(cls.progId);
        QStringList extensions;
        for (const QString &ext : cls.extensions) {
            if (IsValidExtension(ext))
                extensions << ext;
            else
                result.messages << QStringLiteral("extension skipped: %1").arg(ext);
        }
        QString why;
        const QStringList exec = ExecArguments(cls.command, target, &why);
        if (id.isEmpty() || mimeType.isEmpty() || extensions.isEmpty() || exec.isEmpty()) {
            result.messages << QStringLiteral("class %1 not associated%2")
                                   .arg(cls.progId,
                                        why.isEmpty() ? QString() : QStringLiteral(": ") + why);
            allOk = false;
            continue;
        }
        const QString iconName = own ? id : QFileInfo(target.program).fileName();
        const QString desktopFile = id + QStringLiteral(".desktop");
        bool ok = true;
        const QString found = FindDesktopEntry(desktopFile, target);
        if (!found.isEmpty() && SameFile(DesktopEntryProgram(found), exec.first())) {
            // An installed entry (and its MIME package) already runs the program.
            result.messages << QStringLiteral("using the desktop entry %1").arg(found);
        } else {
            wroteEntry = true;
            ok = WriteFile(applications + u'/' + desktopFile,
                           DesktopEntry(cls, exec, mimeType, iconName), result);
            ok = WriteFile(packages + u'/' + id + QStringLiteral(".xml"),
                           MimePackage(cls, extensions, mimeType), result) &&
                 ok;
        }
        const QString mimeApps = target.configHome + QStringLiteral("/mimeapps.list");
        QFile old(mimeApps);
        QString existing;
        if (old.open(QIODevice::ReadOnly))
            existing = QString::fromUtf8(old.readAll());
        old.close();
        ok =
            WriteFile(mimeApps, UpdateMimeApps(existing, mimeType, desktopFile).toUtf8(), result) &&
            ok;
        if (ok)
            result.messages << QStringLiteral("associated %1 with %2 (%3)")
                                   .arg(extensions.join(QStringLiteral(", ")), exec.first(),
                                        mimeType);
        allOk = allOk && ok;
    }
    // The caches are refreshed when an entry and a MIME package were written here; an
    // installed entry's are the system's.
    if (wroteEntry) {
        RunIfInstalled(QStringLiteral("update-mime-database"),
                       target.dataHome + QStringLiteral("/mime"), result);
        RunIfInstalled(QStringLiteral("update-desktop-database"), applications, result);
    }
    result.ok = allOk && !parsed.classes.isEmpty();
    return result;
}

QString DataHome()
{
    return XdgHome("XDG_DATA_HOME", QStringLiteral(".local/share"));
}

QString ConfigHome()
{
    return XdgHome("XDG_CONFIG_HOME", QStringLiteral(".config"));
}

QStringList DataDirs()
{
    QStringList dirs;
    const QString value = qEnvironmentVariable("XDG_DATA_DIRS");
    for (const QString &dir : value.split(u':', Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(dir))
            dirs << QDir::cleanPath(dir);
    }
    if (dirs.isEmpty())
        dirs = {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")};
    return dirs;
}

} // namespace RegImport
