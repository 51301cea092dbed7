// GoogleTest with a QApplication on the offscreen platform. Death tests re-run the binary
// ("threadsafe"), since Qt starts threads of its own.

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    return RUN_ALL_TESTS();
}
