// Comparing two table files: record matching and the order of the differences, values
// compared before formatting, which sections are compared, and files that cannot be read.

#include "tests/viewer/engine/qstring_printer.h"
#include "viewer/engine/tablediff.h"
#include "viewer/engine/tableloader.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Engine;

namespace {

// One line per difference: "- NAME #k", "~ NAME #k FIELD: OLD -> NEW", "+ NAME #k".
QStringList describe(const SectionDiff &diff)
{
    QStringList lines;
    for (const SectionDiff::Record &r : diff.removed)
        lines.append(QStringLiteral("- %1 #%2").arg(diff.removedName(r)).arg(r.occurrence));
    for (const SectionDiff::FieldChange &c : diff.changed)
        lines.append(QStringLiteral("~ %1 #%2 %3: %4 -> %5")
                         .arg(diff.name(c))
                         .arg(c.occurrence)
                         .arg(diff.field(c), diff.oldValue(c), diff.newValue(c)));
    for (const SectionDiff::Record &r : diff.added)
        lines.append(QStringLiteral("+ %1 #%2").arg(diff.addedName(r)).arg(r.occurrence));
    return lines;
}

QStringList captions(const TableComparison &comparison)
{
    QStringList result;
    for (const SectionDiff &section : comparison.sections)
        result.append(section.caption);
    return result;
}

class TableDiffTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    TableComparison compare(const QByteArray &before, const QByteArray &after,
                            const std::optional<QString> &only = std::nullopt)
    {
        return Engine::CompareFiles(write(QStringLiteral("old.tbl"), before),
                                    write(QStringLiteral("new.tbl"), after), only);
    }

    QTemporaryDir m_dir;
};

TEST_F(TableDiffTest, RecordsMatchByNameThenOccurrenceAndChangesComeInFileOrder)
{
    const TableComparison comparison =
        compare("#Items\r\n"
                "$Name: Lamp\r\n$Size: 1\r\n$Colour: red\r\n$Old: x\r\n"
                "$Name: Rope\r\n$Size: 2\r\n"
                "$Name: Lamp\r\n$Size: 3\r\n"
                "$Name: Gone\r\n$Size: 4\r\n"
                "$Name: Lamp\r\n$Size: 5\r\n",
                "#Items\r\n"
                "$Name: Rope\r\n$Weight: 7\r\n$Size: 2\r\n"
                "$Name: Lamp\r\n$Size: 1\r\n$Colour: blue\r\n"
                "$Name: New\r\n$Size: 9\r\n"
                "$Name: Lamp\r\n$Size: 30\r\n");
    ASSERT_EQ(comparison.sections.size(), 1u);
    EXPECT_TRUE(comparison.differs());
    EXPECT_EQ(describe(comparison.sections[0]),
              (QStringList{
                  QStringLiteral("- Gone #1"),
                  QStringLiteral("- Lamp #3"),
                  // The new file's record order, its column order, then the old-only field.
                  QStringLiteral("~ Rope #1 Weight:  -> 7"),
                  QStringLiteral("~ Lamp #1 Colour: red -> blue"),
                  QStringLiteral("~ Lamp #1 Old: x -> "),
                  QStringLiteral("~ Lamp #2 Size: 3 -> 30"),
                  QStringLiteral("+ New #1"),
              }));
}

TEST_F(TableDiffTest, ValuesAreComparedAsReadNotAsFormatted)
{
    // A longer decimal in the new file pads every cell of the column when listed; only
    // the record whose value changed differs. Text that reads as the same number does not.
    const TableComparison comparison = compare("#Ships\n$Name: A\n$Mass: 1.5\n"
                                               "$Name: B\n$Mass: 2\n"
                                               "$Name: C\n$Mass: 1.5\n"
                                               "$Name: D\n$Mass:\t7\t; old\n",
                                               "#Ships\n$Name: A\n$Mass: 1.5\n"
                                               "$Name: B\n$Mass: 2.25\n"
                                               "$Name: C\n$Mass: 1.50\n"
                                               "$Name: D\n$Mass: 7 ; new\n");
    ASSERT_EQ(comparison.sections.size(), 1u);
    EXPECT_EQ(describe(comparison.sections[0]),
              (QStringList{QStringLiteral("~ B #1 Mass: 2 -> 2.25"),
                           QStringLiteral("~ C #1 Mass: 1.5 -> 1.50")}));
}

