// The shared environment: the suite's directories, the installation and font checks.

#include "startup/vexainit.h"
#include "tests/startup/guifixture.h"

#include <QFontDatabase>
#include <gtest/gtest.h>

namespace {

using EnvironmentTest = StartupFixture;

TEST_F(EnvironmentTest, SetsDirectoriesAndMakesTempInsideTheSuiteFolder)
{
    suite.installSuite("C:\\KORVAX\\VEXA3"); // no trailing backslash
    Startup::vexa_init();
    EXPECT_EQ(Vexa32::pfad_vexa, QStringLiteral("C:\\KORVAX\\VEXA3\\"));
    EXPECT_EQ(Vexa32::pfad_temp, QStringLiteral("C:\\KORVAX\\VEXA3\\_Temp\\"));
    EXPECT_TRUE(QFileInfo(suite.onDrive(QStringLiteral("KORVAX/VEXA3/_Temp"))).isDir());
    EXPECT_FALSE(suite.exists(QStringLiteral("KORVAX/VEXA3_Temp")));
    EXPECT_EQ(Vexa32::pfad_winsys, QStringLiteral("C:\\WINDOWS\\SYSTEM\\"));
    EXPECT_EQ(Vexa32::pfad_main, QStringLiteral("C:\\KORVAX\\ROWLNS32\\"));
    // A second start finds _Temp already there and goes on.
    Startup::vexa_init();
    EXPECT_EQ(Vexa32::pfad_temp, QStringLiteral("C:\\KORVAX\\VEXA3\\_Temp\\"));
}

TEST_F(EnvironmentTest, ModuleDirectoryFromDetourThenModulsDirsThenExecutable)
{
    struct Case
    {
        QByteArray vexaIni;
        QString expected;
    };
    const QString exeDir = Vexa32::Platform::ExecutableDir() + u'/';
    const Case cases[] = {
        {"[Moduls_Dirs]\r\nROWLNS32=C:\\Registered\r\n[Detour]\r\nROWLNS32=D:\\Detour\\\r\n",
         QStringLiteral("D:\\Detour\\")},
        {"[Moduls_Dirs]\r\nrowlns32=C:\\Registered\r\n[Detour]\r\nOTHER=C:\\x\r\n",
         QStringLiteral("C:\\Registered\\")},
        {"[Positions]\r\nROWLENS32=1\r\n", exeDir},
    };
    for (const Case &c : cases) {
        suite.installSuite("C:\\KORVAX\\VEXA3\\", c.vexaIni);
        Startup::vexa_init();
        EXPECT_EQ(Vexa32::pfad_main, c.expected) << c.vexaIni.constData();
        Vexa32::pfad_main.clear();
        Startup::EstablishSuiteDirectories(); // the splash screen's repetition agrees
        EXPECT_EQ(Vexa32::pfad_main, c.expected) << c.vexaIni.constData();
    }
}

TEST_F(EnvironmentTest, PlatformFolders)
{
    EXPECT_EQ(Startup::GetSystemDir(), QStringLiteral("C:\\WINDOWS\\SYSTEM"));
    EXPECT_EQ(Startup::GetSpecialFolder(20), QStringLiteral("C:\\WINDOWS\\FONTS"));
    EXPECT_EQ(Startup::GetSpecialFolder(-12345), QString());
}

TEST_F(EnvironmentTest, FontsComeFromTheSystemFolderElseFromTheFontsFolder)
{
    const QString wine = QStringLiteral("/usr/share/wine/fonts/");
    QFile regular(wine + QStringLiteral("tahoma.ttf"));
    QFile bold(wine + QStringLiteral("tahomabd.ttf"));
    if (!regular.open(QIODevice::ReadOnly) || !bold.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "the Tahoma files of fonts-wine are not installed";
    if (QFontDatabase::families().contains(QStringLiteral("Tahoma")))
        GTEST_SKIP() << "Tahoma is installed on this system already";
    suite.write(QStringLiteral("WINDOWS/FONTS/tahoma.ttf"), regular.readAll());
    suite.write(QStringLiteral("WINDOWS/FONTS/tahomabd.ttf"), bold.readAll());

    // Found in the system folder (not a usable font there): the Fonts folder is not used.
    suite.write(QStringLiteral("WINDOWS/SYSTEM/tahoma.ttf"), "x");
    Startup::vexa_init();
    EXPECT_FALSE(QFontDatabase::families().contains(QStringLiteral("Tahoma")));

    // Only in the Fonts folder: both files from there.
    QFile::remove(suite.onDrive(QStringLiteral("WINDOWS/SYSTEM/tahoma.ttf")));
    Startup::vexa_init();
    EXPECT_TRUE(QFontDatabase::families().contains(QStringLiteral("Tahoma")));
    EXPECT_TRUE(QFontDatabase::styles(QStringLiteral("Tahoma")).contains(QStringLiteral("Bold")));
}

using EnvironmentDeathTest = StartupFixture;

TEST_F(EnvironmentDeathTest, MissingInstallationEndsTheProgram)
{
    const std::pair<const char *, std::function<void(TempDrive &)>> cases[] = {
        {"no VEXA.CFG", [](TempDrive &s) { QFile::remove(s.onDrive(QStringLiteral("VEXA.CFG"))); }},
        {"empty Vexa3",
         [](TempDrive &s) { s.write(QStringLiteral("VEXA.CFG"), "[Directories]\r\nVexa3=\r\n"); }},
        {"no vexa.ini",
         [](TempDrive &s) { QFile::remove(s.onDrive(QStringLiteral("KORVAX/VEXA3/vexa.ini"))); }},
        {"vexa.ini is a folder",
         [](TempDrive &s) {
             QFile::remove(s.onDrive(QStringLiteral("KORVAX/VEXA3/vexa.ini")));
             QDir().mkpath(s.onDrive(QStringLiteral("KORVAX/VEXA3/vexa.ini")));
         }},
    };
    for (const auto &[name, breakIt] : cases) {
        breakIt(suite);
        EXPECT_EXIT(
            {
                CloseModalDialogsReporting();
                Startup::vexa_init();
            },
            ::testing::ExitedWithCode(1),
            "\\[Vexa32 error\\] \\[Vexa3 is not properly installed!\\]")
            << name;
        QDir(suite.onDrive(QStringLiteral("KORVAX/VEXA3/vexa.ini"))).removeRecursively();
        suite.installSuite();
    }
}

TEST_F(EnvironmentDeathTest, TahomaNowhereEndsTheProgram)
{
    QFile::remove(suite.onDrive(QStringLiteral("WINDOWS/FONTS/tahoma.ttf")));
    EXPECT_EXIT(
        {
            CloseModalDialogsReporting();
            Startup::vexa_init();
        },
        ::testing::ExitedWithCode(1),
        "\\[Font error\\] \\[Font 'Tahoma' not found in the SYSTEM/SYSTEM32 or FONTS directory! "
        "To fix this \\(re\\)install the Korvax Manager CORESET32, which is available at "
        "https://korvax-manager.example/download !\\]");
}

} // namespace
