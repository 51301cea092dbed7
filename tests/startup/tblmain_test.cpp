// The start-up sequence: the association question and its stored answer, the splash wait,
// and the table file named on the command line.

#include "startup/tblmain.h"
#include "tests/startup/guifixture.h"
#include "vexa32/profile.h"
#include "viewer/tblmainform.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace {

const QString kQuestion = QStringLiteral(
    "Do you want to use Korvax Manager ROWLENS32 as the default application for *.TBL files? "
    "This will enable you to open this tool quickly from Explorer and ARKLENS32 when "
    "double-clicking on a TBL file.\r\n\r\nNote: You can do this later by going to the Options "
    "dialog.");

class TBLMainTest : public StartupFixture
{
protected:
    QString storedSetting() const
    {
        return Vexa32::ReadIniValue(QStringLiteral("C:\\KORVAX\\ROWLNS32\\"),
                                    QStringLiteral("rowlns32.ini"), QStringLiteral("Startup"),
                                    QStringLiteral("AssociateFileTypes"));
    }
    void store(const QByteArray &value)
    {
        suite.write(QStringLiteral("KORVAX/ROWLNS32/rowlns32.ini"),
                    "[Startup]\r\nAssociateFileTypes=" + value + "\r\n");
    }
    QString scriptPath() const
    {
        return QStringLiteral("KORVAX/VEXA3/shell/") + exeName + QStringLiteral(".reg");
    }
    // A small table file of our own.
    QString tableFile(const QString &name)
    {
        const QString path = suite.root() + QStringLiteral("/my tables/") + name;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(
            "#Ships\r\n$Name: Kestrel\r\n$Speed: 12.5\r\n$Name: Heron\r\n$Speed: 9\r\n#End\r\n");
        return path;
    }
};

TEST_F(TBLMainTest, NamesTheProgramAndBuildsTheVersion)
{
    const auto form = Startup::Main(QString());
    EXPECT_EQ(Vexa32::ProgramName, QStringLiteral("ROWLNS32"));
    EXPECT_EQ(Vexa32::ProgramTitle, QStringLiteral("ROWLENS32"));
    EXPECT_EQ(Vexa32::VersionText, QStringLiteral("1.0 Beta 01 (Build 01)"));
    EXPECT_EQ(Startup::BuildVersionText(2, 10, 12), QStringLiteral("2.10 Beta 01 (Build 012)"));
}

TEST_F(TBLMainTest, OnlyALoneHelpOrVersionIsAnsweredInsteadOfStarting)
{
    const QString help = Startup::InformationFor({QStringLiteral("--help")});
    EXPECT_TRUE(help.startsWith(QStringLiteral("Usage: rowlns32 [FILE]\n"))) << qPrintable(help);
    EXPECT_EQ(Startup::InformationFor({QStringLiteral("--version")}),
              QStringLiteral("rowlns32 1.0.1\n"));
    // Everything else is a table path, even when it looks like an option.
    const QStringList paths[] = {
        {},
        {QStringLiteral("--help"), QStringLiteral("x.tbl")},
        {QStringLiteral("my"), QStringLiteral("--version")},
        {QStringLiteral("--HELP")},
        {QStringLiteral("-h")},
        {QStringLiteral("\"--help\"")},
    };
    for (const QStringList &arguments : paths)
        EXPECT_EQ(Startup::InformationFor(arguments), QString())
            << qPrintable(arguments.join(u'|'));
}

