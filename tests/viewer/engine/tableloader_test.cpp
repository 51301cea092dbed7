// LoadFile against a headless window: the window's end state in each mode, the "##"
// section in the open mode, large files read in pieces, and failures that change nothing.

#include "tests/viewer/engine/qstring_printer.h"
#include "viewer/engine/headlesswindow.h"
#include "viewer/engine/tableloader.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Engine;

namespace {

const QString Unparsed = QStringLiteral("<Unparsed contents>");

class TableLoaderTest : public testing::Test
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

    static QStringList column(const TableListModel &model, int c)
    {
        QStringList cells;
        for (int row = 0; row < model.rowCount(); ++row)
            cells.append(model.cellText(row, c));
        return cells;
    }

    static QStringList titles(const TableListModel &model)
    {
        QStringList result;
        for (int c = 0; c < model.columnCount(); ++c)
            result.append(model.listing().column(c).title);
        return result;
    }

    QTemporaryDir m_dir;
};

const QByteArray Ships = "; ships\r\n"
                         "#Ships\t; the fleet\r\n"
                         "$Name: Kestrel\r\n"
                         "$Mass: 1.5\r\n"
                         "$Name: Heron\r\n"
                         "$Mass: 2\r\n"
                         "#Ships End\r\n"
                         "#Cargo\r\n"
                         "$Name: Crate\r\n";

TEST_F(TableLoaderTest, OpeningBuildsTabsAndShowsTheRawText)
{
    const QString path = write(QStringLiteral("ships.tbl"), Ships);
    HeadlessTableWindow window;
    Engine::LoadFile(window, path, QStringLiteral("#"));

    EXPECT_EQ(window.tabs(),
              (QStringList{Unparsed, QStringLiteral("Ships"), QStringLiteral("Cargo")}));
    EXPECT_EQ(window.caption(), QStringLiteral("Korvax Manager ROWLENS32 - [") + path + u']');
    EXPECT_EQ(window.statusPanel(1), QStringLiteral("Ready"));
    EXPECT_EQ(window.statusPanel(2), QString());
    EXPECT_EQ(window.currentFile(), path);
    EXPECT_EQ(window.rawTextFile(), path);
    EXPECT_TRUE(window.rawVisible());
    EXPECT_FALSE(window.listVisible());
    EXPECT_FALSE(window.placeholderVisible());
    EXPECT_FALSE(window.busyPointer());
    EXPECT_TRUE(window.listReportView());
    // The list is not touched by opening: it has no columns yet.
    EXPECT_EQ(window.listModel().columnCount(), 0);
}

TEST_F(TableLoaderTest, ASectionTabListsItsRecordsFromTheFileAsItIsNow)
{
    const QString path = write(QStringLiteral("ships.tbl"), Ships);
    HeadlessTableWindow window;
    Engine::LoadFile(window, path, QStringLiteral("#"));
    window.clickTab(QStringLiteral("Ships"));

    const TableListModel &model = window.listModel();
    EXPECT_EQ(titles(model), (QStringList{QStringLiteral("Name"), QStringLiteral("Mass")}));
    EXPECT_EQ(model.listing().column(0).widthTwips, 2000);
    EXPECT_EQ(column(model, 0), (QStringList{QStringLiteral("Kestrel"), QStringLiteral("Heron")}));
    EXPECT_EQ(column(model, 1),
              (QStringList{QStringLiteral("         1.5"), QStringLiteral("         2.0")}));
    EXPECT_TRUE(window.listVisible());
    EXPECT_FALSE(window.rawVisible());
    EXPECT_EQ(window.tabs().size(), 3);

    // Edited on disk: the next click reads it again; the tabs stay as they were.
    write(QStringLiteral("ships.tbl"), "#Ships\r\n$Name: Ibis\r\n#Docks\r\n");
    window.clickTab(QStringLiteral("Ships"));
    EXPECT_EQ(column(model, 0), QStringList{QStringLiteral("Ibis")});
    EXPECT_EQ(window.tabs().size(), 3);

    // The raw text tab clears the list to its "Name" column and shows the raw text.
    window.clickTab(Unparsed);
    EXPECT_EQ(titles(model), QStringList{QStringLiteral("Name")});
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_TRUE(window.rawVisible());
    EXPECT_FALSE(window.listVisible());
}

