#include "importer/desktopentry.h"

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

} // namespace

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
