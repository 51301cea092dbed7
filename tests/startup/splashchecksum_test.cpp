// The splash picture checksum, and the shipped picture's value.

#include "startup/splashchecksum.h"
#include "tests/support/tempdrive.h"

#include <gtest/gtest.h>

namespace {

TEST(SplashChecksum, XorOfAllBytesWithZeroCountedAsOne)
{
    struct Case
    {
        QByteArray bytes;
        unsigned expected;
    };
    const Case cases[] = {
        {"abc", 0x60},
        {"", 1},
        {"zz", 1}, // bytes that cancel out
        {QByteArray("\x9d", 1), 157},
        {QByteArray("\xff\x01", 2), 0xfe},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Startup::SplashChecksum(c.bytes), c.expected) << c.bytes.toHex().constData();
}

TEST(SplashChecksum, FilesAreReadThroughTheDriveMap)
{
    TempDrive suite;
    suite.write(QStringLiteral("KORVAX/pic.jpg"), "abc");
    EXPECT_EQ(Startup::SplashFileChecksum(QStringLiteral("C:\\korvax\\PIC.JPG")), 0x60);
    EXPECT_EQ(Startup::SplashFileChecksum(QStringLiteral("C:\\KORVAX\\missing.jpg")), 1);
    EXPECT_EQ(Startup::SplashFileChecksum(QStringLiteral("Q:\\unmapped.jpg")), 1);
}

TEST(SplashChecksum, ShippedModulePictureMatchesTheProgramsExpectation)
{
    EXPECT_EQ(Startup::SplashFileChecksum(QStringLiteral(ROWLENS_STARTUP_DATA "/ROWLNS32.jpg")),
              157);
}

} // namespace
