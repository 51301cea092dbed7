#include "viewer/rawtextview.h"

#include "viewer/accessibleinterfaces.h"
#include "viewer/engine/tabletext.h"
#include "viewer/rawtextaccessible.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

using namespace Engine;

namespace {

constexpr int TabStop = 8;
constexpr int Margin = 4; // pixels left of the text

// Courier New 9.75 pt, or the system's fixed-pitch font when it is not installed.
QFont RawFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setPointSizeF(9.75);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    if (!QFontInfo(font).fixedPitch()) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSizeF(9.75);
    }
    return font;
}

} // namespace

RawTextView::RawTextView(QWidget *parent) : QAbstractScrollArea(parent)
{
    InstallAccessibleInterfaces();
    setFont(RawFont());
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    viewport()->setCursor(Qt::IBeamCursor);
    updateScrollBars();
}

void RawTextView::setRawText(RawText text)
{
    const QString oldText = RawTextAccessibility::EventText(this);
    m_text = std::move(text);
    m_offsets.clear();
    // The longest line by bytes: cheap for millions of lines, and an upper bound of its
    // characters; the scroll range only needs to be wide enough.
    m_longestLine = m_text.widestLine(TabStop);
    m_anchor = m_current = -1;
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    updateScrollBars();
    viewport()->update();
    RawTextAccessibility::TextReplaced(this, oldText);
}

void RawTextView::clear()
{
    setRawText(RawText());
}

int RawTextView::lineHeight() const
{
    return std::max(1, fontMetrics().lineSpacing());
}

int RawTextView::charWidth() const
{
    return std::max(1, fontMetrics().horizontalAdvance(u'M'));
}

qsizetype RawTextView::visibleLines() const
{
    return std::max(1, viewport()->height() / lineHeight());
}

qsizetype RawTextView::topLine() const
{
    return verticalScrollBar()->value();
}

void RawTextView::revealLine(qsizetype line)
{
    QScrollBar *bar = verticalScrollBar();
    const int visible =
        std::max(1, viewport()->height() / std::max(1, fontMetrics().lineSpacing()));
    if (line < bar->value() || line >= bar->value() + visible) {
        bar->setValue(static_cast<int>(std::max<qsizetype>(0, line - visible / 3)));
    }
}

void RawTextView::updateScrollBars()
{
    const qsizetype lines = m_text.lineCount();
    const qsizetype page = visibleLines();
    const qsizetype maxTop = std::max<qsizetype>(0, lines - page);
    verticalScrollBar()->setRange(0, static_cast<int>(std::min<qsizetype>(maxTop, INT_MAX)));
    verticalScrollBar()->setPageStep(static_cast<int>(page));
    verticalScrollBar()->setSingleStep(1);

    const qint64 textWidth = qint64(m_longestLine) * charWidth() + 2 * Margin;
    const qint64 maxLeft = std::max<qint64>(0, textWidth - viewport()->width());
    horizontalScrollBar()->setRange(0, static_cast<int>(std::min<qint64>(maxLeft, INT_MAX)));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(charWidth());
}

void RawTextView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void RawTextView::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateScrollBars();
    }
}

void RawTextView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    const int height = lineHeight();
    const int width = charWidth();
    const int ascent = fontMetrics().ascent();
    const int scrollX = horizontalScrollBar()->value();
    // Columns that can be seen, with one to spare on each side.
    const qsizetype firstColumn = std::max(0, (scrollX - Margin) / width - 1);
    const qsizetype lastColumn = firstColumn + viewport()->width() / width + 3;
    const qsizetype first = topLine();
    const qsizetype last = std::min(m_text.lineCount(), first + visibleLines() + 1);
    const qsizetype selFirst = selectionFirst();
    const qsizetype selLast = selectionLast();
    const QPalette &pal = palette();

    for (qsizetype line = first; line < last; ++line) {
        const int y = static_cast<int>(line - first) * height;
        const bool selected = selFirst >= 0 && line >= selFirst && line <= selLast;
        if (selected) {
            painter.fillRect(
                QRect(0, y, viewport()->width(), height),
                pal.brush(hasFocus() ? QPalette::Active : QPalette::Inactive, QPalette::Highlight));
            painter.setPen(pal.color(QPalette::HighlightedText));
        } else {
            painter.setPen(pal.color(QPalette::Text));
        }
        const QString visible =
            VisibleColumns(m_text.lineBytes(line), m_text.isUtf8(), firstColumn, lastColumn);
        const int x = Margin + static_cast<int>(firstColumn) * width - scrollX;
        painter.drawText(x, y + ascent, visible);
    }
    if (hasFocus()) {
        // The focus frame: two pixels of the text colour, inside a ring of the base colour
        // so that it stays visible over a selected line.
        const QRect inner = viewport()->rect().adjusted(0, 0, -1, -1);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(pal.color(QPalette::Base), 1));
        painter.drawRect(inner.adjusted(2, 2, -2, -2));
        painter.setPen(QPen(pal.color(QPalette::Text), 1));
        painter.drawRect(inner);
        painter.drawRect(inner.adjusted(1, 1, -1, -1));
    }
}