TEST_F(TableDiffTest, AMissingFieldCountsAsEmpty)
{
    // A column only one side has, and a field only some records have, differ only where a
    // record has a value; a field line before the first record adds a column and nothing else.
    const TableComparison comparison =
        compare("#S\n$Gone:\n$Name: A\n$Old: \n$Name: B\n$Old: b\n$Name: C\n$Both: c\n",
                "#S\n$Name: A\n$Extra: \n$Name: B\n$Name: C\n$Both: c\n$Extra: e\n");
    ASSERT_EQ(comparison.sections.size(), 1u);
    EXPECT_EQ(
        describe(comparison.sections[0]),
        (QStringList{QStringLiteral("~ B #1 Old: b -> "), QStringLiteral("~ C #1 Extra:  -> e")}));
}

TEST_F(TableDiffTest, SectionsAreTheTabsOfEitherFileInOrder)
{
    const QByteArray before = "#A\n$Name: a1\n"
                              "#B\n$Name: b1\n"
                              "#B End\n$Name: hidden\n"
                              "#<Unparsed contents>\n$Name: u\n"
                              "#A\n$Name: a2\n";
    const QByteArray after = "#C\n$Name: c1\n"
                             "#B\n$Name: b1\n"
                             "#<Unparsed contents>\n$Name: v\n"
                             "#D\t; new\n$Name: d1\n"
                             "#C\n$Name: c2\n";
    const TableComparison comparison = compare(before, after);
    EXPECT_EQ(captions(comparison), (QStringList{QStringLiteral("A"), QStringLiteral("B"),
                                                 QStringLiteral("C"), QStringLiteral("D")}));
    // Both blocks of a name together; a section only one file has is compared with nothing.
    EXPECT_EQ(describe(comparison.sections[0]),
              (QStringList{QStringLiteral("- a1 #1"), QStringLiteral("- a2 #1")}));
    EXPECT_FALSE(comparison.sections[1].differs());
    EXPECT_EQ(describe(comparison.sections[2]),
              (QStringList{QStringLiteral("+ c1 #1"), QStringLiteral("+ c2 #1")}));
    EXPECT_EQ(describe(comparison.sections[3]), (QStringList{QStringLiteral("+ d1 #1")}));
    ASSERT_NE(comparison.section(u"C"), nullptr);
    EXPECT_EQ(comparison.section(u"C")->newListing.rowCount(), 2);
    EXPECT_EQ(comparison.section(u"C")->oldListing.rowCount(), 0);

    // One caption only; a caption neither file has compares nothing.
    EXPECT_EQ(captions(compare(before, after, QStringLiteral("B"))),
              (QStringList{QStringLiteral("B")}));
    EXPECT_FALSE(compare(before, after, QStringLiteral("B")).differs());
    EXPECT_TRUE(compare(before, after, QStringLiteral("Nope")).sections.empty());
    EXPECT_TRUE(compare(before, after, QStringLiteral("<Unparsed contents>")).sections.empty());
}

TEST_F(TableDiffTest, IdenticalContentInOtherLineEndsAndEncodingsDoesNotDiffer)
{
    // CR-only against CR LF, Windows-1252 against UTF-8 with a byte-order mark.
    const TableComparison comparison =
        compare("#Caf\xE9\r$Name: \xE9t\xE9\r$Size: 1\r",
                "\xEF\xBB\xBF#Caf\xC3\xA9\r\n$Name: \xC3\xA9t\xC3\xA9\r\n$Size: 1\r\n");
    EXPECT_EQ(captions(comparison), (QStringList{QStringLiteral("Caf\u00E9")}));
    EXPECT_FALSE(comparison.differs());
}

TEST_F(TableDiffTest, AFileThatCannotBeReadIsNamed)
{
    const QString present = write(QStringLiteral("present.tbl"), "#A\n$Name: a\n");
    const QString missing = m_dir.filePath(QStringLiteral("missing.tbl"));
    for (const auto &[before, after] : {std::pair{missing, present}, std::pair{present, missing},
                                        std::pair{present, m_dir.path()}}) {
        try {
            Engine::CompareFiles(before, after);
            ADD_FAILURE() << "no error for " << before.toStdString() << " " << after.toStdString();
        } catch (const LoadError &error) {
            EXPECT_EQ(error.fileName(), before == present ? after : before);
        }
    }
}

} // namespace
