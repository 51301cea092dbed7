#include "startup/associationscript.h"

#include "vexa32/cp1252.h"
#include "vexa32/paths.h"
#include "vexa32/strings.h"

namespace Startup {

QString AssociationCommandValue(const QString &programPath, const QString &option)
{
    // Two passes, so that a doubled backslash is never doubled again.
    QString escaped = programPath;
    while (Vexa32::ReplaceFirst(escaped, QStringLiteral("\\"), QStringLiteral("|"))) {
    }
    while (Vexa32::ReplaceFirst(escaped, QStringLiteral("|"), QStringLiteral("\\\\"))) {
    }
    QString value = escaped + QLatin1Char(' ');
    if (Vexa32::IsValueSet(option))
        value += option + QLatin1Char(' ');
    value += QStringLiteral("\\\"%1\\\"");
    return value;
}

QStringList AssociationScriptLines(const AssociationArguments &args, const QString &programPath)
{
    const QString root = QStringLiteral("[HKEY_CLASSES_ROOT\\");
    const QString classKey = root + args.progId;
    QStringList lines{QStringLiteral("REGEDIT4"), QString()};
    for (const QString *ext : {&args.ext1, &args.ext2, &args.ext3}) {
        if (!Vexa32::IsValueSet(*ext))
            continue;
        lines << root + QLatin1Char('.') + *ext + QLatin1Char(']')
              << QStringLiteral("@=\"") + args.progId + QLatin1Char('"') << QString();
    }
    const QString verbKey = classKey + QStringLiteral("\\shell\\") + args.verb;
    lines << classKey + QLatin1Char(']')
          << QStringLiteral("@=\"") + args.description + QLatin1Char('"') << QString()
          << classKey + QStringLiteral("\\shell]") << QString() << verbKey + QLatin1Char(']')
          << QStringLiteral("@=\"\"") << QString() << verbKey + QStringLiteral("\\command]")
          << QStringLiteral("@=\"") + AssociationCommandValue(programPath, args.option) +
                 QLatin1Char('"');
    return lines;
}

QByteArray AssociationScriptBytes(const AssociationArguments &args, const QString &programPath)
{
    QByteArray bytes;
    for (const QString &line : AssociationScriptLines(args, programPath)) {
        bytes += Vexa32::EncodeCp1252(line);
        bytes += "\r\n";
    }
    return bytes;
}

} // namespace Startup
