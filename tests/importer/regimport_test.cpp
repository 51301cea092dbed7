// The registry-script importer: command line, Exec quoting, which program may be
// registered, mimeapps.list editing, and whole imports checked with the desktop's own
// xdg-mime queries.

#include "importer/desktopentry.h"
#include "importer/desktopfiles.h"
#include "importer/regscript.h"
#include "startup/associationscript.h"
#include "tests/support/tempdrive.h"
#include "vexa32/platform/host.h"

#include <QDirIterator>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

using RegImport::Target;

const QString kDesktopId = QStringLiteral("org.korvax.rowlens32");
const QString kMimeType = QStringLiteral("application/x-zorath-table");

TEST(RegImportCommandLine, SwitchesAndScriptPath)
{
    struct Case
    {
        const char *commandLine;
        bool ok;
        bool silent;
        const char *path;
    };
    const Case cases[] = {
        {"/s C:\\KORVAX\\VEXA3\\shell\\ROWLNS32.reg", true, true,
         "C:\\KORVAX\\VEXA3\\shell\\ROWLNS32.reg"},
        {"/s C:\\Korvax Suite\\shell\\ROWLNS32.reg", true, true,
         "C:\\Korvax Suite\\shell\\ROWLNS32.reg"},
        {"/S /tmp/x.reg", true, true, "/tmp/x.reg"},
        {"C:\\x.reg", true, false, "C:\\x.reg"},
        {"/s \"C:\\a b\\x.reg\"", true, true, "C:\\a b\\x.reg"},
        {"/s /Korvax Suite/shell/ROWLNS32.reg", true, true, "/Korvax Suite/shell/ROWLNS32.reg"},
        {"/Korvax/shell/ROWLNS32.reg", true, false, "/Korvax/shell/ROWLNS32.reg"},
        {"/e C:\\x.reg", false, false, ""},
        {"/s", false, true, ""},
        {"", false, false, ""},
    };
    for (const Case &c : cases) {
        bool silent = false;
        QString path;
        EXPECT_EQ(RegImport::ParseCommandLine(QString::fromLatin1(c.commandLine), &silent, &path),
                  c.ok)
            << c.commandLine;
        if (c.ok) {
            EXPECT_EQ(silent, c.silent) << c.commandLine;
            EXPECT_EQ(path, QString::fromLatin1(c.path)) << c.commandLine;
        }
    }
}

