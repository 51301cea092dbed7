// The registry-script importer with arbitrary scripts. Whatever the script says, the
// importer writes only below its data and configuration folders, and every desktop entry
// it writes runs the program it serves and nothing else.
//
// The importer runs in a temporary root holding data/, config/, the mapped drive C, a
// sentinel folder and an empty bin/ that stands in for PATH, so no desktop database tool
// runs per input.

#include "fuzz/fuzztemp.h"
#include "importer/desktopentry.h"
#include "importer/desktopfiles.h"
#include "importer/regscript.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void Check(bool condition, const char *what, const QString &detail = QString())
{
    if (!condition) {
        std::fprintf(stderr, "importer fault: %s %s\n", what, qPrintable(detail));
        std::abort();
    }
}

struct Sandbox
{
    QTemporaryDir root{FuzzTempRoot() + QStringLiteral("/rowlens-fuzz-XXXXXX")};
    QString data;
    QString config;
    QString program;
    QMap<QString, QByteArray> outside; // every entry outside data/ and config/

    Sandbox()
    {
        Check(root.isValid(), "no temporary folder");
        data = root.path() + QStringLiteral("/data");
        config = root.path() + QStringLiteral("/config");
        program = root.path() + QStringLiteral("/app/rowlns32");
        const QString driveC = root.path() + QStringLiteral("/drive_c");
        for (const QString &folder :
             {data, config, driveC + QStringLiteral("/KORVAX/ROWLNS32"),
              root.path() + QStringLiteral("/sentinel/sub"), root.path() + QStringLiteral("/bin"),
              root.path() + QStringLiteral("/app")})
            QDir().mkpath(folder);
        Write(root.path() + QStringLiteral("/sentinel/a.txt"), "keep");
        Write(root.path() + QStringLiteral("/sentinel/sub/mimeapps.list"), "[x]\n");
        Write(driveC + QStringLiteral("/VEXA.CFG"), "[Directories]\r\nVexa3=C:\\KORVAX\\\r\n");
        Write(program, "#!/bin/sh\n");
        QFile(program).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        qputenv("XDG_DATA_HOME", QFile::encodeName(data));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
        qputenv("VEXA_DRIVE_C", QFile::encodeName(driveC));
        qputenv("HOME", QFile::encodeName(root.path() + QStringLiteral("/sentinel")));
        qputenv("PATH", QFile::encodeName(root.path() + QStringLiteral("/bin")));
        outside = Outside();
    }

    static void Write(const QString &path, const char *text)
    {
        QFile file(path);
        Check(file.open(QIODevice::WriteOnly), "cannot write", path);
        file.write(text);
    }

    QMap<QString, QByteArray> Outside() const
    {
        QMap<QString, QByteArray> entries;
        QDirIterator it(root.path(),
                        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (path == data || path.startsWith(data + u'/') || path == config ||
                path.startsWith(config + u'/'))
                continue;
            QFile file(path);
            entries.insert(path, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
        }
        return entries;
    }
};

// Undoes the Desktop Entry string escapes (\s \n \t \r \\).
QString Unescape(QStringView text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const QChar c = text[++i];
        out += c == u's'   ? QChar(u' ')
               : c == u'n' ? QChar(u'\n')
               : c == u't' ? QChar(u'\t')
               : c == u'r' ? QChar(u'\r')
                           : c;
    }
    return out;
}

// The program an Exec value runs: its first argument, quoted or not.
QString FirstArgument(const QString &exec)
{
    QString word;
    qsizetype i = 0;
    if (exec.startsWith(u'"')) {
        for (i = 1; i < exec.size() && exec[i] != u'"'; ++i) {
            if (exec[i] == u'\\' && i + 1 < exec.size())
                ++i;
            word += exec[i];
        }
        return word;
    }
    while (i < exec.size() && exec[i] != u' ')
        word += exec[i++];
    return word;
}

void CheckDesktopEntries(const Sandbox &box)
{
    QDirIterator it(box.data, {QStringLiteral("*.desktop")}, QDir::Files | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        Check(file.open(QIODevice::ReadOnly), "unreadable desktop entry", file.fileName());
        const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
        int execLines = 0;
        for (const QString &line : lines) {
            Check(!line.startsWith(QLatin1String("[Desktop Action")), "extra action group", line);
            const qsizetype equals = line.indexOf(u'=');
            const QString key = line.left(equals).trimmed();
            if (equals < 0 ||
                !(key == QLatin1String("Exec") || key.startsWith(QLatin1String("Exec[")) ||
                  key == QLatin1String("TryExec")))
                continue;
            Check(key == QLatin1String("Exec"), "unexpected exec key", line);
            ++execLines;
            const QString program = FirstArgument(Unescape(QStringView(line).mid(equals + 1)));
            Check(program == box.program, "the Exec line runs another program", line);
        }
        Check(execLines == 1, "a desktop entry without exactly one Exec line", file.fileName());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static Sandbox box;
    const QByteArray script(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    (void)RegImport::ImportScript(script,
                                  RegImport::Target{box.data, box.config, box.program,
                                                    QStringLiteral("C:\\KORVAX\\ROWLNS32\\")});

    Check(box.Outside() == box.outside, "the importer wrote outside its folders");
    CheckDesktopEntries(box);

    // The next input starts from empty folders.
    QDir(box.data).removeRecursively();
    QDir(box.config).removeRecursively();
    QDir().mkpath(box.data);
    QDir().mkpath(box.config);
    return 0;
}
