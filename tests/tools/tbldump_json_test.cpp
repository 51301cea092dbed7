// tbldump --json: valid JSON whatever the cells hold, rows in display order keyed by
// column title, cells as the list shows them.

#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray tbldump(const QStringList &args, int *exitCode = nullptr)
{
    QProcess process;
    process.start(QStringLiteral(TBLDUMP_PATH), args);
    if (!process.waitForFinished(120000))
        return {};
    if (exitCode)
        *exitCode = process.exitCode();
    return process.readAllStandardOutput();
}

QJsonArray parsed(const QByteArray &out)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(out, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n"
                                                     << out.toStdString();
    EXPECT_TRUE(doc.isArray());
    return doc.array();
}

class TbldumpJson : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_table = m_dir.filePath(QStringLiteral("t.tbl"));
        QFile file(m_table);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        // Quotes, backslashes, a control character, non-ASCII text and a padded number.
        file.write("#Items\r\n"
                   "$Name: Lamp \"red\"\r\n"
                   "$Path: C:\\lamps\\x\x01y\r\n"
                   "$Mass: 1.5\r\n"
                   "$Name: \xc3\x84rger\r\n"
                   "$Mass: 12\r\n"
                   "#Empty\r\n");
    }

    QTemporaryDir m_dir;
    QString m_table;
};

TEST_F(TbldumpJson, ListAsObjectsInDisplayOrder)
{
    int exitCode = -1;
    const QJsonArray rows = parsed(tbldump({QStringLiteral("--json"), QStringLiteral("--sort"),
                                            QStringLiteral("3"), m_table, QStringLiteral("Items")},
                                           &exitCode));
    EXPECT_EQ(exitCode, 0);
    ASSERT_EQ(rows.size(), 2);
    // Sorted by Mass: "1.5" before "12.0", both padded to 12 characters.
    const QJsonObject first = rows[0].toObject();
    EXPECT_EQ(first.keys(), (QStringList{QStringLiteral("Mass"), QStringLiteral("Name"),
                                         QStringLiteral("Path")}));
    EXPECT_EQ(first[QStringLiteral("Name")].toString(), QStringLiteral("Lamp \"red\""));
    EXPECT_EQ(first[QStringLiteral("Path")].toString(), QStringLiteral("C:\\lamps\\x\x01y"));
    EXPECT_EQ(first[QStringLiteral("Mass")].toString(), QStringLiteral("         1.5"));
    const QJsonObject second = rows[1].toObject();
    EXPECT_EQ(second[QStringLiteral("Name")].toString(), QStringLiteral("Ärger"));
    EXPECT_EQ(second[QStringLiteral("Path")].toString(), QString());
    EXPECT_EQ(second[QStringLiteral("Mass")].toString(), QStringLiteral("        12.0"));
}

TEST_F(TbldumpJson, TabsRawTextAndEmptyLists)
{
    EXPECT_EQ(parsed(tbldump({QStringLiteral("--json"), m_table})),
              (QJsonArray{QStringLiteral("<Unparsed contents>"), QStringLiteral("Items"),
                          QStringLiteral("Empty")}));
    const QJsonArray lines =
        parsed(tbldump({QStringLiteral("--json"), m_table, QStringLiteral("<Unparsed contents>")}));
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines[2].toString(), QStringLiteral("$Path: C:\\lamps\\x\x01y"));
    EXPECT_EQ(parsed(tbldump({QStringLiteral("--json"), m_table, QStringLiteral("Empty")})),
              QJsonArray());

    int exitCode = -1;
    tbldump({QStringLiteral("--json"), QStringLiteral("--csv"), m_table}, &exitCode);
    EXPECT_EQ(exitCode, 2);
}

} // namespace
