// A command line of 100 000 characters through the start-up: it names no file, names a
// file behind thousands of quotes, or is only blanks. The start-up neither crashes nor
// loads anything the text does not name once its quotes are gone.

#include "startup/tblmain.h"
#include "tests/startup/guifixture.h"
#include "viewer/tblmainform.h"

#include <gtest/gtest.h>

namespace {

class LongCommandLine : public StartupFixture
{
protected:
    void SetUp() override
    {
        StartupFixture::SetUp();
        suite.write(QStringLiteral("KORVAX/ROWLNS32/rowlns32.ini"),
                    "[Startup]\r\nAssociateFileTypes=0\r\n");
        table = suite.root() + QStringLiteral("/ships.tbl");
        QFile file(table);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#Ships\r\n$Name: Kestrel\r\n");
    }
    QString table;
};

TEST_F(LongCommandLine, HundredThousandCharacters)
{
    constexpr int Length = 100000;
    const QString quotes(Length / 2, u'"');
    struct Case
    {
        const char *what;
        QString commandLine;
        bool waited;
        QString loaded;
    };
    const Case cases[] = {
        {"one long word", QString(Length, u'x'), false, QString()},
        {"a long path", QStringLiteral("C:\\") + QStringLiteral("dir\\").repeated(Length / 4),
         false, QString()},
        {"quotes around a file", quotes + table + quotes, false, table},
        {"quotes only", QString(Length, u'"'), false, QString()},
        {"blanks only", QString(Length, u' '), true, QString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        waits.clear();
        const auto form = Startup::Main(c.commandLine);
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(form->CurrentFile(), c.loaded);
        EXPECT_EQ(waits, c.waited ? std::vector<int>{3000} : std::vector<int>{});
        EXPECT_TRUE(boxes.empty());
    }
}

} // namespace