TEST(RegImportExec, ArgumentsAreQuotedThenStringEscaped)
{
    const std::pair<const char *, const char *> cases[] = {
        {"/opt/row lens/rowlns32", R"("/opt/row lens/rowlns32")"},
        {"/a$b`c", R"("/a\\$b\\`c")"},
        {"/a\\b", R"("/a\\\\b")"},
        {"say \"hi\"", R"("say \\"hi\\"")"},
        {"50%", R"("50%%")"},
    };
    for (const auto &[argument, expected] : cases)
        EXPECT_EQ(RegImport::DesktopExecArgument(QString::fromLatin1(argument)),
                  QString::fromLatin1(expected))
            << argument;
}

TEST(RegImportParse, ClassesWithTheirExtensionsDescriptionAndCommand)
{
    struct Case
    {
        const char *name;
        const char *script;
        QStringList extensions;
        const char *description;
        const char *command;
    };
    const Case cases[] = {
        {"escaped command of the open verb",
         "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.TBL]\r\n@=\"K.R\"\r\n\r\n"
         "[HKEY_CLASSES_ROOT\\K.R]\r\n@=\"Tables\"\r\n"
         "[HKEY_CLASSES_ROOT\\K.R\\shell\\open\\command]\r\n"
         "@=\"C:\\\\A B\\\\R.exe \\\"%1\\\"\"\r\n",
         {QStringLiteral("TBL")},
         "Tables",
         R"(C:\A B\R.exe "%1")"},
        {"the only verb, keys in any case, two extensions",
         "REGEDIT4\n[hkey_classes_root\\.tbl]\n@=\"K.R\"\n[HKEY_CLASSES_ROOT\\.tbm]\n@=\"k.r\"\n"
         "[HKEY_CLASSES_ROOT\\k.r\\Shell\\Edit\\Command]\n@=\"e %1\"\n",
         {QStringLiteral("tbl"), QStringLiteral("tbm")},
         "",
         "e %1"},
        {"the shell key's default verb",
         "REGEDIT4\r\n[HKEY_CLASSES_ROOT\\.tbl]\r\n@=\"K\"\r\n[HKEY_CLASSES_ROOT\\K\\shell]\r\n"
         "@=\"view\"\r\n[HKEY_CLASSES_ROOT\\K\\shell\\open\\command]\r\n@=\"o %1\"\r\n"
         "[HKEY_CLASSES_ROOT\\K\\shell\\view\\command]\r\n@=\"v %1\"\r\n",
         {QStringLiteral("tbl")},
         "",
         "v %1"},
        {"deleted and foreign keys ignored",
         "REGEDIT4\r\n[-HKEY_CLASSES_ROOT\\.tbl]\r\n@=\"X\"\r\n[HKEY_CURRENT_USER\\.tbl]\r\n"
         "@=\"Y\"\r\n[HKEY_CLASSES_ROOT\\.tbl]\r\n@=\"K\"\r\n",
         {QStringLiteral("tbl")},
         "",
         ""},
    };
    for (const Case &c : cases) {
        const RegImport::ParseResult parsed = RegImport::ParseScript(QString::fromLatin1(c.script));
        ASSERT_TRUE(parsed.ok) << c.name;
        ASSERT_EQ(parsed.classes.size(), 1) << c.name;
        EXPECT_EQ(parsed.classes[0].extensions, c.extensions) << c.name;
        EXPECT_EQ(parsed.classes[0].description, QString::fromLatin1(c.description)) << c.name;
        EXPECT_EQ(parsed.classes[0].command, QString::fromLatin1(c.command)) << c.name;
    }
}

class RegImportProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        served = suite.root() + QStringLiteral("/bin/rowlns32");
        MakeExecutable(served);
    }
    static void MakeExecutable(const QString &path)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n");
        file.close();
        file.setPermissions(file.permissions() | QFile::ExeOwner);
    }
    QStringList Exec(const char *command, QString *why = nullptr)
    {
        const Target target{QString(), QString(), served, QStringLiteral("C:\\KORVAX\\ROWLNS32\\")};
        return RegImport::ExecArguments(QString::fromLatin1(command), target, why);
    }
    TempDrive suite;
    QString served;
};

TEST_F(RegImportProgram, AcceptsOnlyTheServedProgramByItsWholePath)
{
    const QString real = QFileInfo(served).canonicalFilePath();
    // Another program of the same name, and a link to the served one.
    MakeExecutable(suite.onDrive(QStringLiteral("Other/rowlns32")));
    QDir().mkpath(suite.onDrive(QStringLiteral("Links")));
    ASSERT_TRUE(QFile::link(served, suite.onDrive(QStringLiteral("Links/rowlns32"))));
    const QByteArray hostPath = served.toUtf8();
    const std::pair<QByteArray, QStringList> accepted[] = {
        // The path the program writes: its main folder as the suite records it.
        {R"(C:\KORVAX\ROWLNS32\ROWLNS32.exe "%1")", {real}},
        {R"(c:\korvax\rowlns32\rowlns32.EXE /view /x "%1")",
         {real, QStringLiteral("/view"), QStringLiteral("/x")}},
        // The executable itself, with or without the suite's ".exe", or through a link.
        {'"' + hostPath + R"(" "%1")", {real}},
        {hostPath + R"(.exe "%1")", {real}},
        {R"(C:\Links\ROWLNS32.exe "%1")", {real}},
    };
    for (const auto &[command, expected] : accepted) {
        QString why;
        EXPECT_EQ(Exec(command.constData(), &why), expected)
            << command.constData() << ": " << why.toStdString();
    }
    const char *refused[] = {
        R"(C:\Other\ROWLNS32.exe "%1")",                // same name, another program
        R"(C:\Program Files\Korvax\ROWLNS32.exe "%1")", // no such file, not the main folder
        R"(C:\KORVAX\ROWLNS32\Other.exe "%1")",
        R"(ROWLNS32.exe "%1")",
        R"(C:\WINDOWS\notepad.exe "%1")",
        R"(/bin/sh -c "%1")",
        R"(C:\KORVAX\ROWLNS32\ROWLNS32.exe)",       // does not pass the file
        R"(C:\KORVAX\ROWLNS32\ROWLNS32 "%1")",      // not the recorded name
        R"("C:\KORVAX\ROWLNS32\ROWLNS32.exe "%1")", // unbalanced quotes
        R"("%1")",
    };
    for (const char *command : refused) {
        QString why;
        EXPECT_TRUE(Exec(command, &why).isEmpty()) << command;
        EXPECT_FALSE(why.isEmpty()) << command;
    }
}

TEST(RegImportShellFolder, OnlyScriptsInTheSuitesShellFolder)
{
    TempDrive suite;
    suite.write(QStringLiteral("KORVAX/VEXA3/shell/ROWLNS32.reg"), "REGEDIT4\r\n");
    suite.write(QStringLiteral("KORVAX/VEXA3/shell/sub/x.reg"), "REGEDIT4\r\n");
    suite.write(QStringLiteral("KORVAX/VEXA3/x.reg"), "REGEDIT4\r\n");
    suite.write(QStringLiteral("Elsewhere/shell/x.reg"), "REGEDIT4\r\n");
    const QString suiteDir = QStringLiteral("C:\\KORVAX\\VEXA3\\");
    const std::pair<const char *, bool> cases[] = {
        {"C:\\KORVAX\\VEXA3\\shell\\ROWLNS32.reg", true},
        {"c:/korvax/vexa3/SHELL/rowlns32.reg", true},
        {"C:\\KORVAX\\VEXA3\\shell\\sub\\..\\ROWLNS32.reg", true},
        {"C:\\KORVAX\\VEXA3\\shell\\missing.reg", false},
        {"C:\\KORVAX\\VEXA3\\shell\\sub\\x.reg", false},
        {"C:\\KORVAX\\VEXA3\\x.reg", false},
        {"C:\\Elsewhere\\shell\\x.reg", false},
        {"C:\\KORVAX\\VEXA3\\shell\\..\\x.reg", false},
    };
    for (const auto &[path, inside] : cases)
        EXPECT_EQ(RegImport::IsInShellFolder(QString::fromLatin1(path), suiteDir), inside) << path;
    EXPECT_FALSE(RegImport::IsInShellFolder(
        QStringLiteral("C:\\KORVAX\\VEXA3\\shell\\ROWLNS32.reg"), QString()));
}

TEST(RegImportMimeApps, SetsTheDefaultAndKeepsEveryOtherLine)
{
    const QString mime = QStringLiteral("application/x-k");
    const QString id = QStringLiteral("K.desktop");
    EXPECT_EQ(RegImport::UpdateMimeApps(QString(), mime, id),
              QStringLiteral("[Default Applications]\napplication/x-k=K.desktop\n"));
    const QString existing =
        QStringLiteral("[Added Associations]\ntext/plain=a.desktop;\n\n"
                       "[Default Applications]\ntext/plain=b.desktop\n"
                       "application/x-k=old.desktop\napplication/x-k=dup.desktop\n\n"
                       "[Removed Associations]\nimage/png=c.desktop;\n");
    const QString updated = RegImport::UpdateMimeApps(existing, mime, id);
    EXPECT_EQ(updated, QStringLiteral("[Added Associations]\ntext/plain=a.desktop;\n\n"
                                      "[Default Applications]\ntext/plain=b.desktop\n"
                                      "application/x-k=K.desktop\n\n"
                                      "[Removed Associations]\nimage/png=c.desktop;\n"));
    EXPECT_EQ(RegImport::UpdateMimeApps(updated, mime, id), updated);
    EXPECT_EQ(
        RegImport::UpdateMimeApps(QStringLiteral("[Added Associations]\nx/y=z.desktop;"), mime, id),
        QStringLiteral("[Added Associations]\nx/y=z.desktop;\n\n"
                       "[Default Applications]\napplication/x-k=K.desktop\n"));
}

// Every file below root, with its contents.
QMap<QString, QByteArray> Snapshot(const QString &root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        files.insert(file.fileName(),
                     file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    }
    return files;
}

class RegImportScript : public RegImportProgram
{
protected:
    // The served program's own names, no installed entries.
    Target target() const
    {
        return {suite.root() + QStringLiteral("/data"),
                suite.root() + QStringLiteral("/config"),
                served,
                QStringLiteral("C:\\KORVAX\\ROWLNS32\\"),
                kDesktopId,
                kMimeType,
                {system()}};
    }
    QString system() const { return suite.root() + QStringLiteral("/system"); }
    QByteArray MainScript() const
    {
        const Startup::AssociationArguments args{QStringLiteral("open"),
                                                 QStringLiteral("Korvax_Manager.ROWLENS32"),
                                                 QStringLiteral("Zorath TBL data file"),
                                                 QString(),
                                                 QStringLiteral("TBL"),
                                                 QString(),
                                                 QString()};
        return Startup::AssociationScriptBytes(
            args, QStringLiteral("C:\\KORVAX\\ROWLNS32\\ROWLNS32.exe"));
    }
    QString Query(const QStringList &arguments) const
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), target().dataHome);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), target().configHome);
        env.remove(QStringLiteral("XDG_CURRENT_DESKTOP"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral("xdg-mime"), arguments);
        process.waitForFinished(60000);
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }
};

TEST_F(RegImportScript, MainScriptMakesTheDesktopAssociation)
{
    const RegImport::ImportResult result = RegImport::ImportScript(MainScript(), target());
    ASSERT_TRUE(result.ok) << result.messages.join(u'\n').toStdString();

    QFile entry(target().dataHome + QStringLiteral("/applications/org.korvax.rowlens32.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(entry.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("\nExec=\"") + served + QStringLiteral("\" %f\n")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\nMimeType=application/x-zorath-table;\n")));
    EXPECT_TRUE(QFileInfo::exists(target().dataHome +
                                  QStringLiteral("/mime/packages/org.korvax.rowlens32.xml")));

    // A second import changes nothing.
    const auto first = Snapshot(target().configHome);
    const auto firstEntry = Snapshot(target().dataHome + QStringLiteral("/applications"));
    ASSERT_TRUE(RegImport::ImportScript(MainScript(), target()).ok);
    EXPECT_EQ(Snapshot(target().configHome), first);
    EXPECT_EQ(Snapshot(target().dataHome + QStringLiteral("/applications")), firstEntry);

    if (QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty())
        GTEST_SKIP() << "xdg-mime is not installed";
    EXPECT_EQ(Query({QStringLiteral("query"), QStringLiteral("default"), kMimeType}),
              QStringLiteral("org.korvax.rowlens32.desktop"));
    // Outside a desktop session xdg-mime reads the MIME database through "mimetype"; without
    // it, it falls back to "file", which knows only the system's own types.
    if (QStandardPaths::findExecutable(QStringLiteral("mimetype")).isEmpty())
        GTEST_SKIP() << "mimetype (libfile-mimeinfo-perl) is not installed";
    for (const char *name : {"ships.tbl", "SHIPS.TBL", "Weapons.Tbl"}) {
        const QString file = suite.root() + u'/' + QString::fromLatin1(name);
        QFile(file).open(QIODevice::WriteOnly);
        EXPECT_EQ(Query({QStringLiteral("query"), QStringLiteral("filetype"), file}), kMimeType)
            << name;
    }
}

// Where the desktop already finds an entry of the program's id, the association uses it when
// it runs the served program (an installed package's entry), and otherwise writes its own
// per-user entry, which comes first.
TEST_F(RegImportScript, AnInstalledEntryThatRunsTheProgramIsUsedAsItIs)
{
    const QString other = suite.root() + QStringLiteral("/old build/rowlns32");
    MakeExecutable(other);
    struct Case
    {
        const char *name;
        QString userExec;   // Exec of an entry in dataHome; empty: none
        QString systemExec; // Exec of an entry in the data folder; empty: none
        bool written;       // a per-user entry is written, running the served program
    };
    const Case cases[] = {
        {"installed entry runs the program", {}, served + QStringLiteral(" %f"), false},
        {"installed entry, quoted and escaped",
         {},
         RegImport::DesktopExecArgument(served) + QStringLiteral(" %f"),
         false},
        {"installed entry runs another program", {}, other + QStringLiteral(" %f"), true},
        {"per-user entry of another build comes first", other, served + QStringLiteral(" %f"),
         true},
        {"per-user entry of an install in the home folder",
         served + QStringLiteral(" %f"),
         {},
         false},
    };
    const QString entryPath = QStringLiteral("/applications/org.korvax.rowlens32.desktop");
    for (const Case &c : cases) {
        QDir(target().dataHome).removeRecursively();
        QDir(target().configHome).removeRecursively();
        QDir(system()).removeRecursively();
        auto writeEntry = [&](const QString &folder, const QString &exec) {
            if (exec.isEmpty())
                return;
            QDir().mkpath(folder + QStringLiteral("/applications"));
            QFile file(folder + entryPath);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("[Desktop Entry]\nType=Application\nName=R\nExec=" + exec.toUtf8() +
                       "\nMimeType=application/x-zorath-table;\n");
        };
        writeEntry(target().dataHome, c.userExec);
        writeEntry(system(), c.systemExec);
        const auto before = Snapshot(target().dataHome);

        const RegImport::ImportResult result = RegImport::ImportScript(MainScript(), target());
        ASSERT_TRUE(result.ok) << c.name << ": " << result.messages.join(u'\n').toStdString();
        if (c.written) {
            EXPECT_EQ(RegImport::DesktopEntryProgram(target().dataHome + entryPath), served)
                << c.name;
        } else {
            EXPECT_EQ(Snapshot(target().dataHome), before) << c.name;
        }
        QFile mimeApps(target().configHome + QStringLiteral("/mimeapps.list"));
        ASSERT_TRUE(mimeApps.open(QIODevice::ReadOnly)) << c.name;
        EXPECT_TRUE(mimeApps.readAll().contains(
            "\napplication/x-zorath-table=org.korvax.rowlens32.desktop\n"))
            << c.name;
    }
}

TEST_F(RegImportScript, HostileScriptsWriteNothingOutsideTheTargetFolders)
{
    struct Case
    {
        const char *name;
        QByteArray script;
        bool ok;
    };
    const QByteArray otherProgram =
        "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.tbl]\r\n@=\"evil\"\r\n\r\n"
        "[HKEY_CLASSES_ROOT\\evil\\shell\\open\\command]\r\n@=\"/bin/sh -c \\\"%1\\\"\"\r\n";
    const QByteArray escapingNames =
        "REGEDIT4\r\n[HKEY_CLASSES_ROOT\\.tbl/../../x]\r\n@=\"../../../escape\"\r\n"
        "[HKEY_CLASSES_ROOT\\.ok]\r\n@=\"../../../escape\"\r\n"
        "[HKEY_CLASSES_ROOT\\../../../escape\\shell\\open\\command]\r\n"
        "@=\"C:\\\\KORVAX\\\\ROWLNS32\\\\ROWLNS32.exe \\\"%1\\\"\"\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\x]\r\n@=\"y\"\r\n";
    const Case cases[] = {
        {"NotRegedit4", "Windows Registry Editor Version 5.00\r\n", false},
        {"OtherProgram", otherProgram, false},
        {"EscapingNames", escapingNames, true}, // the bad extension is skipped, ".ok" made
        {"Binary", QByteArray("REGEDIT4\r\n\0\xff[\r\n@=\"", 18), false},
    };
    // Names derived from the script's class names, which these scripts choose.
    Target derived = target();
    derived.desktopId.clear();
    derived.mimeType.clear();
    const auto before = Snapshot(suite.root());
    for (const Case &c : cases) {
        const RegImport::ImportResult result = RegImport::ImportScript(c.script, derived);
        EXPECT_EQ(result.ok, c.ok) << c.name;
        for (const QString &written : result.writtenFiles) {
            const QString clean = QDir::cleanPath(written);
            EXPECT_TRUE(clean.startsWith(target().dataHome + u'/') ||
                        clean.startsWith(target().configHome + u'/'))
                << c.name << ": " << clean.toStdString();
        }
    }
    for (auto it = before.begin(); it != before.end(); ++it)
        EXPECT_EQ(Snapshot(suite.root()).value(it.key()), it.value());
    // The class name became a plain file name inside the applications folder.
    const QStringList entries = QDir(target().dataHome + QStringLiteral("/applications"))
                                    .entryList({QStringLiteral("*escape.desktop")}, QDir::Files);
    ASSERT_EQ(entries, QStringList{QStringLiteral("_.._.._escape.desktop")});
    QFile entry(target().dataHome + QStringLiteral("/applications/") + entries[0]);
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    EXPECT_TRUE(entry.readAll().contains("\nExec=\"" + served.toUtf8() + "\" %f\n"));
}

// The importer program as the association starts it: its command line split at blanks,
// so a script path with blanks arrives in pieces.
TEST(RegeditProgram, ImportsTheScriptNamedOnItsSplitCommandLine)
{
    TempDrive suite;
    const QString bin = Vexa32::Platform::ExecutableDir();
    const Startup::AssociationArguments args{QStringLiteral("open"),
                                             QStringLiteral("Korvax_Manager.ROWLENS32"),
                                             QStringLiteral("Zorath TBL data file"),
                                             QString(),
                                             QStringLiteral("TBL"),
                                             QString(),
                                             QString()};
    // A suite in "C:\Korvax Suite\" that records the program's main folder there too.
    suite.write(QStringLiteral("VEXA.CFG"), "[Directories]\r\nVexa3=C:\\Korvax Suite\\\r\n");
    suite.write(QStringLiteral("Korvax Suite/vexa.ini"),
                "[Moduls_Dirs]\r\nROWLNS32=C:\\Korvax Suite\\\r\n");
    suite.write(
        QStringLiteral("Korvax Suite/shell/ROWLNS32.reg"),
        Startup::AssociationScriptBytes(args, QStringLiteral("C:\\Korvax Suite\\ROWLNS32.exe")));

    QProcess regedit;
    regedit.start(bin + QStringLiteral("/regedit"),
                  QStringLiteral("/s C:\\Korvax Suite\\shell\\ROWLNS32.reg").split(u' '));
    ASSERT_TRUE(regedit.waitForFinished(60000));
    EXPECT_EQ(regedit.exitCode(), 0) << regedit.readAllStandardError().constData();

    QFile entry(suite.root() + QStringLiteral("/data/applications/org.korvax.rowlens32.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    EXPECT_TRUE(entry.readAll().contains("\nExec=\"" +
                                         (bin + QStringLiteral("/rowlns32")).toUtf8() + "\" %f\n"));
    QFile mimeApps(suite.root() + QStringLiteral("/config/mimeapps.list"));
    ASSERT_TRUE(mimeApps.open(QIODevice::ReadOnly));
    EXPECT_TRUE(
        mimeApps.readAll().contains("application/x-zorath-table=org.korvax.rowlens32.desktop\n"));

    // A missing script, and a script outside the suite's shell folder.
    suite.write(QStringLiteral("Korvax Suite/ROWLNS32.reg"),
                suite.read(QStringLiteral("Korvax Suite/shell/ROWLNS32.reg")));
    for (const QString &script : {QStringLiteral("C:\\Korvax Suite\\shell\\missing.reg"),
                                  QStringLiteral("C:\\Korvax Suite\\ROWLNS32.reg")}) {
        QProcess bad;
        bad.start(bin + QStringLiteral("/regedit"), (QStringLiteral("/s ") + script).split(u' '));
        ASSERT_TRUE(bad.waitForFinished(60000));
        EXPECT_EQ(bad.exitCode(), 2) << script.toStdString();
    }
}

} // namespace
