// Golden-file cases for tbldump: each tests/data/golden/<case>.tbl is dumped with the real
// tbldump binary and compared byte for byte with <case>.out.
//
// A line of the table file that starts with "; tbldump:" holds the arguments (it is a
// comment to the parser): blanks separate them, "..." quotes one, and @ stands for the
// table file (by its name: tbldump runs in the file's folder). Without such a line the
// arguments are just the file. The exit status must be 0, or 3 for a --check that reports
// problems. Setting ROWLENS_UPDATE_GOLDEN=1 writes the .out files instead (check them
// before committing).

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

const QString GoldenDir = QStringLiteral(ROWLENS_TEST_DATA "/golden");

std::vector<std::string> goldenCases()
{
    std::vector<std::string> cases;
    const QStringList files =
        QDir(GoldenDir).entryList({QStringLiteral("*.tbl")}, QDir::Files, QDir::Name);
    for (const QString &file : files)
        cases.push_back(file.chopped(4).toStdString());
    return cases;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QStringList splitArguments(const QString &text, const QString &tablePath)
{
    QStringList args;
    QString current;
    bool quoted = false;
    bool any = false;
    for (const QChar c : text) {
        if (c == u'"') {
            quoted = !quoted;
            any = true;
        } else if (c == u' ' && !quoted) {
            if (any)
                args.append(current == u"@" ? tablePath : current);
            current.clear();
            any = false;
        } else {
            current.append(c);
            any = true;
        }
    }
    if (any)
        args.append(current == u"@" ? tablePath : current);
    return args;
}

QStringList argumentsFor(const QByteArray &table, const QString &tablePath)
{
    const QByteArray marker("; tbldump:");
    qsizetype start = table.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (start < table.size()) {
        qsizetype end = start;
        while (end < table.size() && table[end] != '\r' && table[end] != '\n')
            ++end;
        const QByteArray line = table.mid(start, end - start);
        if (line.startsWith(marker))
            return splitArguments(QString::fromUtf8(line.mid(marker.size())), tablePath);
        start = end + 1;
    }
    return {tablePath};
}

class GoldenTest : public testing::TestWithParam<std::string>
{
};

TEST_P(GoldenTest, DumpMatches)
{
    const QString base = GoldenDir + u'/' + QString::fromStdString(GetParam());
    const QString tablePath = base + QStringLiteral(".tbl");
    // Run in the folder with the file's own name, so that outputs naming it are the same
    // on every machine.
    const QString tableName = QString::fromStdString(GetParam()) + QStringLiteral(".tbl");
    const QStringList args = argumentsFor(readFile(tablePath), tableName);

    QProcess process;
    process.setWorkingDirectory(GoldenDir);
    process.start(QStringLiteral(TBLDUMP_PATH), args);
    ASSERT_TRUE(process.waitForFinished(60000)) << "tbldump did not finish";
    const QByteArray output = process.readAllStandardOutput();
    // --check ends with 3 when it reports problems.
    const bool problems = !output.isEmpty() && output != "[]\n";
    const int exitCode = args.contains(QStringLiteral("--check")) && problems ? 3 : 0;
    EXPECT_EQ(process.exitCode(), exitCode) << process.readAllStandardError().toStdString();

    const QString expectedPath = base + QStringLiteral(".out");
    if (qEnvironmentVariableIntValue("ROWLENS_UPDATE_GOLDEN") == 1) {
        QFile out(expectedPath);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(output);
        return;
    }
    ASSERT_TRUE(QFile::exists(expectedPath)) << "missing " << expectedPath.toStdString();
    EXPECT_EQ(output.toStdString(), readFile(expectedPath).toStdString())
        << "arguments: " << args.join(u' ').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenTest, testing::ValuesIn(goldenCases()),
                         [](const testing::TestParamInfo<std::string> &info) {
                             return info.param;
                         });

} // namespace
