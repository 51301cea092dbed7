#pragma once
// Start-up tests with windows: an installed suite (fonts, module pictures) in a temporary
// drive, message boxes answered by a recording responder, waits recorded instead of slept
// and the importer recorded instead of started.

#include "startup/associate.h"
#include "startup/splash.h"
#include "tests/support/modalanswer.h"
#include "tests/support/tempdrive.h"
#include "vexa32/globals.h"
#include "vexa32/gui/errordialog.h"
#include "vexa32/gui/messagebox.h"
#include "vexa32/platform/host.h"

#include <QApplication>
#include <QFile>
#include <gtest/gtest.h>
#include <vector>

class StartupFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Vexa32::ProgramName = QStringLiteral("ROWLNS32");
        Vexa32::ProgramTitle = QStringLiteral("ROWLENS32");
        Vexa32::VersionText = QStringLiteral("1.0 Beta 01 (Build 01)");
        suite.installSuite();
        suite.write(QStringLiteral("WINDOWS/FONTS/tahoma.ttf"), "not a real font");
        suite.write(QStringLiteral("WINDOWS/FONTS/tahomabd.ttf"), "not a real font");
        QFile picture(QStringLiteral(ROWLENS_STARTUP_DATA "/ROWLNS32.jpg"));
        QFile logo(QStringLiteral(ROWLENS_STARTUP_DATA "/ROWLNS32.gif"));
        ASSERT_TRUE(picture.open(QIODevice::ReadOnly) && logo.open(QIODevice::ReadOnly));
        shippedPicture = picture.readAll();
        suite.write(modulePicture(), shippedPicture);
        suite.write(QStringLiteral("KORVAX/ROWLNS32/") + exeName + QStringLiteral(".gif"),
                    logo.readAll());

        Vexa32::SetMessageResponder([this](const Vexa32::MessageRequest &request) {
            boxes.push_back(request);
            return answer(request);
        });
        Startup::SetWaitHandler([this](int ms) { waits.push_back(ms); });
        Startup::SetProcessStarter([this](const QString &commandLine) {
            started << commandLine;
            return true;
        });
    }
    void TearDown() override
    {
        Startup::SplashEnd(0);
        Vexa32::SetMessageResponder({});
        Startup::SetWaitHandler({});
        Startup::SetProcessStarter({});
    }

    // The module picture, relative to the drive.
    QString modulePicture() const
    {
        return QStringLiteral("KORVAX/ROWLNS32/") + exeName + QStringLiteral(".jpg");
    }

    // The answer given to a box; OK and Yes unless a test says otherwise.
    std::function<Vexa32::MessageAnswer(const Vexa32::MessageRequest &)> answer =
        [](const Vexa32::MessageRequest &request) {
            return request.buttons == Vexa32::MessageButtons::YesNo ? Vexa32::MessageAnswer::Yes
                                                                    : Vexa32::MessageAnswer::Ok;
        };

    const QString exeName = Vexa32::Platform::ExecutableName();
    TempDrive suite;
    QByteArray shippedPicture;
    std::vector<Vexa32::MessageRequest> boxes;
    std::vector<int> waits;
    QStringList started;
};