TEST_F(TableLoaderTest, ASectionNamedHashJoinsTheListLeftFromBeforeWhenOpening)
{
    const QString path =
        write(QStringLiteral("hash.tbl"), "#Ships\r\n$Name: Kestrel\r\n$Mass: 1.5\r\n"
                                          "##\r\n$Name: Extra\r\n$Mass: 2.125\r\n$Crew: 4\r\n");
    HeadlessTableWindow window;
    Engine::LoadFile(window, path, QStringLiteral("#"));
    window.clickTab(QStringLiteral("Ships"));
    Engine::LoadFile(window, path, QStringLiteral("#"));

    const TableListModel &model = window.listModel();
    EXPECT_EQ(window.tabs(), (QStringList{Unparsed, QStringLiteral("Ships"), QStringLiteral("#")}));
    EXPECT_EQ(titles(model), (QStringList{QStringLiteral("Name"), QStringLiteral("Mass"),
                                          QStringLiteral("Crew")}));
    EXPECT_EQ(column(model, 0), (QStringList{QStringLiteral("Kestrel"), QStringLiteral("Extra")}));
    // Formatted once more with the joined rows' decimal count.
    EXPECT_EQ(column(model, 1),
              (QStringList{QStringLiteral("       1.500"), QStringLiteral("       2.125")}));
    EXPECT_EQ(column(model, 2),
              (QStringList{QStringLiteral("            "), QStringLiteral("           4")}));
    EXPECT_FALSE(window.listVisible());
}

// A window whose list keeps a selected row across loads.
class SelectingWindow : public HeadlessTableWindow
{
public:
    std::optional<int> selectedRow() const override { return 1; }
};

TEST_F(TableLoaderTest, TheSelectedDisplayRowNamesItsRecordAfterALoad)
{
    const QString path = write(QStringLiteral("s.tbl"), "#S\r\n$Name: b\r\n$Name: c\r\n"
                                                        "$Name: a\r\n");
    SelectingWindow window;
    window.clickColumn(0);
    Engine::LoadFile(window, path, QStringLiteral("#"));
    EXPECT_EQ(window.statusPanel(2), QString()); // the list is hidden
    Engine::LoadFile(window, path, QStringLiteral("S"));
    EXPECT_EQ(window.statusPanel(2), QStringLiteral("b")); // display row 1 of a, b, c
}

TEST_F(TableLoaderTest, AFileThatCannotBeReadChangesNothing)
{
    const QString path = write(QStringLiteral("ships.tbl"), Ships);
    const QString locked = write(QStringLiteral("locked.tbl"), Ships);
    QFile::setPermissions(locked, QFileDevice::Permissions());
    const bool lockedReadable = QFile(locked).open(QIODevice::ReadOnly); // root reads anyway

    HeadlessTableWindow window;
    Engine::LoadFile(window, path, QStringLiteral("#"));
    window.clickTab(QStringLiteral("Ships"));
    window.setStatusPanel(2, QStringLiteral("Kestrel"));

    struct Failure
    {
        QString path;
        QString reason;
    };
    std::vector<Failure> failures = {
        {m_dir.filePath(QStringLiteral("missing.tbl")), QStringLiteral("No such file")},
        {m_dir.path(), QStringLiteral("Is a folder")},
    };
    if (!lockedReadable)
        failures.push_back({locked, QStringLiteral("Permission denied")});
    for (const Failure &f : failures) {
        for (const QString &caption : {QStringLiteral("#"), QStringLiteral("Ships")}) {
            SCOPED_TRACE((f.path + u' ' + caption).toStdString());
            try {
                Engine::LoadFile(window, f.path, caption);
                ADD_FAILURE() << "no error";
            } catch (const LoadError &error) {
                EXPECT_EQ(error.reason(), f.reason);
                EXPECT_EQ(error.message(), QStringLiteral("Cannot read ") + f.path +
                                               QStringLiteral(": ") + f.reason);
            }
            EXPECT_EQ(window.tabs().size(), 3);
            EXPECT_EQ(window.listModel().rowCount(), 2);
            EXPECT_EQ(window.currentFile(), path);
            EXPECT_EQ(window.caption(),
                      QStringLiteral("Korvax Manager ROWLENS32 - [") + path + u']');
            EXPECT_EQ(window.statusPanel(1), QStringLiteral("Ready"));
            EXPECT_EQ(window.statusPanel(2), QStringLiteral("Kestrel"));
            EXPECT_FALSE(window.busyPointer());
            EXPECT_TRUE(window.listVisible());
        }
    }
    if (lockedReadable)
        GTEST_SKIP() << "running as a user that reads any file; permission case skipped";
}

