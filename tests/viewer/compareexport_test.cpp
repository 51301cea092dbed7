// The main window's comparison with another table file and its export of the section on
// show, on the offscreen platform. Drive C is a temporary folder; the dialogs are answered
// through the window's replaceable dialogs, the error dialog as a modal box.

#include "tests/support/child.h"
#include "tests/support/mainformtest.h"
#include "tests/support/modalanswer.h"
#include "tests/support/qtestmain.h"
#include "viewer/comparemarks.h"
#include "viewer/comparemode.h"
#include "viewer/engine/tablemodel.h"
#include "viewer/exportdialog.h"
#include "viewer/sectionexport.h"
#include "viewer/tblmainform.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTableView>
#include <QTest>

namespace {

// The older side: Battleship and the section "Mines" are only here, Frigate was slower.
const char OldTable[] = "#Ships\r\n"
                        "$Name: Corvette\r\n"
                        "$Speed: 12.5\r\n"
                        "$Hull: 300\r\n"
                        "$Name: Frigate\r\n"
                        "$Speed: 9\r\n"
                        "$Hull: 1200\r\n"
                        "$Name: Battleship\r\n"
                        "$Speed: 6.25\r\n"
                        "$Hull: 45000\r\n"
                        "#End\r\n"
                        "#Mines\r\n"
                        "$Name: Spike\r\n"
                        "$Yield: 5\r\n"
                        "#End\r\n"
                        "#Docks\r\n"
                        "$Name: Pier\r\n"
                        "#End\r\n";

// The open file: Cruiser and the section "Guns" are new, "Docks" is the same.
const char NewTable[] = "#Ships\r\n"
                        "$Name: Corvette\r\n"
                        "$Speed: 12.5\r\n"
                        "$Hull: 300\r\n"
                        "$Name: Frigate\r\n"
                        "$Speed: 9.5\r\n"
                        "$Hull: 1200\r\n"
                        "$Name: Cruiser\r\n"
                        "$Speed: 8\r\n"
                        "$Hull: 9000\r\n"
                        "#End\r\n"
                        "#Docks\r\n"
                        "$Name: Pier\r\n"
                        "#End\r\n"
                        "#Guns\r\n"
                        "$Name: Laser\r\n"
                        "#End\r\n";

// For the export: a backslash and a comma to escape or quote.
const char ExportTable[] = "#Ships\r\n"
                           "$Name: Corvette\r\n"
                           "$Speed: 12.5\r\n"
                           "$Class: Light, quick\r\n"
                           "$Name: Frigate\r\n"
                           "$Speed: 9\r\n"
                           "$Class: Medium\r\n"
                           "$Name: Battleship\r\n"
                           "$Speed: 6.25\r\n"
                           "$Class: Heavy\\II\r\n"
                           "#End\r\n";

QStringList Texts(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *text : texts) {
        list << QString::fromUtf8(text);
    }
    return list;
}

QByteArray Contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class CompareExportTest : public MainFormTest
{
    Q_OBJECT

private:
    QTabBar *tabs() const { return Child<QTabBar>(&window(), "TabStrip1"); }
    QTableView *list() const { return Child<QTableView>(&window(), "ListView1"); }
    const CompareMarks &marks() const { return window().compareMode().marks(); }
    QStringList tabTexts() const
    {
        QStringList texts;
        for (int index = 0; index < tabs()->count(); ++index) {
            texts << tabs()->tabText(index);
        }
        return texts;
    }
    // Each listed row as the list draws its cells, cells joined by "|".
    QStringList shownRows() const
    {
        QStringList rows;
        const Engine::TableListModel &model = window().listModel();
        for (int row = 0; row < model.rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < model.columnCount(); ++column) {
                cells << marks().shownText(model.index(row, column)).trimmed();
            }
            rows << cells.join(u'|');
        }
        return rows;
    }
    QModelIndex cell(const char *name, int column) const
    {
        const Engine::TableListModel &model = window().listModel();
        for (int row = 0; row < model.rowCount(); ++row) {
            if (model.cellText(row, 0) == QLatin1String(name)) {
                return model.index(row, column);
            }
        }
        return {};
    }
    void leaveComparison()
    {
        window().compareMode().leave();
        window().listModel().setFilterText(QString());
    }
    // Opens the new table on its "Ships" tab and compares it with the old one through the
    // menu command.
    void compareShips(const QString &other)
    {
        leaveComparison();
        window().LoadFile(writeTable(QStringLiteral("new.tbl"), NewTable), QStringLiteral("#"));
        tabs()->setCurrentIndex(1);
        QVERIFY(list()->isVisible());
        window().compareMode().setFileDialog([other](const QString &) { return other; });
        window().compareMode().MenuFileCompare_Click();
    }

