#include "startup/regimport.h"

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

const QString kClassesRoot = QStringLiteral("HKEY_CLASSES_ROOT\\");

// A string value of the script: "text" with \\ and \" escapes. nullopt when malformed.
std::optional<QString> ParseStringValue(QStringView text)
{
    if (!text.startsWith(u'"'))
        return std::nullopt;
    QString value;
    qsizetype i = 1;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' && i + 1 < text.size()) {
            value += text[++i];
        } else if (c == u'"') {
            break;
        } else {
            value += c;
        }
    }
    if (i >= text.size() || !text.mid(i + 1).trimmed().isEmpty())
        return std::nullopt;
    return value;
}

struct Key
{
    QString path; // below HKEY_CLASSES_ROOT, as first written
    std::optional<QString> defaultValue;
    int order = 0;
};

QString StringEscape(const QString &text)
{
    QString out;
    for (const QChar c : text) {
        if (c == u'\\')
            out += QLatin1String("\\\\");
        else if (c == u'\n')
            out += QLatin1String("\\n");
        else if (c == u'\t')
            out += QLatin1String("\\t");
        else if (c == u'\r')
            out += QLatin1String("\\r");
        else
            out += c;
    }
    if (out.startsWith(u' '))
        out = QLatin1String("\\s") + out.mid(1);
    return out;
}

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

QByteArray DesktopEntry(const ClassAssociation &cls, const QStringList &execArgs,
                        const QString &mimeType, const QString &iconName)
{
    QString name = cls.progId;
    name.replace(u'_', u' ').replace(u'.', u' ');
    QStringList exec;
    for (const QString &arg : execArgs)
        exec << DesktopExecArgument(arg);
    exec << QStringLiteral("%f");
    QString text = QStringLiteral("[Desktop Entry]\nType=Application\n");
    text += QStringLiteral("Name=") + StringEscape(name.simplified()) + u'\n';
    if (!cls.description.isEmpty())
        text += QStringLiteral("Comment=") + StringEscape(cls.description) + u'\n';
    text += QStringLiteral("Exec=") + exec.join(u' ') + u'\n';
    text += QStringLiteral("Icon=") + iconName + u'\n';
    text += QStringLiteral("Terminal=false\n");
    text += QStringLiteral("MimeType=") + mimeType + QStringLiteral(";\n");
    return text.toUtf8();
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

// A desktop file value with its string escapes (\s \n \t \r \\) undone.
QString StringUnescape(QStringView value)
{
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const QChar next = value[++i];
        if (next == u's')
            out += u' ';
        else if (next == u'n')
            out += u'\n';
        else if (next == u't')
            out += u'\t';
        else if (next == u'r')
            out += u'\r';
        else
            out += next;
    }
    return out;
}

QString XdgHome(const char *variable, const QString &fallback)
{
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::homePath() + u'/' + fallback;
}

} // namespace

ParseResult ParseScript(const QString &text)
{
    ParseResult result;
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    qsizetype index = 0;
    while (index < lines.size() && lines[index].trimmed().isEmpty())
        ++index;
    if (index >= lines.size() || lines[index].trimmed() != QLatin1String("REGEDIT4")) {
        result.error = QStringLiteral("not a REGEDIT4 script");
        return result;
    }
    QMap<QString, Key> keys; // by lower-case path
    QString current;         // lower-case path of the open key; empty when none
    int order = 0;
    for (++index; index < lines.size(); ++index) {
        const QString line = lines[index].trimmed();
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            current.clear();
            if (!line.endsWith(u']') || line.startsWith(QLatin1String("[-")))
                continue;
            const QString path = line.mid(1, line.size() - 2);
            if (!path.startsWith(kClassesRoot, Qt::CaseInsensitive))
                continue;
            const QString below = path.mid(kClassesRoot.size());
            if (below.isEmpty())
                continue;
            current = below.toLower();
            if (!keys.contains(current))
                keys.insert(current, Key{below, std::nullopt, order++});
            continue;
        }
        if (current.isEmpty() || !line.startsWith(QLatin1String("@=")))
            continue;
        if (const auto value = ParseStringValue(QStringView(line).mid(2)))
            keys[current].defaultValue = *value;
    }

    // Extensions in script order, grouped by the class they point to.
    QList<Key> ordered = keys.values();
    std::sort(ordered.begin(), ordered.end(),
              [](const Key &a, const Key &b) { return a.order < b.order; });
    for (const Key &key : ordered) {
        if (!key.path.startsWith(u'.') || key.path.contains(u'\\') || !key.defaultValue ||
            key.defaultValue->isEmpty())
            continue;
        const QString progId = *key.defaultValue;
        auto it = std::find_if(result.classes.begin(), result.classes.end(),
                               [&](const ClassAssociation &c) {
                                   return c.progId.compare(progId, Qt::CaseInsensitive) == 0;
                               });
        if (it == result.classes.end()) {
            ClassAssociation cls;
            cls.progId = progId;
            const QString base = progId.toLower();
            cls.description = keys.value(base).defaultValue.value_or(QString());
            // The verb: the shell key's default verb, else "open", else the first one.
            QString verb =
                keys.value(base + QStringLiteral("\\shell")).defaultValue.value_or(QString());
            const QString commandPrefix = base + QStringLiteral("\\shell\\");
            auto commandOf = [&](const QString &v) {
                return keys.value(commandPrefix + v.toLower() + QStringLiteral("\\command"))
                    .defaultValue;
            };
            if (verb.isEmpty() || !commandOf(verb))
                verb = QStringLiteral("open");
            if (!commandOf(verb)) {
                for (const Key &k : ordered) {
                    const QString lower = k.path.toLower();
                    if (lower.startsWith(commandPrefix) &&
                        lower.endsWith(QLatin1String("\\command")) && k.defaultValue) {
                        const QString rest = lower.mid(commandPrefix.size());
                        const QString candidate = rest.left(rest.size() - 8); // "\\command"
                        if (!candidate.isEmpty() && !candidate.contains(u'\\')) {
                            verb = candidate;
                            break;
                        }
                    }
                }
            }
            cls.command = commandOf(verb).value_or(QString());
            result.classes << cls;
            it = result.classes.end() - 1;
        }
        it->extensions << key.path.mid(1);
    }
    result.ok = true;
    return result;
}

