// The raw-text pane: scrolling by keys and wheel over many lines, whole-line selection by
// mouse and keys, and copying the selected lines.

#include "tests/support/qtestmain.h"
#include "viewer/rawtextview.h"

#include <QClipboard>
#include <QScrollBar>
#include <QTest>

using namespace Engine;

namespace {

RawText Lines(int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i) {
        bytes += "line " + QByteArray::number(i) + (i % 2 ? "\r\n" : "\n");
    }
    return RawText::fromBytes(bytes);
}

} // namespace

class RawTextViewTest : public QObject
{
    Q_OBJECT

    RawTextView m_view;

    int lineHeight() const { return m_view.fontMetrics().lineSpacing(); }

private Q_SLOTS:
    void initTestCase()
    {
        m_view.resize(400, 300);
        m_view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_view));
    }

    void init() { m_view.setRawText(Lines(100000)); }

    void scrollsByKeys()
    {
        QScrollBar *bar = m_view.verticalScrollBar();
        const int page = bar->pageStep();
        QVERIFY(page > 1);
        QCOMPARE(bar->maximum(), 100000 - page);
        QCOMPARE(m_view.topLine(), 0);

        QTest::keyClick(&m_view, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(m_view.topLine(), 100000 - page);
        QCOMPARE(m_view.selectionFirst(), 99999);
        QTest::keyClick(&m_view, Qt::Key_PageUp);
        QCOMPARE(m_view.selectionFirst(), 99999 - page);
        QTest::keyClick(&m_view, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(m_view.topLine(), 0);
        QCOMPARE(m_view.selectionFirst(), 0);
        QTest::keyClick(&m_view, Qt::Key_Up); // stays on the first line
        QCOMPARE(m_view.selectionFirst(), 0);

        // Down past the last visible line scrolls by one line.
        for (int i = 0; i < page; ++i) {
            QTest::keyClick(&m_view, Qt::Key_Down);
        }
        QCOMPARE(m_view.topLine(), 1);
    }

    void wheelScrolls()
    {
        QWheelEvent wheel(QPointF(10, 10), m_view.mapToGlobal(QPointF(10, 10)), QPoint(),
                          QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(m_view.viewport(), &wheel);
        QVERIFY(m_view.topLine() > 0);
    }

    void selectsAndCopiesWholeLines()
    {
        QWidget *viewport = m_view.viewport();
        const int h = lineHeight();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(30, 2 * h + h / 2));
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 4 * h + 1));
        QCOMPARE(m_view.selectionFirst(), 2);
        QCOMPARE(m_view.selectionLast(), 4);
        QTest::keyClick(&m_view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("line 2\nline 3\nline 4"));

        // Shift+Up extends from the anchor.
        QTest::keyClick(&m_view, Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(m_view.selectionFirst(), 2);
        QCOMPARE(m_view.selectionLast(), 3);
    }

    void visibleColumns_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("utf8");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<QString>("expected");
        QTest::newRow("whole") << QByteArray("abc") << false << 0 << 10 << QStringLiteral("abc");
        QTest::newRow("window") << QByteArray("abcdef") << false << 2 << 3 << QStringLiteral("cd");
        QTest::newRow("tab stops")
            << QByteArray("a\tbc\td") << false << 0 << 20 << QStringLiteral("a       bc      d");
        QTest::newRow("inside a tab")
            << QByteArray("\tx") << false << 3 << 9 << QStringLiteral("     x");
        QTest::newRow("past the end") << QByteArray("abc") << false << 5 << 9 << QString();
        QTest::newRow("control") << QByteArray("a\x01"
                                               "b")
                                 << false << 0 << 5 << QStringLiteral("a b");
        QTest::newRow("windows-1252")
            << QByteArray("\xe4\x80x") << false << 0 << 5 << QStringLiteral("\u00e4\u20acx");
        QTest::newRow("utf-8 skipped")
            << QByteArray("\xc3\xa4\xc3\xb6x") << true << 1 << 5 << QStringLiteral("\u00f6x");
        QTest::newRow("utf-8 cut at last") << QByteArray("\xe2\x82\xac\xe2\x82\xac\xe2\x82\xac")
                                           << true << 0 << 1 << QStringLiteral("\u20ac\u20ac");
    }

    void visibleColumns()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, utf8);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(QString, expected);
        QCOMPARE(RawTextView::VisibleColumns(bytes, utf8, first, last), expected);
    }

    void longLineScrollsSideways()
    {
        // One line of 4 MB: the far right end is painted without decoding the whole line.
        QByteArray line(4 * 1024 * 1024, 'x');
        line.append("END");
        m_view.setRawText(RawText::fromBytes(line));
        QScrollBar *bar = m_view.horizontalScrollBar();
        QVERIFY(bar->maximum() > 1000000);
        QTest::keyClick(&m_view, Qt::Key_End);
        QCOMPARE(bar->value(), bar->maximum());
        m_view.viewport()->repaint();
    }

    void emptyTextIgnoresInput()
    {
        m_view.clear();
        QTest::mouseClick(m_view.viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QTest::keyClick(&m_view, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(&m_view, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(m_view.selectionFirst(), -1);
        QCOMPARE(m_view.selectedText(), QString());
        m_view.repaint();
    }
};

ROWLENS_QTEST_MAIN(RawTextViewTest)
#include "rawtextview_test.moc"
