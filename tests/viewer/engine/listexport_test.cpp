// Exporting the list on show to a file: display order and filter, the three formats with
// and without padding, progress and cancelling, failures that leave nothing behind, and
// the open table file never written over.

#include "tests/viewer/engine/qstring_printer.h"
#include "viewer/engine/listexport.h"
#include "viewer/engine/tablemodel.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace Engine;

namespace {

using Status = Engine::ExportResult::Status;

class ListExportTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        Listing listing;
        listing.appendColumn(QStringLiteral("Name"), 2000);
        const int mass = listing.appendColumn(QStringLiteral("Mass"));
        const int note = listing.appendColumn(QStringLiteral("Note"));
        const char16_t *rows[][3] = {
            {u"Rope", u"2.25", u"long, thin"}, {u"Lamp", u"1.5", u""}, {u"Crate", u"3", u"a\\b"}};
        for (const auto &row : rows) {
            const int r = listing.appendRow(QStringView(row[0]));
            listing.setCell(r, mass, QStringView(row[1]));
            listing.setCell(r, note, QStringView(row[2]));
        }
        listing.column(mass).rightAligned = true;
        listing.column(mass).tag = 2;
        listing.formatColumns();
        m_model.setListing(std::move(listing));
        m_model.sortByColumn(0);
    }

    QString path(const QString &name) const { return m_dir.filePath(name); }

    static QByteArray read(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    QStringList folder() const
    {
        return QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir m_dir;
    TableListModel m_model;
};

TEST_F(ListExportTest, WritesTheListedRowsInDisplayOrder)
{
    m_model.setFilterText(QStringLiteral("r")); // Rope and Crate hold an "r", Lamp does not
    struct Case
    {
        Engine::OutputFormat format;
        bool unpadded;
        const char *expected;
    };
    const Case cases[] = {
        {Engine::OutputFormat::Csv, false,
         "Name,Mass,Note\r\n"
         "Crate,        3.00,a\\b\r\n"
         "Rope,        2.25,\"long, thin\"\r\n"},
        {Engine::OutputFormat::Tsv, true,
         "Name\tMass\tNote\n"
         "Crate\t3.00\ta\\\\b\n"
         "Rope\t2.25\tlong, thin\n"},
        {Engine::OutputFormat::Json, true,
         "[\n"
         "{\"Name\":\"Crate\",\"Mass\":\"3.00\",\"Note\":\"a\\\\b\"},\n"
         "{\"Name\":\"Rope\",\"Mass\":\"2.25\",\"Note\":\"long, thin\"}\n"
         "]\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.expected);
        const QString target = path(QStringLiteral("out"));
        std::vector<std::pair<qint64, qint64>> reports;
        const Engine::ExportResult result = Engine::ExportList(
            m_model, {target, path(QStringLiteral("ships.tbl")), c.format, c.unpadded},
            [&reports](qint64 done, qint64 total) {
                reports.emplace_back(done, total);
                return true;
            });
        EXPECT_EQ(result.status, Status::Written) << result.message.toStdString();
        EXPECT_EQ(read(target).toStdString(), std::string(c.expected));
        ASSERT_FALSE(reports.empty());
        EXPECT_EQ(reports.front(), (std::pair<qint64, qint64>{0, 2}));
        EXPECT_EQ(reports.back(), (std::pair<qint64, qint64>{2, 2}));
    }
    EXPECT_EQ(folder(), QStringList{QStringLiteral("out")});
}

TEST_F(ListExportTest, ACancelledOrFailedExportLeavesNoFileBehind)
{
    const QString target = path(QStringLiteral("out.csv"));
    {
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("earlier export\n");
    }
    // Cancelled at the start and after the last row: the earlier file stays as it was.
    for (const qint64 stopAt : {qint64(0), qint64(3)}) {
        const Engine::ExportResult result =
            Engine::ExportList(m_model, {target, QString(), Engine::OutputFormat::Csv, false},
                               [stopAt](qint64 done, qint64) { return done < stopAt; });
        EXPECT_EQ(result.status, Status::Cancelled);
        EXPECT_EQ(read(target), "earlier export\n");
        EXPECT_EQ(folder(), QStringList{QStringLiteral("out.csv")});
    }

    // Targets that cannot be written: the reason names the file.
    const struct
    {
        QString target;
        const char *reason;
    } failures[] = {
        {QString(), "No file name"},
        {m_dir.path(), "Is a folder"},
        {path(QStringLiteral("no such folder/out.csv")), ""},
    };
    for (const auto &f : failures) {
        SCOPED_TRACE(f.target.toStdString());
        const Engine::ExportResult result =
            Engine::ExportList(m_model, {f.target, QString(), Engine::OutputFormat::Tsv, false});
        EXPECT_EQ(result.status, Status::Failed);
        EXPECT_TRUE(result.message.startsWith(QStringLiteral("Cannot write ") + f.target + u':'))
            << result.message.toStdString();
        EXPECT_TRUE(result.message.contains(QString::fromUtf8(f.reason)));
        EXPECT_GT(result.message.size(), f.target.size() + 15) << "a reason is given";
    }
    EXPECT_EQ(folder(), QStringList{QStringLiteral("out.csv")});
}

TEST_F(ListExportTest, NeverWritesOverTheOpenTableFile)
{
    const QString table = path(QStringLiteral("ships.tbl"));
    {
        QFile file(table);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#Ships\r\n$Name: Lamp\r\n");
    }
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("sub")));
    ASSERT_TRUE(QFile::link(table, path(QStringLiteral("link.tbl"))));
    for (const QString &target :
         {table, path(QStringLiteral("sub/../ships.tbl")), path(QStringLiteral("link.tbl"))}) {
        SCOPED_TRACE(target.toStdString());
        const Engine::ExportResult result =
            Engine::ExportList(m_model, {target, table, Engine::OutputFormat::Csv, false});
        EXPECT_EQ(result.status, Status::Failed);
        EXPECT_TRUE(result.message.contains(QStringLiteral("open table file")))
            << result.message.toStdString();
        EXPECT_EQ(read(table), "#Ships\r\n$Name: Lamp\r\n");
    }
}

} // namespace
