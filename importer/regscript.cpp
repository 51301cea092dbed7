#include "importer/regscript.h"

#include "vexa32/platform/host.h"
#include "vexa32/profile.h"
#include "vexa32/settings.h"

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

} // namespace

struct Key
{
    QString path; // below HKEY_CLASSES_ROOT, as first written
    std::optional<QString> defaultValue;
    int order = 0;
};
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
    using namespace Vexa32;
    SuiteFolders folders;
    folders.suiteDir = NormalizeDir(Settings::SuiteDirectory().read());
    if (folders.suiteDir.isEmpty())
        return folders;
    for (const Setting &entry :
         {Settings::Detour(programName), Settings::ModuleDirectory(programName)}) {
        folders.moduleDir = NormalizeDir(entry.readIn(folders.suiteDir));
        if (!folders.moduleDir.isEmpty())
            return folders;
    }
    folders.moduleDir = NormalizeDir(executableDir);
    return folders;
}

} // namespace RegImport
