// Golden-file cases for tbldump: each tests/data/golden/<case>.tbl is dumped with the real
// tbldump binary and compared byte for byte with <case>.out.
//
// A line of the table file that starts with "; tbldump:" holds the arguments (it is a
// comment to the parser): blanks separate them, "..." quotes one, and @ stands for the
// table file (by its name: tbldump runs in the file's folder). Without such a line the
// arguments are just the file. The exit status must be 0, or 3 for a --check that reports
// problems. Setting ROWLENS_UPDATE_GOLDEN=1 writes the .out files instead (check them
// before committing).
//
// Comparison cases: each folder tests/data/golden_diff/<case>/ holds old.tbl, new.tbl and
// expected.out. The arguments come from a "; tbldump:" line of old.tbl, where @old and @new
// stand for the two files (without one: --diff @old @new); tbldump runs in the case's
// folder. The expected exit status comes from a line "; status: N" there (without one: 0).

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <gtest/gtest.h>
#include <optional>
#include <utility>
#include <vector>

namespace {

const QString GoldenDir = QStringLiteral(ROWLENS_TEST_DATA "/golden");
const QString DiffGoldenDir = QStringLiteral(ROWLENS_TEST_DATA "/golden_diff");

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

std::vector<std::string> diffGoldenCases()
{
    std::vector<std::string> cases;
    for (const QString &dir :
         QDir(DiffGoldenDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        cases.push_back(dir.toStdString());
    return cases;
}

// Placeholder arguments and the paths they stand for.
using Placeholders = std::vector<std::pair<QString, QString>>;

QString expand(const QString &arg, const Placeholders &placeholders)
{
    for (const auto &[name, path] : placeholders) {
        if (arg == name)
            return path;
    }
    return arg;
}

QStringList splitArguments(const QString &text, const Placeholders &placeholders)
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
                args.append(expand(current, placeholders));
            current.clear();
            any = false;
        } else {
            current.append(c);
            any = true;
        }
    }
    if (any)
        args.append(expand(current, placeholders));
    return args;
}

// The rest of the first line of table that starts with marker, if any.
std::optional<QString> commentLine(const QByteArray &table, const QByteArray &marker)
{
    qsizetype start = table.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (start < table.size()) {
        qsizetype end = start;
        while (end < table.size() && table[end] != '\r' && table[end] != '\n')
            ++end;
        const QByteArray line = table.mid(start, end - start);
        if (line.startsWith(marker))
            return QString::fromUtf8(line.mid(marker.size()));
        start = end + 1;
    }
    return std::nullopt;
}

QStringList argumentsFor(const QByteArray &table, const QString &tablePath)
{
    const std::optional<QString> line = commentLine(table, "; tbldump:");
    return line ? splitArguments(*line, {{QStringLiteral("@"), tablePath}})
                : QStringList{tablePath};
}

struct TbldumpRun
{
    int exitCode = -1;
    QByteArray output;
};

TbldumpRun runTbldump(const QStringList &args, const QString &workingDirectory)
{
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    process.start(QStringLiteral(TBLDUMP_PATH), args);
    TbldumpRun run;
    if (!process.waitForFinished(60000)) {
        ADD_FAILURE() << "tbldump did not finish";
        return run;
    }
    run.output = process.readAllStandardOutput();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    run.exitCode = process.exitCode();
    const QByteArray errors = process.readAllStandardError();
    if (!errors.isEmpty())
        std::fprintf(stderr, "%s", errors.constData());
    return run;
}

// Compares output with expectedPath, or writes it there when asked to.
void checkOutput(const QByteArray &output, const QStringList &args, const QString &expectedPath)
{
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

    const TbldumpRun run = runTbldump(args, GoldenDir);
    // --check ends with 3 when it reports problems.
    const bool problems = !run.output.isEmpty() && run.output != "[]\n";
    const int exitCode = args.contains(QStringLiteral("--check")) && problems ? 3 : 0;
    EXPECT_EQ(run.exitCode, exitCode);
    checkOutput(run.output, args, base + QStringLiteral(".out"));
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenTest, testing::ValuesIn(goldenCases()),
                         [](const testing::TestParamInfo<std::string> &info) {
                             return info.param;
                         });

class DiffGoldenTest : public testing::TestWithParam<std::string>
{
};

TEST_P(DiffGoldenTest, ComparisonMatches)
{
    const QString dir = DiffGoldenDir + u'/' + QString::fromStdString(GetParam());
    const QByteArray old = readFile(dir + QStringLiteral("/old.tbl"));
    const Placeholders placeholders = {{QStringLiteral("@old"), QStringLiteral("old.tbl")},
                                       {QStringLiteral("@new"), QStringLiteral("new.tbl")}};
    const QStringList args = splitArguments(
        commentLine(old, "; tbldump:").value_or(QStringLiteral("--diff @old @new")), placeholders);
    const int status = commentLine(old, "; status:").value_or(QStringLiteral("0")).toInt();
    const TbldumpRun run = runTbldump(args, dir);
    EXPECT_EQ(run.exitCode, status);
    checkOutput(run.output, args, dir + QStringLiteral("/expected.out"));
}

INSTANTIATE_TEST_SUITE_P(Cases, DiffGoldenTest, testing::ValuesIn(diffGoldenCases()),
                         [](const testing::TestParamInfo<std::string> &info) {
                             return info.param;
                         });

} // namespace
