// tbldump's command line: exit status and messages, and a section of more records than a
// 16-bit count can hold, generated here rather than kept as a fixture.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct DumpResult
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

DumpResult tbldump(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(TBLDUMP_PATH), args);
    DumpResult run;
    if (!process.waitForFinished(120000))
        return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

TEST(TbldumpCli, ExitStatusAndMessages)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString table = dir.filePath(QStringLiteral("t.tbl"));
    QFile file(table);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#Items\r\n$Name: Lamp\r\n");
    file.close();
    const QString missing = dir.filePath(QStringLiteral("missing.tbl"));
    const QString changed = dir.filePath(QStringLiteral("changed.tbl"));
    QFile other(changed);
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("#Items\r\n$Name: Rope\r\n");
    other.close();
    const QString diff = QStringLiteral("--diff");

    struct Case
    {
        QStringList args;
        int exitCode;
        const char *stderrHas; // nullptr: stderr stays empty
    };
    const Case cases[] = {
        {{table}, 0, nullptr},
        {{missing}, 1, "No such file"},
        {{missing, QStringLiteral("Items")}, 1, "No such file"},
        {{dir.path(), QStringLiteral("Items")}, 1, "Is a folder"},
        {{}, 2, "no table file given"},
        {{QStringLiteral("--bogus"), table}, 2, "unknown option"},
        {{QStringLiteral("--sort"), QStringLiteral("0"), table}, 2, "--sort"},
        {{QStringLiteral("--sort"), QStringLiteral("x"), table}, 2, "--sort"},
        {{table, QStringLiteral("--sort")}, 2, "missing value after '--sort'"},
        {{QStringLiteral("-x"), table}, 2, "unknown option '-x'"},
        {{QStringLiteral("--csv"), QStringLiteral("--json"), table}, 2, "exclude"},
        {{table, QStringLiteral("Items"), QStringLiteral("more")}, 2, "too many"},
        {{QStringLiteral("--"), table, QStringLiteral("Items")}, 0, nullptr},
        {{QStringLiteral("--check"), table}, 0, nullptr},
        {{QStringLiteral("--check"), missing}, 1, "No such file"},
        {{QStringLiteral("--check"), QStringLiteral("--json"), dir.path()}, 1, "Is a folder"},
        {{QStringLiteral("--check"), table, QStringLiteral("Items")}, 2, "one table file"},
        {{QStringLiteral("--check"), QStringLiteral("--csv"), table}, 2, "--check"},
        {{QStringLiteral("--check"), QStringLiteral("--sort"), QStringLiteral("2"), table},
         2,
         "--check"},
        {{diff, table, table}, 0, nullptr},
        {{diff, table, changed}, 3, nullptr},
        {{diff, QStringLiteral("--json"), table, changed, QStringLiteral("Items")}, 3, nullptr},
        {{diff, table, changed, QStringLiteral("Other")}, 0, nullptr},
        {{diff, missing, changed}, 1, "missing.tbl: No such file"},
        {{diff, table, dir.path()}, 1, "Is a folder"},
        {{diff, table}, 2, "two table files"},
        {{diff, table, changed, QStringLiteral("Items"), QStringLiteral("more")}, 2, "too many"},
        {{diff, QStringLiteral("--csv"), table, changed}, 2, "--csv"},
        {{diff, QStringLiteral("--sort"), QStringLiteral("2"), table, changed}, 2, "--sort"},
        {{diff, QStringLiteral("--check"), table, changed}, 2, "exclude"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const DumpResult run = tbldump(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode);
        if (c.stderrHas) {
            EXPECT_TRUE(run.err.contains(c.stderrHas)) << run.err.toStdString();
            if (c.exitCode == 1) {
                EXPECT_EQ(run.err.count('\n'), 1) << "one line expected";
                EXPECT_TRUE(run.out.isEmpty());
            }
            if (c.exitCode == 2) {
                // What is wrong, then where help is; not the whole help.
                EXPECT_EQ(run.err.count('\n'), 2) << run.err.toStdString();
                EXPECT_TRUE(run.err.endsWith("\nTry 'tbldump --help'.\n"));
                EXPECT_TRUE(run.out.isEmpty());
            }
        } else {
            EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
        }
    }

    if (QFile::exists(QStringLiteral("/dev/full"))) {
        // Output that cannot be written is a failure, not a dump.
        QProcess full;
        full.setStandardOutputFile(QStringLiteral("/dev/full"));
        for (const QStringList &args :
             {QStringList{table, QStringLiteral("Items")}, QStringList{diff, table, changed}}) {
            full.start(QStringLiteral(TBLDUMP_PATH), args);
            ASSERT_TRUE(full.waitForFinished(60000));
            EXPECT_EQ(full.exitCode(), 1);
            EXPECT_TRUE(full.readAllStandardError().contains("cannot write"));
        }
    }

    const DumpResult help = tbldump({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: tbldump"));
    EXPECT_TRUE(help.out.contains("--version"));

    const DumpResult version = tbldump({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "tbldump " + QByteArray::number(ROWLENS_VERSION_MAJOR) + '.' +
                               QByteArray::number(ROWLENS_VERSION_MINOR) + '.' +
                               QByteArray::number(ROWLENS_VERSION_PATCH) + '\n');
}

// More than 32767 records with a numeric column format and sort like any other section.
TEST(TbldumpCli, SectionBeyondSixteenBitCounts)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString table = dir.filePath(QStringLiteral("big.tbl"));
    constexpr int Records = 40000;
    QByteArray text("#Cargo\r\n");
    for (int i = 0; i < Records; ++i) {
        text += "$Name: Crate " + QByteArray::number(i) + "\r\n";
        // Alternately whole and one-decimal values, descending.
        text += "$Mass: " + QByteArray::number(Records - i) + (i % 2 ? ".5" : "") + "\r\n";
    }
    QFile file(table);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();

    const DumpResult listed = tbldump({table, QStringLiteral("Cargo")});
    ASSERT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    const QList<QByteArray> lines = listed.out.split('\n');
    ASSERT_EQ(lines.size(), Records + 2); // titles, the rows, the empty rest
    EXPECT_EQ(lines[1], "Crate 0\t     40000.0");
    EXPECT_EQ(lines[32769], "Crate 32768\t      7232.0");
    EXPECT_EQ(lines[Records], "Crate 39999\t         1.5");

    const DumpResult sorted =
        tbldump({QStringLiteral("--sort"), QStringLiteral("2"), table, QStringLiteral("Cargo")});
    ASSERT_EQ(sorted.exitCode, 0);
    const QList<QByteArray> rows = sorted.out.split('\n');
    ASSERT_EQ(rows.size(), Records + 2);
    EXPECT_EQ(rows[1], "Crate 39999\t         1.5");
    EXPECT_EQ(rows[Records], "Crate 0\t     40000.0");
}

} // namespace