TEST_F(TBLMainTest, AssociationDecisionIsAskedOrTakenFromTheSettingAndWrittenBack)
{
    struct Case
    {
        const char *name;
        std::optional<QByteArray> stored; // nullopt: no rowlns32.ini
        Vexa32::MessageAnswer reply;
        bool asked;
        bool associated;
    };
    using A = Vexa32::MessageAnswer;
    const Case cases[] = {
        {"first start, yes", std::nullopt, A::Yes, true, true},
        {"first start, no", std::nullopt, A::No, true, false},
        {"stored 1", QByteArray("1"), A::No, false, true},
        {"stored 0", QByteArray("0"), A::Yes, false, false},
        {"stored 2", QByteArray("2"), A::Yes, true, true},
        {"stored yes", QByteArray("yes"), A::No, true, false},
        {"stored blank", QByteArray(" "), A::No, true, false},
    };
    for (const Case &c : cases) {
        boxes.clear();
        started.clear();
        QFile::remove(suite.onDrive(QStringLiteral("KORVAX/ROWLNS32/rowlns32.ini")));
        QFile::remove(suite.onDrive(scriptPath()));
        if (c.stored)
            store(*c.stored);
        answer = [&c](const Vexa32::MessageRequest &) { return c.reply; };

        const auto form = Startup::Main(QString());

        ASSERT_EQ(boxes.size(), c.asked ? 1u : 0u) << c.name;
        if (c.asked) {
            EXPECT_EQ(boxes[0].title, QStringLiteral("Welcome to Korvax Manager ROWLENS32"));
            EXPECT_EQ(boxes[0].text, kQuestion);
            EXPECT_EQ(boxes[0].buttons, Vexa32::MessageButtons::YesNo);
            EXPECT_EQ(boxes[0].defaultButton, A::Yes);
        }
        EXPECT_EQ(suite.exists(scriptPath()), c.associated) << c.name;
        EXPECT_EQ(started.size(), c.associated ? 1 : 0) << c.name;
        EXPECT_EQ(storedSetting(), c.associated ? QStringLiteral("1") : QStringLiteral("0"))
            << c.name;
    }
    // The answer holds at the next start.
    boxes.clear();
    const auto form = Startup::Main(QString());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(TBLMainTest, CommandLineDecidesTheWaitAndTheFileLoaded)
{
    store("0");
    const QString ships = tableFile(QStringLiteral("ships.tbl"));
    struct Case
    {
        QStringList arguments;
        bool waited;
        QString loaded;
    };
    const Case cases[] = {
        {{}, true, QString()},
        {{QStringLiteral("n/a")}, true, QString()},
        {{QStringLiteral("   ")}, true, QString()},
        {{u'"' + ships + u'"'}, false, ships},
        // A path with a blank, split by the shell and joined again.
        {ships.split(u' '), false, ships},
        {{u'"' + suite.root() + QStringLiteral("/missing.tbl\"")}, false, QString()},
        {{u'"' + ships + u'"', u'"' + ships + u'"'}, false, QString()},
    };
    for (const Case &c : cases) {
        waits.clear();
        const auto form = Startup::Main(Startup::CommandLineFromArguments(c.arguments));
        const QString shown = c.arguments.join(u'|');
        EXPECT_EQ(waits, c.waited ? std::vector<int>{3000} : std::vector<int>{})
            << qPrintable(shown);
        EXPECT_EQ(Startup::CurrentSplash(), nullptr) << qPrintable(shown);
        EXPECT_TRUE(form->isVisible()) << qPrintable(shown);
        EXPECT_EQ(form->CurrentFile(), c.loaded) << qPrintable(shown);
        EXPECT_TRUE(boxes.empty()) << qPrintable(shown);
    }
}

TEST_F(TBLMainTest, UnreadableCommandLineFileIsReportedAndTheWindowStays)
{
    store("0");
    const QString locked = tableFile(QStringLiteral("locked.tbl"));
    QFile::setPermissions(locked, QFileDevice::Permissions());
    if (QFile probe(locked); probe.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "file permissions do not apply to this user";

    QStringList reported;
    QTimer closer;
    closer.setInterval(5);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            reported << Vexa32::ErrorHeaderText;
            modal->close();
        }
    });
    closer.start();
    const auto form = Startup::Main(u'"' + locked + u'"');
    closer.stop();

    EXPECT_EQ(reported.size(), 1);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->CurrentFile(), QString());
}

} // namespace
