// The association script written by AssociateFileType, byte for byte, and the registry
// editor command line it starts.

#include "startup/associate.h"
#include "tests/support/tempdrive.h"
#include "vexa32/globals.h"
#include "vexa32/platform/host.h"

#include <gtest/gtest.h>

namespace {

struct ScriptCase
{
    const char *name;
    const char *mainDir;
    const char *option;
    const char *ext1, *ext2, *ext3;
    const char *description;
    QByteArray expected; // with CR LF line ends
};

QByteArray Lines(std::initializer_list<const char *> lines)
{
    QByteArray bytes;
    for (const char *line : lines)
        bytes += QByteArray(line) + "\r\n";
    return bytes;
}

const QByteArray kClassBlock =
    Lines({"[HKEY_CLASSES_ROOT\\Korvax_Manager.ROWLENS32]", "@=\"Zorath TBL data file\"", "",
           "[HKEY_CLASSES_ROOT\\Korvax_Manager.ROWLENS32\\shell]", "",
           "[HKEY_CLASSES_ROOT\\Korvax_Manager.ROWLENS32\\shell\\open]", "@=\"\"", "",
           "[HKEY_CLASSES_ROOT\\Korvax_Manager.ROWLENS32\\shell\\open\\command]"});

QByteArray ExtBlock(const char *ext)
{
    return Lines({(QByteArray("[HKEY_CLASSES_ROOT\\.") + ext + "]").constData(),
                  "@=\"Korvax_Manager.ROWLENS32\"", ""});
}

QByteArray Command(const QByteArray &value)
{
    return "@=\"" + value + "\"\r\n";
}

class AssociationTest : public ::testing::TestWithParam<ScriptCase>
{
protected:
    void SetUp() override
    {
        Startup::SetProcessStarter([this](const QString &commandLine) {
            started << commandLine;
            return true;
        });
        Vexa32::pfad_vexa = QStringLiteral("C:\\KORVAX\\VEXA3\\");
    }
    void TearDown() override { Startup::SetProcessStarter({}); }

    QString exeName = Vexa32::Platform::ExecutableName();
    TempDrive suite;
    QStringList started;
};

TEST_P(AssociationTest, WritesScriptAndStartsImport)
{
    const ScriptCase &c = GetParam();
    Vexa32::pfad_main = QString::fromLatin1(c.mainDir);
    const QString script = QStringLiteral("KORVAX/VEXA3/shell/") + exeName + QStringLiteral(".reg");
    // A longer script of an earlier run is replaced, not appended to.
    suite.write(script, QByteArray(4096, 'x'));

    Startup::AssociateFileType(QStringLiteral("open"), QStringLiteral("Korvax_Manager.ROWLENS32"),
                               QString::fromUtf8(c.description), QString::fromLatin1(c.option),
                               QString::fromLatin1(c.ext1), QString::fromLatin1(c.ext2),
                               QString::fromLatin1(c.ext3));

    EXPECT_EQ(suite.read(script), c.expected);
    ASSERT_EQ(started.size(), 1);
    EXPECT_EQ(started[0], QStringLiteral("regedit /s C:\\KORVAX\\VEXA3\\shell\\") + exeName +
                              QStringLiteral(".reg"));
}

// The expected scripts are written for an executable named as the test binary.
QByteArray Exe()
{
    return Vexa32::Platform::ExecutableName().toLatin1() + ".exe";
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, AssociationTest,
    ::testing::Values(
        ScriptCase{"MainArguments", "C:\\Tools\\", "", "TBL", "", "", "Zorath TBL data file",
                   Lines({"REGEDIT4", ""}) + ExtBlock("TBL") + kClassBlock +
                       Command("C:\\\\Tools\\\\" + Exe() + " \\\"%1\\\"")},
        ScriptCase{"NoExtension", "C:\\Tools\\", "", "", "n/a", " ", "Zorath TBL data file",
                   Lines({"REGEDIT4", ""}) + kClassBlock +
                       Command("C:\\\\Tools\\\\" + Exe() + " \\\"%1\\\"")},
        ScriptCase{"OnlySecondExtension", "C:\\Tools\\", "", "", "TBM", "", "Zorath TBL data file",
                   Lines({"REGEDIT4", ""}) + ExtBlock("TBM") + kClassBlock +
                       Command("C:\\\\Tools\\\\" + Exe() + " \\\"%1\\\"")},
        ScriptCase{"ThreeExtensionsInOrder", "C:\\Tools\\", "", "TBL", "TBM", "TBX",
                   "Zorath TBL data file",
                   Lines({"REGEDIT4", ""}) + ExtBlock("TBL") + ExtBlock("TBM") + ExtBlock("TBX") +
                       kClassBlock + Command("C:\\\\Tools\\\\" + Exe() + " \\\"%1\\\"")},
        ScriptCase{"BlankOption", "C:\\Tools\\", "  ", "TBL", "", "", "Zorath TBL data file",
                   Lines({"REGEDIT4", ""}) + ExtBlock("TBL") + kClassBlock +
                       Command("C:\\\\Tools\\\\" + Exe() + " \\\"%1\\\"")},
        ScriptCase{"UnsetOption", "C:\\Tools\\", "n/a", "TBL", "", "", "Zorath TBL data file",
                   Lines({"REGEDIT4", ""}) + ExtBlock("TBL") + kClassBlock +
                       Command("C:\\\\Tools\\\\" + Exe() + " \\\"%1\\\"")},
        ScriptCase{"SwitchOption", "C:\\Tools\\", "/view", "TBL", "", "", "Zorath TBL data file",
                   Lines({"REGEDIT4", ""}) + ExtBlock("TBL") + kClassBlock +
                       Command("C:\\\\Tools\\\\" + Exe() + " /view \\\"%1\\\"")},
        ScriptCase{
            "NestedFoldersWithBlanks", "C:\\Program Files\\Korvax\\Row Lens", "", "TBL", "", "",
            "Zorath TBL data file",
            Lines({"REGEDIT4", ""}) + ExtBlock("TBL") + kClassBlock +
                Command("C:\\\\Program Files\\\\Korvax\\\\Row Lens\\\\" + Exe() + " \\\"%1\\\"")}),
    [](const ::testing::TestParamInfo<ScriptCase> &info) { return info.param.name; });

TEST(AssociationEncoding, WritesWindows1252AndLeavesScriptPathUnquoted)
{
    TempDrive suite;
    QStringList started;
    Startup::SetProcessStarter([&](const QString &commandLine) {
        started << commandLine;
        return true;
    });
    Vexa32::pfad_vexa = QStringLiteral("C:\\Korvax Suite\\Vexa 3"); // no trailing backslash
    Vexa32::pfad_main = QStringLiteral("C:\\Tools\\");
    Startup::AssociateFileType(QStringLiteral("open"), QStringLiteral("Korvax_Manager.ROWLENS32"),
                               QStringLiteral("Zorath-Tabelle für Schiffe"), QString(),
                               QStringLiteral("TBL"), QString(), QString());
    Startup::SetProcessStarter({});

    const QString exeName = Vexa32::Platform::ExecutableName();
    const QByteArray script =
        suite.read(QStringLiteral("Korvax Suite/Vexa 3/shell/") + exeName + QStringLiteral(".reg"));
    EXPECT_TRUE(script.contains("@=\"Zorath-Tabelle f\xfcr Schiffe\"\r\n"));
    ASSERT_EQ(started.size(), 1);
    EXPECT_EQ(started[0], QStringLiteral("regedit /s C:\\Korvax Suite\\Vexa 3\\shell\\") + exeName +
                              QStringLiteral(".reg"));
}

} // namespace
