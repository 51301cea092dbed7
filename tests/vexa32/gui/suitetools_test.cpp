// The suite's tools library (loaded beside the executable), the module check and
// document opening.

#include "startup/vexainit.h"
#include "tests/support/modalanswer.h"
#include "tests/support/tempdrive.h"
#include "tests/support/urlrecorder.h"
#include "vexa32/globals.h"
#include "vexa32/gui/document.h"
#include "vexa32/modules.h"
#include "vexa32/profile.h"
#include "vexa32/suitetools.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QUrl>
#include <gtest/gtest.h>

using namespace Vexa32;

namespace {

QString CallAndRead(bool (*call)(), bool *result)
{
    QString text;
    AnswerNextModal([&text](QWidget *box) {
        if (auto *message = qobject_cast<QMessageBox *>(box)) {
            text = message->windowTitle() + u'|' + message->text();
        }
    });
    *result = call();
    return text;
}

} // namespace

TEST(SuiteTools, EntryPointsShowTheirBoxesAndReturn)
{
    SetToolsLibraryName(ToolsLibraryName);
    bool ok = false;
    const QString about = CallAndRead(&DoAbout, &ok);
    EXPECT_TRUE(ok);
    EXPECT_TRUE(about.startsWith(QStringLiteral("About Korvax Manager|"))) << qPrintable(about);
    const QString check = CallAndRead(&DoKMVC, &ok);
    EXPECT_TRUE(ok);
    // The same download page as the font error names.
    EXPECT_TRUE(check.contains(Startup::DownloadAddress)) << qPrintable(check);
}

TEST(SuiteTools, MissingLibraryOrEntryPointFails)
{
    SetToolsLibraryName(QStringLiteral("km_tools_not_installed.dll"));
    EXPECT_FALSE(DoAbout());
    EXPECT_FALSE(DoKMVC());
    // A library that loads but has no such entry points.
    SetToolsLibraryName(QStringLiteral("libm.so.6"));
    EXPECT_FALSE(DoAbout());
    EXPECT_FALSE(DoKMVC());
    SetToolsLibraryName(ToolsLibraryName);
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
}

TEST(SuiteTools, ModuleInstalledWhenItsFileExists)
{
    TempDrive drive;
    ASSERT_TRUE(QDir(drive.drive()).mkpath(QStringLiteral("KORVAX/ZRKIT")));
    pfad_vexa = QStringLiteral("C:\\KORVAX\\");
    const QString ini = QStringLiteral("vexa.ini");
    const QString key = QStringLiteral("ZRKIT");

    EXPECT_FALSE(IsModuleInstalled(key)); // no entries at all
    WriteIniValue(pfad_vexa, ini, QStringLiteral("Moduls_Dirs"), key,
                  QStringLiteral("C:\\KORVAX\\ZRKIT"));
    WriteIniValue(pfad_vexa, ini, QStringLiteral("Moduls_EXEs"), key,
                  QStringLiteral("tutorial.pdf"));
    EXPECT_EQ(ModuleFilePath(key), QStringLiteral("C:\\KORVAX\\ZRKIT\\tutorial.pdf"));
    EXPECT_FALSE(IsModuleInstalled(key)); // entries naming a missing file

    QFile file(drive.onDrive(QStringLiteral("KORVAX/ZRKIT/Tutorial.PDF")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_TRUE(IsModuleInstalled(key)); // names match without regard to case

    // The tutorial goes to the desktop's handler as a local file.
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
    OpenDocument(ModuleFilePath(key));
    OpenDocument(QStringLiteral("Q:\\unmapped\\drive.pdf")); // nothing to open: ignored
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    ASSERT_EQ(recorder.urls.size(), 1);
    EXPECT_TRUE(recorder.urls.first().isLocalFile());
    EXPECT_TRUE(recorder.urls.first().toLocalFile().endsWith(QStringLiteral("/ZRKIT/Tutorial.PDF")))
        << qPrintable(recorder.urls.first().toLocalFile());

    pfad_vexa.clear();
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