TEST_F(TableLoaderTest, LargeFilesAreReadInPiecesWithoutLosingLines)
{
    // Several megabytes, so lines cross the reading pieces: one value longer than a
    // piece, valid UTF-8 at the start and a lone Windows-1252 byte near the end, which
    // makes the whole file Windows-1252.
    QByteArray text = "#Big\r\n$Name: Caf\xC3\xA9\r\n";
    const QByteArray longValue(5 << 20, 'x');
    text += "$Long: " + longValue + "\r\n";
    constexpr int Records = 150000;
    for (int i = 0; i < Records; ++i)
        text += "$Name: R" + QByteArray::number(i) + "\n$Mass: " + QByteArray::number(i) + ".25\n";
    text += "$Name: Cr\xE8me\r";
    const QString path = write(QStringLiteral("big.tbl"), text);

    HeadlessTableWindow window;
    Engine::LoadFile(window, path, QStringLiteral("Big"));
    const TableListModel &model = window.listModel();
    ASSERT_EQ(model.rowCount(), Records + 2);
    EXPECT_EQ(model.cellText(0, 0), QStringLiteral("Caf\u00c3\u00a9"));
    EXPECT_EQ(model.cellText(0, 1).size(), longValue.size());
    EXPECT_EQ(model.cellText(Records + 1, 0), QStringLiteral("Cr\u00e8me"));
    EXPECT_EQ(model.cellText(Records, 0), QStringLiteral("R%1").arg(Records - 1));
    EXPECT_EQ(model.cellText(Records, 2), QStringLiteral("   149999.25"));
    EXPECT_EQ(model.cellText(77777, 2), QStringLiteral("    77776.25"));
}

// Lines of other sections are skipped quickly up to the next header; headers that cross
// the boundary between two reading pieces, or start right at one, are still found.
TEST_F(TableLoaderTest, HeadersAreFoundWhereverThePiecesOfTheFileEnd)
{
    constexpr qsizetype Piece = qsizetype(4) << 20;
    QByteArray text = "#Filler\r\n";
    auto fillTo = [&text](qsizetype size) {
        const QByteArray line = "$Name: filler #1 ; # inside\r\n";
        while (text.size() + line.size() + 16 <= size)
            text += line;
        text += "$Pad:" + QByteArray(size - text.size() - 7, 'p') + "\r\n";
    };
    fillTo(Piece - 3); // "#Wanted" starts 3 bytes before the end of the first piece
    text += "#Wanted\r\n$Name: First\r\n#Filler\r\n";
    // The next header starts the third piece exactly (the 3 unfinished bytes of the first
    // piece are read again with the second).
    fillTo(2 * Piece - 3 - 2);
    text += "\r\n#Wanted\r$Name: Second\r#Filler\r";
    // A piece that starts inside a line, right at a "#": not a header.
    fillTo(3 * Piece - 3 - 8);
    text += "$Note: x#y\r\n";
    text += "#Wanted\n$Name: Third";
    const QString path = write(QStringLiteral("pieces.tbl"), text);
    ASSERT_EQ(text.indexOf("#Wanted"), Piece - 3);
    ASSERT_EQ(text.indexOf("#Wanted\r$Name: Second"), 2 * Piece - 3);
    ASSERT_EQ(text.indexOf("#y"), 3 * Piece - 3);

    HeadlessTableWindow window;
    Engine::LoadFile(window, path, QStringLiteral("#"));
    EXPECT_EQ(window.tabs(),
              (QStringList{Unparsed, QStringLiteral("Filler"), QStringLiteral("Wanted"),
                           QStringLiteral("Filler"), QStringLiteral("Wanted"),
                           QStringLiteral("Filler"), QStringLiteral("Wanted")}));
    window.clickTab(QStringLiteral("Wanted"));
    EXPECT_EQ(
        column(window.listModel(), 0),
        (QStringList{QStringLiteral("First"), QStringLiteral("Second"), QStringLiteral("Third")}));
}

// Fields in changing order and very many distinct field names: every value lands in the
// column of its own field.
TEST_F(TableLoaderTest, ManyFieldsInAnyOrderLandInTheirColumns)
{
    constexpr int Fields = 3000;
    constexpr int Records = 2000;
    QByteArray text = "#Wide\r\n";
    for (int r = 0; r < Records; ++r) {
        text += "$Name: R" + QByteArray::number(r) + "\r\n";
        for (int j = 0; j < 5; ++j) {
            const int field = (r * 7 + j * 611) % Fields;
            text += "$F" + QByteArray::number(field) + ": v" + QByteArray::number(r) + "\r\n";
        }
    }
    const QString path = write(QStringLiteral("wide.tbl"), text);
    HeadlessTableWindow window;
    Engine::LoadFile(window, path, QStringLiteral("Wide"));
    const TableListModel &model = window.listModel();
    ASSERT_EQ(model.rowCount(), Records);
    ASSERT_EQ(model.columnCount(), Fields + 1);
    for (int r : {0, 1, 999, Records - 1}) {
        for (int j = 0; j < 5; ++j) {
            const int field = (r * 7 + j * 611) % Fields;
            const int column = model.listing().findColumn(QStringLiteral("F%1").arg(field));
            ASSERT_GT(column, 0);
            EXPECT_EQ(model.cellText(r, column), QStringLiteral("v%1").arg(r));
        }
    }
}

} // namespace