private Q_SLOTS:
    void comparisonMarksRowsCellsAndTabs()
    {
        compareShips(writeTable(QStringLiteral("old.tbl"), OldTable));
        QVERIFY(window().compareMode().active());
        // The open file's rows, then the removed one; every mark is text as well as a tint.
        QCOMPARE(shownRows(), Texts({"Corvette|12.50|300", "~ Frigate|~ 9.50|1200",
                                     "+ Cruiser|8.00|9000", "- Battleship|6.25|45000"}));
        const QModelIndex speed = cell("Frigate", 1);
        QCOMPARE(marks().toolTip(speed), QStringLiteral("Changed. In old.tbl: 9"));
        QVERIFY(marks().background(speed).isValid());
        QVERIFY(marks().background(speed) != marks().background(cell("Frigate", 2)));
        QVERIFY(!marks().background(cell("Corvette", 0)).isValid());
        QCOMPARE(marks().toolTip(cell("Battleship", 0)),
                 QStringLiteral("Removed: only in old.tbl"));
        QCOMPARE(marks().toolTip(cell("Cruiser", 0)), QStringLiteral("Added: not in old.tbl"));
        // A padded number keeps its width with the mark in its blanks.
        QCOMPARE(marks().shownText(speed).size(), window().listModel().cellText(1, 1).size());

        // The tabs say which sections differ; a section only the other file has gets one.
        QCOMPARE(tabTexts(),
                 Texts({"<Unparsed contents>", "Ships *", "Docks", "Guns *", "Mines *"}));
        QCOMPARE(Child<QLabel>(&window(), "CompareSummary")->text(),
                 QStringLiteral("Compared with old.tbl: + 1 added, ~ 1 changed, - 1 removed"));
        QTRY_VERIFY(Child<QCheckBox>(&window(), "CompareOnlyDifferences")->isVisible());

        // Only the differences, together with the find text.
        Child<QCheckBox>(&window(), "CompareOnlyDifferences")->setChecked(true);
        QCOMPARE(shownRows().size(), 3);
        QVERIFY(Child<QAction>(&window(), "MenuViewOnlyDifferences")->isChecked());
        window().listModel().setFilterText(QStringLiteral("ship"));
        QCOMPARE(shownRows(), Texts({"- Battleship|6.25|45000"}));
        window().listModel().setFilterText(QString());

        // Another section is compared as it is clicked; the filter stays on.
        tabs()->setCurrentIndex(4);
        QCOMPARE(shownRows(), Texts({"- Spike|5"}));
        tabs()->setCurrentIndex(2);
        QVERIFY(shownRows().isEmpty());

        // Leaving: the ordinary listing, tabs and no marks.
        tabs()->setCurrentIndex(1);
        window().compareMode().leave();
        QVERIFY(!window().compareMode().active());
        QCOMPARE(tabTexts(), Texts({"<Unparsed contents>", "Ships", "Docks", "Guns"}));
        QCOMPARE(shownRows(), Texts({"Corvette|12.5|300", "Frigate|9.5|1200", "Cruiser|8.0|9000"}));
        QTRY_VERIFY(!Child<QCheckBox>(&window(), "CompareOnlyDifferences")->isVisible());
        QVERIFY(!window().windowTitle().contains(QStringLiteral("compared")));
    }

    void leavingOnASectionOnlyTheOtherFileHasListsAnOwnSection()
    {
        compareShips(writeTable(QStringLiteral("old.tbl"), OldTable));
        tabs()->setCurrentIndex(4); // "Mines"
        window().compareMode().leave();
        QCOMPARE(tabs()->count(), 4);
        QCOMPARE(tabs()->currentIndex(), 3);
        QCOMPARE(shownRows(), Texts({"Laser"}));
    }

    void openingAnotherFileEndsTheComparison()
    {
        compareShips(writeTable(QStringLiteral("old.tbl"), OldTable));
        window().LoadFile(writeTable(QStringLiteral("old.tbl"), OldTable), QStringLiteral("#"));
        QVERIFY(!window().compareMode().active());
        QCOMPARE(tabTexts(), Texts({"<Unparsed contents>", "Ships", "Mines", "Docks"}));
        tabs()->setCurrentIndex(2);
        QCOMPARE(shownRows(), Texts({"Spike|5"}));
    }

    void anUnreadableFileIsReportedAndNothingIsCompared()
    {
        QString header;
        QString text;
        AnswerNextModal([&](QWidget *box) {
            header = Child<QLabel>(box, "ErrorHeader")->text();
            text = Child<QPlainTextEdit>(box, "ErrorMessage")->toPlainText();
        });
        compareShips(tables() + QStringLiteral("missing.tbl"));
        QVERIFY(!window().compareMode().active());
        QCOMPARE(header.trimmed(), QStringLiteral("Cannot compare"));
        QVERIFY2(text.contains(QStringLiteral("missing.tbl")), qPrintable(text));
        QCOMPARE(tabTexts(), Texts({"<Unparsed contents>", "Ships", "Docks", "Guns"}));
    }

    void exportWritesTheListAsShownInEachFormat()
    {
        leaveComparison();
        const QString table = writeTable(QStringLiteral("export.tbl"), ExportTable);
        window().LoadFile(table, QStringLiteral("#"));
        tabs()->setCurrentIndex(1);
        window().ListView1_ColumnClick(0);
        window().listModel().setFilterText(QStringLiteral("a")); // not Corvette
        struct Case
        {
            Engine::OutputFormat format;
            bool unpadded;
            const char *expected;
        };
        const Case cases[] = {
            {Engine::OutputFormat::Csv, false,
             "Name,Speed,Class\r\nBattleship,        6.25,Heavy\\II\r\n"
             "Frigate,        9.00,Medium\r\n"},
            {Engine::OutputFormat::Tsv, true,
             "Name\tSpeed\tClass\nBattleship\t6.25\tHeavy\\\\II\nFrigate\t9.00\tMedium\n"},
            {Engine::OutputFormat::Json, true,
             "[\n{\"Name\":\"Battleship\",\"Speed\":\"6.25\",\"Class\":\"Heavy\\\\II\"},\n"
             "{\"Name\":\"Frigate\",\"Speed\":\"9.00\",\"Class\":\"Medium\"}\n]\n"},
        };
        for (const Case &c : cases) {
            const QString target =
                tables() + QStringLiteral("out.") + ExportDialog::extension(c.format);
            ExportDialog::Choice suggested;
            window().sectionExport().setDialog([&](const ExportDialog::Choice &offered) {
                suggested = offered;
                return ExportDialog::Choice{target, c.format, c.unpadded};
            });
            window().sectionExport().MenuFileExport_Click();
            QCOMPARE(Contents(target), QByteArray(c.expected));
            QCOMPARE(window().statusPanel(1), QStringLiteral("Exported 2 records to out.") +
                                                  ExportDialog::extension(c.format));
            QCOMPARE(QFileInfo(suggested.target).absolutePath(), QFileInfo(table).absolutePath());
        }
        window().listModel().setFilterText(QString());
    }

    void exportNeverWritesTheOpenTableAndSaysWhy()
    {
        leaveComparison();
        const QString table = writeTable(QStringLiteral("export.tbl"), ExportTable);
        window().LoadFile(table, QStringLiteral("#"));
        tabs()->setCurrentIndex(1);
        window().sectionExport().setDialog([&](const ExportDialog::Choice &) {
            return ExportDialog::Choice{table, Engine::OutputFormat::Csv, false};
        });
        QString text;
        AnswerNextModal([&](QWidget *box) {
            text = Child<QPlainTextEdit>(box, "ErrorMessage")->toPlainText();
        });
        const QStringList before = QDir(tables()).entryList(QDir::Files | QDir::Hidden);
        window().sectionExport().MenuFileExport_Click();
        QVERIFY2(text.contains(QStringLiteral("open table file")), qPrintable(text));
        QCOMPARE(Contents(table), QByteArray(ExportTable));
        QCOMPARE(QDir(tables()).entryList(QDir::Files | QDir::Hidden), before);

        // Not on the raw text, and not while comparing.
        tabs()->setCurrentIndex(0);
        QVERIFY(!window().sectionExport().available());
        tabs()->setCurrentIndex(1);
        QVERIFY(window().sectionExport().available());
        QVERIFY(window().compareMode().start(table));
        QVERIFY(!window().sectionExport().available());
    }

    void exportDialogOffersTheThreeFormats()
    {
        ExportDialog dialog(
            {QStringLiteral("/tmp/ships - Ships.csv"), Engine::OutputFormat::Csv, false});
        auto *target = Child<QLineEdit>(&dialog, "ExportTarget");
        QPushButton *ok =
            Child<QDialogButtonBox>(&dialog, "ExportButtons")->button(QDialogButtonBox::Ok);
        Child<QRadioButton>(&dialog, "ExportTsv")->click();
        QCOMPARE(target->text(), QStringLiteral("/tmp/ships - Ships.tsv"));
        Child<QRadioButton>(&dialog, "ExportJson")->click();
        Child<QCheckBox>(&dialog, "ExportUnpadded")->setChecked(true);
        QCOMPARE(target->text(), QStringLiteral("/tmp/ships - Ships.json"));
        QCOMPARE(dialog.choice().format, Engine::OutputFormat::Json);
        QVERIFY(dialog.choice().unpadded);
        // A name of the user's own keeps its extension.
        target->setText(QStringLiteral("/tmp/list.txt"));
        Child<QRadioButton>(&dialog, "ExportCsv")->click();
        QCOMPARE(dialog.choice().target, QStringLiteral("/tmp/list.txt"));
        QCOMPARE(dialog.choice().format, Engine::OutputFormat::Csv);
        QVERIFY(ok->isEnabled());
        target->clear();
        QVERIFY(!ok->isEnabled());
    }
};

ROWLENS_QTEST_MAIN(CompareExportTest)
#include "compareexport_test.moc"
