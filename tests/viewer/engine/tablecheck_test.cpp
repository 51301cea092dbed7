// The checker on large sections: record names repeated close together and far apart are
// all found, in a section big enough that names are settled in batches. The kinds
// themselves are covered by tbldump's golden files.

#include "viewer/engine/tablecheck.h"

#include <QByteArray>
#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

using namespace Engine;

namespace {

TEST(TableCheck, FindsEveryRepeatedRecordNameInABigSection)
{
    constexpr int Records = 10000;
    // Record i is named after i, except these, named after an earlier record.
    struct Repeat
    {
        int record;
        int sameAs;
    };
    const Repeat repeats[] = {{5001, 5000}, {5010, 5000}, {8000, 5000}, {9999, 3}, {7, 6}};
    QByteArray text = "#Big\r\n";
    std::vector<qint64> expected;
    for (int i = 0; i < Records; ++i) {
        int name = i;
        for (const Repeat &r : repeats) {
            if (r.record == i)
                name = r.sameAs;
        }
        if (name != i)
            expected.push_back(2 + i);
        text += "$Name: Ship " + QByteArray::number(name) + "\r\n";
    }
    // The section's name on a second block: the names there count too.
    text += "#Other\r\n$Name: Ship 1\r\n#Big\r\n$Name: Ship 1\r\n";
    expected.push_back(2 + Records + 3);

    std::vector<qint64> found;
    for (const TableProblem &p : Engine::CheckTableBytes(text)) {
        EXPECT_EQ(p.kind, TableProblem::Kind::DuplicateName) << p.message.toStdString();
        EXPECT_EQ(p.section, QStringLiteral("Big"));
        found.push_back(p.line);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected);
}

TEST(TableCheck, EmptyAndMarkOnlyFilesHaveNoProblems)
{
    EXPECT_TRUE(Engine::CheckTableBytes(QByteArrayView()).empty());
    EXPECT_TRUE(Engine::CheckTableBytes("\xEF\xBB\xBF").empty());
    EXPECT_TRUE(Engine::CheckTableBytes("\r\n\n\r").empty());
}

} // namespace
