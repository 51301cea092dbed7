// What assistive tools find in the main window, read through the toolkit's accessibility
// interfaces on the offscreen platform: the raw text as a text, the section tabs, the
// status panels, the menus, keyboard sorting, where the focus goes, and readable colours.
// The offscreen platform sends no accessibility events; the events a reader hears are
// tried on the desktop's accessibility bus in tests/accessibility.

#include "tests/support/qtestmain.h"
#include "vexa32/globals.h"
#include "viewer/contrast.h"
#include "viewer/engine/tablemodel.h"
#include "viewer/rawtextview.h"
#include "viewer/sortcommand.h"
#include "viewer/tblmainform.h"

#include <QAccessible>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QStyleOptionFocusRect>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <memory>

using namespace Vexa32;

namespace {

const char ShipsTable[] = "; Ships\r\n"
                          "#Ships\r\n"
                          "$Name: Corvette\r\n"
                          "$Hull:   300\r\n"
                          "$Name: Frigate\r\n"
                          "$Hull: 1200\r\n"
                          "$Name: Battleship\r\n"
                          "$Hull: 45\r\n"
                          "#Guns\r\n"
                          "$Name: Laser\r\n";

template <typename T>
T *Child(QObject *parent, const char *name)
{
    T *child = parent->findChild<T *>(QLatin1String(name));
    if (child == nullptr) {
        qFatal("no child %s", name);
    }
    return child;
}

QString Name(QObject *object)
{
    return QAccessible::queryAccessibleInterface(object)->text(QAccessible::Name);
}

} // namespace

class AccessibilityTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_drive;
    QString m_ships;
    std::unique_ptr<TBLMainForm> m_window;

    QTabBar *tabs() const { return Child<QTabBar>(m_window.get(), "TabStrip1"); }
    QTableView *list() const { return Child<QTableView>(m_window.get(), "ListView1"); }
    RawTextView *raw() const { return Child<RawTextView>(m_window.get(), "RichTextBox1"); }
    QLabel *panel(int number) const
    {
        return Child<QLabel>(m_window.get(), qPrintable(QStringLiteral("Panel%1").arg(number)));
    }
    void listShips()
    {
        m_window->LoadFile(m_ships, QStringLiteral("#"));
        tabs()->setCurrentIndex(1);
        QVERIFY(list()->isVisible());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_drive.isValid());
        qputenv("VEXA_DRIVE_C", m_drive.path().toLocal8Bit());
        QVERIFY(QDir(m_drive.path()).mkpath(QStringLiteral("KORVAX/ROWLNS32")));
        pfad_vexa = QStringLiteral("C:\\KORVAX\\");
        pfad_main = QStringLiteral("C:\\KORVAX\\ROWLNS32\\");
        m_ships = m_drive.path() + QStringLiteral("/ships.tbl");
        QFile file(m_ships);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(ShipsTable);
        file.close();
        m_window = std::make_unique<TBLMainForm>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    void cleanupTestCase() { m_window.reset(); }

    void rawTextReadsLineByLine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("Windows-1252, CR LF, no final line end")
            << QByteArray("#A\r\n$Name: Caf\xe9\r\n\r\n$Hull: 3")
            << QStringList{QStringLiteral("#A"), QStringLiteral("$Name: Caf\u00e9"), QString(),
                           QStringLiteral("$Hull: 3")};
        QTest::newRow("UTF-8 with a byte-order mark, lone LF, final line end")
            << QByteArray("\xef\xbb\xbf#\xc3\x84rger\n$Name:\t\xf0\x9f\x9a\x80 x\n")
            << QStringList{QStringLiteral("#\u00c4rger"), QStringLiteral("$Name:\t\U0001F680 x")};
    }

    void rawTextReadsLineByLine()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        RawTextView view;
        view.resize(300, 200);
        view.setRawText(Engine::RawText::fromBytes(bytes));
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&view);
        QAccessibleTextInterface *text = iface->textInterface();
        QVERIFY(text != nullptr);
        QVERIFY(iface->state().readOnly && iface->state().multiLine);
        const QString whole = lines.join(u'\n');
        QCOMPARE(text->characterCount(), int(whole.size()));
        QCOMPARE(text->text(0, text->characterCount()), whole);

        // Each line at any of its offsets, with its line feed; before and after it.
        int start = 0;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QString expected =
                lines[i] + (i + 1 < lines.size() ? QStringLiteral("\n") : QString());
            for (const int offset : {start, start + int(expected.size()) - 1}) {
                int from = -1;
                int to = -1;
                QCOMPARE(text->textAtOffset(std::max(offset, start), QAccessible::LineBoundary,
                                            &from, &to),
                         expected);
                QCOMPARE(from, start);
                QCOMPARE(to, start + int(expected.size()));
            }
            int from = -1;
            int to = -1;
            const QString after =
                text->textAfterOffset(start, QAccessible::LineBoundary, &from, &to);
            QCOMPARE(after.isEmpty(), i + 1 == lines.size());
            start += int(expected.size());
        }

        // The caret is the start of the current line, the selection its lines.
        const int second = int(lines[0].size()) + 1;
        view.selectLines(1, 1);
        QCOMPARE(text->cursorPosition(), second);
        int from = -1;
        int to = -1;
        QCOMPARE(text->selectionCount(), 1);
        text->selection(0, &from, &to);
        QCOMPARE(text->text(from, to), lines[1]);

        // A reader moving the caret or the selection moves the selected line.
        text->setCursorPosition(0);
        QCOMPARE(view.selectionFirst(), qsizetype(0));
        text->setSelection(0, second, text->characterCount());
        QCOMPARE(view.selectionFirst(), qsizetype(1));
        QCOMPARE(view.selectionLast(), lines.size() - 1);
        text->removeSelection(0);
        QCOMPARE(text->selectionCount(), 0);

        // Words stay within their line; the geometry maps back to the offset.
        QCOMPARE(text->textAtOffset(second + 1, QAccessible::WordBoundary, &from, &to),
                 QStringLiteral("Name"));
        QCOMPARE(text->offsetAtPoint(text->characterRect(second + 2).center()), second + 2);
    }

    void newRawTextIsAnnounced()
    {
        RawTextView view;
        view.setRawText(Engine::RawText::fromBytes("one\r\ntwo"));
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&view);
        view.setRawText(Engine::RawText());
        QCOMPARE(iface->textInterface()->characterCount(), 0);
        int from = 0;
        int to = 0;
        QCOMPARE(iface->textInterface()->textAtOffset(0, QAccessible::LineBoundary, &from, &to),
                 QString());
    }

    void tabsAreSectionsWithTheCurrentSelected()
    {
        listShips();
        QAccessibleInterface *strip = QAccessible::queryAccessibleInterface(tabs());
        QCOMPARE(strip->role(), QAccessible::PageTabList);
        QCOMPARE(strip->text(QAccessible::Name), QStringLiteral("Sections"));
        QStringList names;
        QStringList selected;
        for (int i = 0; i < tabs()->count(); ++i) {
            QAccessibleInterface *tab = strip->child(i);
            QCOMPARE(tab->role(), QAccessible::PageTab);
            QCOMPARE(strip->indexOfChild(tab), i);
            names << tab->text(QAccessible::Name);
            if (tab->state().selected) {
                selected << tab->text(QAccessible::Name);
            }
        }
        QCOMPARE(names, (QStringList{QStringLiteral("<Unparsed contents>"), QStringLiteral("Ships"),
                                     QStringLiteral("Guns")}));
        QCOMPARE(selected, QStringList{QStringLiteral("Ships")});

        // Another tab: the selected state moves with it.
        tabs()->setCurrentIndex(2);
        QVERIFY(strip->child(2)->state().selected && !strip->child(1)->state().selected);
        // A reader's press on a tab lists its section.
        strip->child(1)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(tabs()->currentIndex(), 1);
    }

    void statusPanelsAreNamedByTheirText()
    {
        listShips();
        QCOMPARE(Name(panel(1)), QStringLiteral("Ready"));
        QCOMPARE(QAccessible::queryAccessibleInterface(panel(2))->text(QAccessible::Description),
                 QStringLiteral("Selected record"));
        list()->setCurrentIndex(m_window->listModel().index(1, 0));
        QCOMPARE(Name(panel(2)), m_window->listModel().cellText(1, 0));

        // Table cells read their values, not the blanks that align them.
        QAccessibleInterface *table = QAccessible::queryAccessibleInterface(list());
        const QString hull = table->tableInterface()->cellAt(0, 1)->text(QAccessible::Name);
        QCOMPARE(hull, hull.trimmed());
        QVERIFY(!hull.isEmpty());

        // The find result too.
        QTest::keyClick(m_window.get(), Qt::Key_F, Qt::ControlModifier);
        auto *result = Child<QLabel>(m_window.get(), "FindStatus");
        QTest::keyClicks(Child<QLineEdit>(m_window.get(), "FindText"), QStringLiteral("gat"));
        QTRY_COMPARE(Name(result), QStringLiteral("1 of 3 records"));
        m_window->CloseFindBar();
    }

    void closingTheFindBarKeepsTheCurrentRecord()
    {
        listShips();
        QTest::keyClick(m_window.get(), Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(Child<QLineEdit>(m_window.get(), "FindText"), QStringLiteral("tt"));
        QTRY_COMPARE(m_window->listModel().rowCount(), 2); // Corvette, Battleship
        list()->setCurrentIndex(m_window->listModel().index(1, 0));
        const QString record = m_window->listModel().cellText(1, 0);
        QTest::keyClick(Child<QLineEdit>(m_window.get(), "FindText"), Qt::Key_Escape);
        QCOMPARE(m_window->listModel().rowCount(), 3);
        QVERIFY(list()->hasFocus());
        QCOMPARE(m_window->listModel().cellText(list()->currentIndex().row(), 0), record);
        QCOMPARE(m_window->statusPanel(2), record);
    }

    void sortingByKeyboardIsAHeaderClick()
    {
        listShips();
        QHeaderView *header = list()->horizontalHeader();
        QSignalSpy clicks(header, &QHeaderView::sectionClicked);
        auto *command = Child<SortCommand>(m_window.get(), "SortCommand");
        QStringList offered;
        std::optional<int> answer = 1;
        command->setAskColumn([&](QWidget *, const QStringList &titles, int) {
            offered = titles;
            return answer;
        });
        QAction *action = Child<QAction>(m_window.get(), "MenuViewSortByColumn");
        QCOMPARE(action->text(), QStringLiteral("&Sort by column..."));
        QVERIFY(!action->shortcut().isEmpty());
        action->trigger();
        QCOMPARE(offered, (QStringList{QStringLiteral("Name"), QStringLiteral("Hull")}));
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(clicks[0][0].toInt(), 1);
        QCOMPARE(m_window->listModel().sortKey(), 1);
        QVERIFY(m_window->listModel().sorted());
        answer = std::nullopt; // cancelled: nothing
        action->trigger();
        QCOMPARE(clicks.size(), 1);

        // The header by keyboard, after the list in the Tab order: Home, Right and Space
        // click the second column.
        list()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(list(), Qt::Key_Tab);
        QVERIFY(header->hasFocus());
        QTest::keyClick(header, Qt::Key_Home);
        QCOMPARE(command->focusedColumn(), 0);
        QTest::keyClick(header, Qt::Key_Space);
        QTest::keyClick(header, Qt::Key_Right);
        QTest::keyClick(header, Qt::Key_Right); // stays on the last column
        QTest::keyClick(header, Qt::Key_Return);
        QCOMPARE(clicks.size(), 3);
        QCOMPARE(clicks[1][0].toInt(), 0);
        QCOMPARE(clicks[2][0].toInt(), 1);
        QVERIFY(Name(header).contains(QStringLiteral("Hull")));
    }

    void menusExposeNeitherHiddenItemsNorShortcutText()
    {
        m_window->LoadFile(m_ships, QStringLiteral("#"));
        QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(m_window->menuBar());
        QStringList names;
        for (int i = 0; i < bar->childCount(); ++i) {
            QAccessibleInterface *menu = bar->child(i)->child(0);
            for (int j = 0; j < menu->childCount(); ++j) {
                QAccessibleInterface *item = menu->child(j);
                auto *action = qobject_cast<QAction *>(item->object());
                QVERIFY2(action != nullptr && action->isVisible(),
                         qPrintable(item->text(QAccessible::Name)));
                if (item->role() != QAccessible::Separator) {
                    names << item->text(QAccessible::Name);
                }
            }
        }
        for (const QString &name : std::as_const(names)) {
            QVERIFY2(!name.contains(u'\t') && !name.trimmed().isEmpty(), qPrintable(name));
        }
        QVERIFY(names.contains(QStringLiteral("Show record in raw text")));
        QVERIFY(!names.contains(QStringLiteral("ZORATH KIT Quick Start Tutorial")));

        // The Enter shown beside "Show record in raw text" is no shortcut of the open menu:
        // Enter there chooses the highlighted item.
        auto *edit = Child<QMenu>(m_window.get(), "MenuEdit");
        QSignalSpy showRaw(Child<QAction>(m_window.get(), "MenuEditShowRaw"), &QAction::triggered);
        QSignalSpy copy(Child<QAction>(m_window.get(), "MenuEditCopy"), &QAction::triggered);
        edit->popup(m_window->mapToGlobal(QPoint(20, 20)));
        QVERIFY(QTest::qWaitForWindowExposed(edit));
        edit->setActiveAction(Child<QAction>(m_window.get(), "MenuEditCopy"));
        QTest::keyClick(edit, Qt::Key_Return);
        QTRY_COMPARE(copy.size(), 1);
        QCOMPARE(showRaw.size(), 0);

        // A hidden item shown again is back at its place, and hidden again it is gone.
        auto *help = Child<QMenu>(m_window.get(), "MenuHelp");
        auto *tutorial = Child<QAction>(m_window.get(), "MenuHelpTutorial");
        const qsizetype items = help->actions().size();
        tutorial->setVisible(true);
        Child<QAction>(m_window.get(), "MenuHelpBlank1")->setVisible(true);
        QCOMPARE(help->actions().first(), tutorial);
        QCOMPARE(help->actions().size(), items + 2);
        tutorial->setVisible(false);
        Child<QAction>(m_window.get(), "MenuHelpBlank1")->setVisible(false);
        QCOMPARE(help->actions().size(), items);
    }

    void focusIsAlwaysSomewhere()
    {
        // No file: the open button, the one thing to do.
        TBLMainForm fresh;
        fresh.show();
        QVERIFY(QTest::qWaitForWindowActive(&fresh));
        auto *toolbar = Child<QToolBar>(&fresh, "Toolbar1");
        QWidget *open = toolbar->widgetForAction(Child<QAction>(&fresh, "Toolbar1FileOpen"));
        QTRY_COMPARE(QApplication::focusWidget(), open);

        // Opened: the section tabs.
        fresh.LoadFile(m_ships, QStringLiteral("#"));
        QTRY_COMPARE(QApplication::focusWidget(), Child<QTabBar>(&fresh, "TabStrip1"));

        // A section listed from the raw text: the list, its first row current.
        auto *rawPane = Child<RawTextView>(&fresh, "RichTextBox1");
        auto *records = Child<QTableView>(&fresh, "ListView1");
        rawPane->setFocus();
        Child<QTabBar>(&fresh, "TabStrip1")->setCurrentIndex(1);
        QTRY_COMPARE(QApplication::focusWidget(), records);
        QVERIFY(records->currentIndex().isValid());
        // Back to the raw text from the list: the raw text.
        Child<QTabBar>(&fresh, "TabStrip1")->setCurrentIndex(0);
        QTRY_COMPARE(QApplication::focusWidget(), rawPane);
    }

    void coloursAreReadable()
    {
        const QPalette palette = QApplication::palette();
        QVERIFY(Contrast::Ratio(palette.color(QPalette::HighlightedText),
                                palette.color(QPalette::Highlight)) >= 4.5);
        QVERIFY(Contrast::Ratio(palette.color(QPalette::Highlight),
                                palette.color(QPalette::Base)) >= 3.0);
        auto *message = Child<QPlainTextEdit>(m_window.get(), "Text1");
        QVERIFY(!message->isEnabled());
        QVERIFY(Contrast::Ratio(message->palette().color(QPalette::Disabled, QPalette::Text),
                                message->palette().color(QPalette::Disabled, QPalette::Base)) >=
                4.5);

        // A focus frame on the selection and on a plain row: solid, at 3:1 at least.
        for (const bool selected : {true, false}) {
            QImage image(20, 20, QImage::Format_RGB32);
            const QColor background =
                palette.color(selected ? QPalette::Highlight : QPalette::Base);
            image.fill(background);
            QPainter painter(&image);
            QStyleOptionFocusRect option;
            option.rect = QRect(2, 2, 16, 16);
            option.palette = palette;
            option.state = QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
            if (selected) {
                option.state |= QStyle::State_Selected;
                option.backgroundColor = background;
            }
            QApplication::style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter);
            painter.end();
            QVERIFY2(Contrast::Ratio(image.pixelColor(2, 10), background) >= 3.0,
                     qPrintable(image.pixelColor(2, 10).name()));
        }
        // The focused tab and the focused raw text show solid frames of the text colour.
        m_window->LoadFile(m_ships, QStringLiteral("#"));
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        tabs()->setFocus();
        QTRY_VERIFY(tabs()->hasFocus());
        const QRect tab = tabs()->tabRect(tabs()->currentIndex());
        const QImage strip = tabs()->grab().toImage();
        QCOMPARE(strip.pixelColor(tab.left() + 3, tab.center().y()),
                 tabs()->palette().color(QPalette::WindowText));
        raw()->setFocus();
        QTRY_VERIFY(raw()->hasFocus());
        const QImage pane = raw()->viewport()->grab().toImage();
        QCOMPARE(pane.pixelColor(0, pane.height() / 2), raw()->palette().color(QPalette::Text));

        QCOMPARE(Contrast::Ratio(Qt::white, Qt::black), 21.0);
        QVERIFY(Contrast::Ratio(
                    Contrast::Reaching(QColor(0xBE, 0xBE, 0xBE), QColor(0xEF, 0xEF, 0xEF), 4.5),
                    QColor(0xEF, 0xEF, 0xEF)) >= 4.5);
    }
};

ROWLENS_QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