void RawTextView::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void RawTextView::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

const std::vector<qint64> &RawTextView::characterOffsets() const
{
    if (!m_offsets.empty()) {
        return m_offsets;
    }
    const qsizetype lines = m_text.lineCount();
    m_offsets.reserve(static_cast<std::size_t>(lines) + 1);
    qint64 offset = 0;
    m_text.forEachLine(0, lines - 1, [&](qsizetype, QByteArrayView bytes) {
        m_offsets.push_back(offset);
        // A Windows-1252 byte is one unit, so is an ASCII byte of UTF-8; other UTF-8 lines
        // are decoded to count their units.
        const bool ascii =
            std::all_of(bytes.begin(), bytes.end(), [](char byte) { return (byte & 0x80) == 0; });
        offset +=
            (m_text.isUtf8() && !ascii ? Engine::Decode(bytes, true).size() : bytes.size()) + 1;
        return true;
    });
    m_offsets.push_back(lines > 0 ? offset : 1);
    return m_offsets;
}

QString RawTextView::VisibleColumns(QByteArrayView bytes, bool utf8, qsizetype first,
                                    qsizetype last)
{
    // A UTF-8 character starts at any byte that is not a continuation byte.
    const auto startsCharacter = [utf8](char byte) {
        return !utf8 || (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
    };
    const auto advance = [](qsizetype column, char byte) {
        return byte == '\t' ? (column / TabStop + 1) * TabStop : column + 1;
    };
    // Walk the bytes to the character that covers the first visible column.
    qsizetype i = 0;
    qsizetype column = 0;
    while (i < bytes.size()) {
        const qsizetype next = advance(column, bytes[i]);
        if (next > first) {
            break;
        }
        column = next;
        ++i;
        while (i < bytes.size() && !startsCharacter(bytes[i])) {
            ++i;
        }
    }
    if (last < first || i >= bytes.size()) {
        return {};
    }
    // Each character takes at least one column and at most four bytes.
    const qsizetype maxBytes = (last - column + 1) * (utf8 ? 4 : 1);
    const QString text =
        Engine::Decode(bytes.sliced(i, std::min(maxBytes, bytes.size() - i)), utf8);
    QString visible;
    for (const QChar ch : text) {
        if (column > last) {
            break;
        }
        const qsizetype next = ch == u'\t' ? (column / TabStop + 1) * TabStop : column + 1;
        for (qsizetype c = column; c < next; ++c) {
            if (c >= first && c <= last) {
                visible += ch == u'\t' ? QChar(u' ') : ch;
            }
        }
        column = next;
    }
    for (QChar &ch : visible) {
        if (ch.unicode() < 32) {
            ch = u' ';
        }
    }
    return visible;
}

qsizetype RawTextView::lineAt(int y) const
{
    const qsizetype line = topLine() + std::max(0, y) / lineHeight();
    return std::min(line, m_text.lineCount() - 1);
}

qsizetype RawTextView::selectionFirst() const
{
    if (m_anchor < 0 || m_current < 0) {
        return -1;
    }
    return std::min(m_anchor, m_current);
}

qsizetype RawTextView::selectionLast() const
{
    if (m_anchor < 0 || m_current < 0) {
        return -1;
    }
    return std::max(m_anchor, m_current);
}

void RawTextView::selectLines(qsizetype anchor, qsizetype current)
{
    const qsizetype lines = m_text.lineCount();
    if (lines == 0) {
        m_anchor = m_current = -1;
    } else {
        m_anchor = std::clamp<qsizetype>(anchor, 0, lines - 1);
        m_current = std::clamp<qsizetype>(current, 0, lines - 1);
    }
    viewport()->update();
    RawTextAccessibility::SelectionChanged(this);
}

void RawTextView::selectAll()
{
    selectLines(0, m_text.lineCount() - 1);
}

QString RawTextView::selectedText() const
{
    const qsizetype first = selectionFirst();
    if (first < 0) {
        return {};
    }
    QString text;
    m_text.forEachLine(first, selectionLast(), [&](qsizetype line, QByteArrayView bytes) {
        if (line > first) {
            text += u'\n';
        }
        text += Engine::Decode(bytes, m_text.isUtf8());
        return true;
    });
    return text;
}

void RawTextView::copy() const
{
    if (selectionFirst() < 0) {
        return;
    }
    if (QClipboard *clipboard = QGuiApplication::clipboard()) {
        clipboard->setText(selectedText());
    }
}

void RawTextView::ensureVisible(qsizetype line)
{
    QScrollBar *bar = verticalScrollBar();
    if (line < bar->value()) {
        bar->setValue(static_cast<int>(line));
    } else if (line >= bar->value() + visibleLines()) {
        bar->setValue(static_cast<int>(line - visibleLines() + 1));
    }
}

void RawTextView::moveCurrent(qsizetype line, bool extend)
{
    const qsizetype lines = m_text.lineCount();
    if (lines == 0) {
        return;
    }
    line = std::clamp<qsizetype>(line, 0, lines - 1);
    selectLines(extend && m_anchor >= 0 ? m_anchor : line, line);
    ensureVisible(line);
}

void RawTextView::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    const bool control = event->modifiers() & Qt::ControlModifier;
    const qsizetype current = m_current >= 0 ? m_current : topLine() - 1;
    switch (event->key()) {
    case Qt::Key_Up:
        moveCurrent(current - 1, extend);
        return;
    case Qt::Key_Down:
        moveCurrent(current + 1, extend);
        return;
    case Qt::Key_PageUp:
        moveCurrent(current - visibleLines(), extend);
        return;
    case Qt::Key_PageDown:
        moveCurrent(current + visibleLines(), extend);
        return;
    case Qt::Key_Home:
        if (control) {
            moveCurrent(0, extend);
        } else {
            horizontalScrollBar()->setValue(0);
        }
        return;
    case Qt::Key_End:
        if (control) {
            moveCurrent(m_text.lineCount() - 1, extend);
        } else {
            horizontalScrollBar()->setValue(horizontalScrollBar()->maximum());
        }
        return;
    case Qt::Key_Left:
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        return;
    case Qt::Key_Right:
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void RawTextView::mousePressEvent(QMouseEvent *event)
{
    if (m_text.lineCount() == 0) {
        return;
    }
    if (event->button() == Qt::LeftButton) {
        const qsizetype line = lineAt(event->position().toPoint().y());
        const bool extend = (event->modifiers() & Qt::ShiftModifier) && m_anchor >= 0;
        selectLines(extend ? m_anchor : line, line);
    } else if (event->button() == Qt::RightButton && selectionFirst() < 0) {
        const qsizetype line = lineAt(event->position().toPoint().y());
        selectLines(line, line);
    }
}

void RawTextView::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton) || m_anchor < 0) {
        return;
    }
    const int y = event->position().toPoint().y();
    if (y < 0) {
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    } else if (y >= viewport()->height()) {
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    }
    const qsizetype line = lineAt(std::clamp(y, 0, std::max(0, viewport()->height() - 1)));
    if (line != m_current) {
        m_current = line;
        viewport()->update();
        RawTextAccessibility::SelectionChanged(this);
    }
}

void RawTextView::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    QAction *copyAction = menu.addAction(QStringLiteral("&Copy"), this, &RawTextView::copy);
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setEnabled(selectionFirst() >= 0);
    menu.addAction(QStringLiteral("Select &All"), this, &RawTextView::selectAll)
        ->setShortcut(QKeySequence::SelectAll);
    menu.exec(event->globalPos());
}