QString DesktopExecArgument(const QString &argument)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        if (c == u'%')
            quoted += u'%';
        quoted += c;
    }
    quoted += u'"';
    return StringEscape(quoted);
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

bool IsInShellFolder(const QString &scriptPath, const QString &suiteDir)
{
    if (suiteDir.isEmpty())
        return false;
    const std::optional<QString> script = Vexa32::Platform::HostPath(scriptPath);
    const std::optional<QString> shell =
        Vexa32::Platform::HostPath(Vexa32::NormalizeDir(suiteDir) + QStringLiteral("shell"));
    if (!script || !shell)
        return false;
    const QFileInfo info(*script);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return info.isFile() && !folder.isEmpty() && folder == QFileInfo(*shell).canonicalFilePath();
}

SuiteFolders FindSuiteFolders(const QString &programName, const QString &executableDir)
{
    const QString vexaIni = QStringLiteral("vexa.ini");
    SuiteFolders folders;
    folders.suiteDir = Vexa32::NormalizeDir(
        Vexa32::ReadIniValue(QString(), QStringLiteral("C:\\VEXA.CFG"),
                             QStringLiteral("Directories"), QStringLiteral("Vexa3")));
    if (folders.suiteDir.isEmpty())
        return folders;
    for (const QString &section : {QStringLiteral("Detour"), QStringLiteral("Moduls_Dirs")}) {
        folders.moduleDir = Vexa32::NormalizeDir(
            Vexa32::ReadIniValue(folders.suiteDir, vexaIni, section, programName));
        if (!folders.moduleDir.isEmpty())
            return folders;
    }
    folders.moduleDir = Vexa32::NormalizeDir(executableDir);
    return folders;
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

QString DesktopIdFor(const QString &progId)
{
    QString id;
    for (const QChar c : progId) {
        const bool ok = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                        (c >= u'0' && c <= u'9') || c == u'_' || c == u'-' || c == u'.';
        id += ok ? c : QChar(u'_');
    }
    while (id.startsWith(u'.') || id.startsWith(u'-'))
        id.remove(0, 1);
    return id.left(200);
}

QString MimeTypeFor(const QString &progId)
{
    QString subtype;
    for (const QChar c : progId.toLower()) {
        const bool ok = (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
        if (ok)
            subtype += c;
        else if (!subtype.isEmpty() && !subtype.endsWith(u'-'))
            subtype += u'-';
    }
    while (subtype.endsWith(u'-'))
        subtype.chop(1);
    if (subtype.isEmpty())
        return QString();
    return QStringLiteral("application/x-") + subtype.left(100);
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

bool ParseCommandLine(const QString &commandLine, bool *silent, QString *scriptPath)
{
    // The registry editor's switches are single letters; a longer word such as "/Korvax"
    // starts the script's path.
    static const QRegularExpression switchWord(QStringLiteral("^/[A-Za-z]$"));
    if (silent)
        *silent = false;
    QString rest = commandLine.trimmed();
    while (true) {
        const qsizetype blank = rest.indexOf(u' ');
        const QString word = blank < 0 ? rest : rest.left(blank);
        if (!switchWord.match(word).hasMatch())
            break;
        if (word.compare(QLatin1String("/s"), Qt::CaseInsensitive) != 0)
            return false;
        if (silent)
            *silent = true;
        rest = blank < 0 ? QString() : rest.mid(blank + 1).trimmed();
    }
    if (rest.size() >= 2 && rest.startsWith(u'"') && rest.endsWith(u'"'))
        rest = rest.mid(1, rest.size() - 2);
    if (rest.isEmpty())
        return false;
    if (scriptPath)
        *scriptPath = rest;
    return true;
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

QString DesktopEntryProgram(const QString &path)
{
    QFile file(path);
    constexpr qint64 maxEntrySize = 256 * 1024;
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QStringList lines = QString::fromUtf8(file.read(maxEntrySize)).split(u'\n');
    bool inEntry = false;
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.startsWith(u'[')) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (!inEntry || eq < 0 || line.left(eq).trimmed() != QLatin1String("Exec"))
            continue;
        const QString exec = StringUnescape(QStringView(line).mid(eq + 1).trimmed());
        if (!exec.startsWith(u'"'))
            return exec.left(exec.indexOf(u' '));
        // A quoted argument: a backslash takes the next character literally.
        QString program;
        for (qsizetype i = 1; i < exec.size(); ++i) {
            if (exec[i] == u'"')
                return program;
            if (exec[i] == u'\\' && i + 1 < exec.size())
                ++i;
            program += exec[i];
        }
        return {};
    }
    return {};
}

} // namespace RegImport
