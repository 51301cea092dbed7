// The splash screen: its elements, the picture checks and their warnings, and its end.

#include "startup/vexasplash.h"
#include "tests/startup/guifixture.h"
#include "vexa32/gui/screen.h"

#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <gtest/gtest.h>

namespace {

const QString kNotFound = QStringLiteral(
    "Splash screen image not found! Reinstall Korvax Manager please! You can still work with "
    "it by pressing OK now.");
const QString kModified = QStringLiteral(
    "Splash screen image was modified! Not good! Korvax Manager will work, but you will always "
    "have to select OK in this dialog until you have installed the right one again!");

using SplashTest = StartupFixture;

TEST_F(SplashTest, ShowsNameVersionCreditAndPictures)
{
    Startup::SplashStart(157, 255, QStringLiteral("n/a"));
    Startup::VexaSplash *splash = Startup::CurrentSplash();
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(splash->isVisible());
    EXPECT_TRUE(splash->windowFlags().testFlag(Qt::SplashScreen));
    EXPECT_EQ(splash->client()->size(),
              QSize(Vexa32::TwipsToPixelsX(6225), Vexa32::TwipsToPixelsY(3825)));

    QLabel *name = splash->lblProductName[0];
    QLabel *shadow = splash->lblProductName[1];
    EXPECT_EQ(name->text(), QStringLiteral("ROWLENS"));
    EXPECT_EQ(shadow->text(), QStringLiteral("ROWLENS"));
    EXPECT_EQ(shadow->pos(), name->pos() + QPoint(4, 4));
    EXPECT_EQ(shadow->palette().color(QPalette::WindowText), QColor(128, 128, 128));
    EXPECT_EQ(splash->lbl32->text(), QStringLiteral("32"));
    EXPECT_EQ(splash->lbl32->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    // Name, shadow and "32" lie inside the window, the "32" right after the name, and no
    // two of them (nor the platform line) run into each other.
    const QRect inside = splash->client()->rect();
    const QRect nameInk = Startup::VexaSplash::InkRect(name);
    const QRect shadowInk = Startup::VexaSplash::InkRect(shadow);
    const QRect suffixInk = Startup::VexaSplash::InkRect(splash->lbl32);
    const QRect platformInk = Startup::VexaSplash::InkRect(splash->lblPlatform);
    for (const QRect &ink : {nameInk, shadowInk, suffixInk, platformInk}) {
        EXPECT_TRUE(inside.contains(ink)) << ink.x() << "," << ink.y();
    }
    EXPECT_GT(suffixInk.left(), shadowInk.right());
    EXPECT_LE(suffixInk.left(), shadowInk.right() + 4);
    EXPECT_FALSE(suffixInk.intersects(platformInk));
    EXPECT_LT(suffixInk.top(), platformInk.top());
    EXPECT_EQ(splash->lblVersion->text(), QStringLiteral("Version 1.0 Beta 01 (Build 01)"));
    EXPECT_EQ(splash->lblLicenseTo->text(), Startup::DefaultCreditText);
    // Right-aligned labels grow to the left.
    EXPECT_EQ(splash->lblLicenseTo->geometry().right() + 1,
              Vexa32::TwipsToPixelsX(5670) + Vexa32::TwipsToPixelsX(495));
    EXPECT_EQ(splash->lblPlatform->text(), QStringLiteral("for Windows 9x/NT"));
    EXPECT_FALSE(splash->Image1->pixmap().isNull());
    EXPECT_FALSE(splash->ImageKM->pixmap().isNull());
    EXPECT_FALSE(splash->Image3->pixmap().isNull());

    // Centred, and a click does not take it down.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((splash->frameGeometry().center() - screen.center()).manhattanLength(), 2);
    for (QWidget *target : {static_cast<QWidget *>(splash), splash->client(),
                            static_cast<QWidget *>(splash->Image1)}) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(Startup::CurrentSplash(), splash);
    EXPECT_TRUE(splash->isVisible());

    Startup::SplashEnd(0);
    EXPECT_EQ(Startup::CurrentSplash(), nullptr);
    EXPECT_TRUE(waits.empty());
}

TEST_F(SplashTest, TitleWithoutSuffixCreditAndColourAsGiven)
{
    Vexa32::ProgramTitle = QStringLiteral("ARKLENS");
    QFile::remove(
        suite.onDrive(QStringLiteral("KORVAX/ROWLNS32/") + exeName + QStringLiteral(".gif")));
    Startup::SplashStart(0, 0x00FF0000, QStringLiteral("By Somebody Else"));
    Startup::VexaSplash *splash = Startup::CurrentSplash();
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(splash->lblProductName[0]->text(), QStringLiteral("ARKLENS"));
    EXPECT_EQ(splash->lblLicenseTo->text(), QStringLiteral("By Somebody Else"));
    EXPECT_EQ(splash->lbl32->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_TRUE(splash->ImageKM->pixmap().isNull()); // suite logo missing: no message
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SplashTest, PictureChecksAndTheirWarnings)
{
    QByteArray changed = shippedPicture;
    changed[changed.size() / 2] = static_cast<char>(changed[changed.size() / 2] ^ 0x10);
    struct Case
    {
        const char *name;
        std::optional<QByteArray> picture; // nullopt: missing
        unsigned char expected;
        QStringList warnings; // texts, in order
    };
    const Case cases[] = {
        {"shipped", shippedPicture, 157, {}},
        {"one byte changed", changed, 157, {kModified}},
        {"changed, no check", changed, 0, {}},
        {"missing", std::nullopt, 157, {kNotFound, kModified}},
        {"missing, no check", std::nullopt, 0, {kNotFound}},
    };
    for (const Case &c : cases) {
        boxes.clear();
        QFile::remove(suite.onDrive(modulePicture()));
        if (c.picture)
            suite.write(modulePicture(), *c.picture);
        Startup::SplashStart(c.expected, 255, QString());
        QStringList texts;
        for (const Vexa32::MessageRequest &box : boxes) {
            texts << box.text;
            EXPECT_EQ(box.title, QStringLiteral("Korvax Manager warning")) << c.name;
            EXPECT_EQ(box.buttons, Vexa32::MessageButtons::OkCancel) << c.name;
            EXPECT_EQ(box.defaultButton, box.text == kModified ? Vexa32::MessageAnswer::Cancel
                                                               : Vexa32::MessageAnswer::Ok)
                << c.name;
        }
        EXPECT_EQ(texts, c.warnings) << c.name;
        ASSERT_NE(Startup::CurrentSplash(), nullptr) << c.name;
        EXPECT_TRUE(Startup::CurrentSplash()->isVisible()) << c.name;
        EXPECT_EQ(Startup::CurrentSplash()->Image1->pixmap().isNull(), !c.picture) << c.name;
        EXPECT_EQ(suite.exists(modulePicture()), c.picture.has_value()) << c.name;
        Startup::SplashEnd(0);
    }
}

TEST_F(SplashTest, WaitAndEndBlockThroughTheWaitHandler)
{
    Startup::Wait(3000);
    Startup::SplashStart(0, 255, QString());
    Startup::SplashEnd(250);
    EXPECT_EQ(waits, (std::vector<int>{3000, 250}));
    EXPECT_EQ(Startup::CurrentSplash(), nullptr);
}

using SplashDeathTest = StartupFixture;

TEST_F(SplashDeathTest, CancelOnAWarningEndsTheProgram)
{
    answer = [](const Vexa32::MessageRequest &) { return Vexa32::MessageAnswer::Cancel; };
    suite.write(modulePicture(), "not the shipped picture");
    EXPECT_EXIT(Startup::SplashStart(157, 255, QString()), ::testing::ExitedWithCode(1), "");
    QFile::remove(suite.onDrive(modulePicture()));
    EXPECT_EXIT(Startup::SplashStart(0, 255, QString()), ::testing::ExitedWithCode(1), "");
}

TEST_F(SplashDeathTest, MissingInstallationEndsTheProgram)
{
    QFile::remove(suite.onDrive(QStringLiteral("VEXA.CFG")));
    EXPECT_EXIT(
        {
            CloseModalDialogsReporting();
            Startup::SplashStart(157, 255, QString());
        },
        ::testing::ExitedWithCode(1), "\\[Vexa32 error\\] \\[Vexa3 is not properly installed!\\]");
}

} // namespace
