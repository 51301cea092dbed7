#include "viewer/rawtextaccessible.h"

#include "viewer/engine/tabletext.h"
#include "viewer/rawtextview.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QScrollBar>
#include <QTextBoundaryFinder>
#include <algorithm>
#include <climits>

// The pane as a read-only, multi-line text. Offsets beyond int are out of reach of the
// interface; such a file shows its first two thousand million units to a reader.
class RawTextAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit RawTextAccessible(RawTextView *view)
        : QAccessibleWidget(view, QAccessible::EditableText)
    {
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface *>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.editable = false;
        state.multiLine = true;
        state.selectableText = true;
        state.focusable = true;
        return state;
    }

    // --- Text ---------------------------------------------------------------------------

    int characterCount() const override { return Clamp(offsets().back() - 1); }

    // The widget's text(QAccessible::Text) stays visible beside the text interface's range.
    using QAccessibleWidget::text;

    QString text(int startOffset, int endOffset) const override
    {
        const qint64 count = characterCount();
        const qint64 start = std::clamp<qint64>(startOffset, 0, count);
        const qint64 end = endOffset < 0 ? count : std::clamp<qint64>(endOffset, start, count);
        QString text;
        if (start >= end) {
            return text;
        }
        const std::vector<qint64> &starts = offsets();
        for (qsizetype line = lineAt(start); line < lineCount() && starts[line] < end; ++line) {
            QString piece = view()->rawText().line(line);
            if (line + 1 < lineCount()) {
                piece += u'\n';
            }
            const qint64 from = std::max<qint64>(0, start - starts[line]);
            const qint64 to = std::min<qint64>(piece.size(), end - starts[line]);
            text += QStringView(piece).sliced(from, to - from);
        }
        return text;
    }

    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int *startOffset,
                         int *endOffset) const override
    {
        return piece(offset, boundary, 0, startOffset, endOffset);
    }

    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int *startOffset,
                             int *endOffset) const override
    {
        return piece(offset, boundary, -1, startOffset, endOffset);
    }

    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int *startOffset,
                            int *endOffset) const override
    {
        return piece(offset, boundary, 1, startOffset, endOffset);
    }

    // --- Caret and selection: the current line and the selected lines -------------------

    int cursorPosition() const override
    {
        return view()->m_current >= 0 ? Clamp(offsets()[view()->m_current]) : 0;
    }

    void setCursorPosition(int position) override
    {
        const qsizetype line = lineAt(position);
        view()->selectLines(line, line);
        view()->ensureVisible(line);
    }

    int selectionCount() const override { return view()->selectionFirst() >= 0 ? 1 : 0; }

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
        const qsizetype first = view()->selectionFirst();
        if (selectionIndex != 0 || first < 0) {
            return;
        }
        const qsizetype last = view()->selectionLast();
        *startOffset = Clamp(offsets()[first]);
        *endOffset = Clamp(offsets()[last + 1] - 1);
    }

    void addSelection(int startOffset, int endOffset) override
    {
        setSelection(0, startOffset, endOffset);
    }

    void removeSelection(int selectionIndex) override
    {
        if (selectionIndex == 0) {
            view()->m_anchor = view()->m_current = -1;
            view()->viewport()->update();
            RawTextAccessibility::SelectionChanged(view());
        }
    }

    void setSelection(int selectionIndex, int startOffset, int endOffset) override
    {
        if (selectionIndex != 0 || lineCount() == 0) {
            return;
        }
        const int first = std::min(startOffset, endOffset);
        const int last = std::max(startOffset, endOffset);
        view()->selectLines(lineAt(first), lineAt(std::max(first, last - 1)));
        view()->ensureVisible(view()->m_current);
    }

    // --- Geometry -----------------------------------------------------------------------

    QRect characterRect(int offset) const override
    {
        if (lineCount() == 0) {
            return {};
        }
        const qsizetype line = lineAt(offset);
        const QString text = view()->rawText().line(line);
        const qsizetype index = std::clamp<qint64>(offset - offsets()[line], 0, text.size());
        qsizetype column = 0;
        for (qsizetype i = 0; i < index; ++i) {
            column = text[i] == u'\t' ? (column / 8 + 1) * 8 : column + 1;
        }
        const int width = view()->charWidth();
        const int x = 4 + static_cast<int>(column) * width - view()->horizontalScrollBar()->value();
        const int y = static_cast<int>(line - view()->topLine()) * view()->lineHeight();
        const QPoint origin = view()->viewport()->mapToGlobal(QPoint(x, y));
        return QRect(origin, QSize(width, view()->lineHeight()));
    }

    int offsetAtPoint(const QPoint &point) const override
    {
        if (lineCount() == 0) {
            return -1;
        }
        const QPoint local = view()->viewport()->mapFromGlobal(point);
        if (!view()->viewport()->rect().contains(local)) {
            return -1;
        }
        const qsizetype line = view()->lineAt(local.y());
        const QString text = view()->rawText().line(line);
        const qsizetype wanted =
            std::max(0, local.x() - 4 + view()->horizontalScrollBar()->value()) /
            view()->charWidth();
        qsizetype column = 0;
        qsizetype index = 0;
        while (index < text.size()) {
            const qsizetype next = text[index] == u'\t' ? (column / 8 + 1) * 8 : column + 1;
            if (next > wanted) {
                break;
            }
            column = next;
            ++index;
        }
        return Clamp(offsets()[line] + index);
    }

    void scrollToSubstring(int startIndex, int) override
    {
        if (lineCount() > 0) {
            view()->ensureVisible(lineAt(startIndex));
        }
    }

    QString attributes(int offset, int *startOffset, int *endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        Q_UNUSED(offset);
        return {};
    }

private:
    static int Clamp(qint64 value)
    {
        return static_cast<int>(std::clamp<qint64>(value, 0, INT_MAX));
    }

    RawTextView *view() const { return static_cast<RawTextView *>(widget()); }
    const std::vector<qint64> &offsets() const { return view()->characterOffsets(); }
    qsizetype lineCount() const { return view()->rawText().lineCount(); }

    // The line holding offset (the line feed after a line belongs to it).
    qsizetype lineAt(qint64 offset) const
    {
        const std::vector<qint64> &starts = offsets();
        const auto after = std::upper_bound(starts.begin(), starts.end() - 1, offset);
        return std::clamp<qsizetype>(after - starts.begin() - 1, 0,
                                     std::max<qsizetype>(0, lineCount() - 1));
    }

    // Line text with its line feed (but the last line's), as a reader reads lines.
    QString lineWithEnd(qsizetype line) const
    {
        QString text = view()->rawText().line(line);
        if (line + 1 < lineCount()) {
            text += u'\n';
        }
        return text;
    }

    // The piece of the given kind at offset (step 0), before it (-1) or after it (+1).
    QString piece(int offset, QAccessible::TextBoundaryType boundary, int step, int *startOffset,
                  int *endOffset) const
    {
        *startOffset = *endOffset = -1;
        const int count = characterCount();
        if (offset == -2) {
            offset = cursorPosition();
        }
        if (offset < 0 || offset > count || lineCount() == 0) {
            return {};
        }
        switch (boundary) {
        case QAccessible::CharBoundary: {
            const int at = offset + step;
            if (at < 0 || at >= count) {
                return {};
            }
            *startOffset = at;
            *endOffset = at + 1;
            return text(at, at + 1);
        }
        case QAccessible::LineBoundary:
        case QAccessible::ParagraphBoundary: {
            const qsizetype line = lineAt(offset) + step;
            if (line < 0 || line >= lineCount()) {
                return {};
            }
            const QString text = lineWithEnd(line);
            *startOffset = Clamp(offsets()[line]);
            *endOffset = Clamp(offsets()[line] + text.size());
            return text;
        }
        case QAccessible::NoBoundary:
            if (step != 0) {
                return {};
            }
            *startOffset = 0;
            *endOffset = count;
            return text(0, count);
        case QAccessible::WordBoundary:
        case QAccessible::SentenceBoundary:
            break;
        }
        // Words and sentences within a line; before the first or after the last one of a
        // line the neighbouring line's last or first one.
        const auto kind = boundary == QAccessible::WordBoundary ? QTextBoundaryFinder::Word
                                                                : QTextBoundaryFinder::Sentence;
        qsizetype line = lineAt(offset);
        std::vector<std::pair<qsizetype, qsizetype>> pieces = piecesOf(line, kind);
        const qint64 inLine = offset - offsets()[line];
        qsizetype index = 0;
        while (index + 1 < qsizetype(pieces.size()) &&
               pieces[std::size_t(index)].second <= inLine) {
            ++index;
        }
        index += step;
        if (index < 0 || index >= qsizetype(pieces.size())) {
            line += step;
            if (line < 0 || line >= lineCount()) {
                return {};
            }
            pieces = piecesOf(line, kind);
            index = step < 0 ? qsizetype(pieces.size()) - 1 : 0;
        }
        if (index < 0 || index >= qsizetype(pieces.size())) {
            return {};
        }
        const auto [start, end] = pieces[std::size_t(index)];
        *startOffset = Clamp(offsets()[line] + start);
        *endOffset = Clamp(offsets()[line] + end);
        return lineWithEnd(line).sliced(start, end - start);
    }

    // The words or sentences of a line, with what lies between them, as [start, end).
    std::vector<std::pair<qsizetype, qsizetype>>
    piecesOf(qsizetype line, QTextBoundaryFinder::BoundaryType kind) const
    {
        const QString text = lineWithEnd(line);
        std::vector<std::pair<qsizetype, qsizetype>> pieces;
        QTextBoundaryFinder finder(kind, text);
        qsizetype from = 0;
        while (from < text.size()) {
            finder.setPosition(from);
            qsizetype to = finder.toNextBoundary();
            if (to <= from) {
                to = text.size();
            }
            pieces.emplace_back(from, to);
            from = to;
        }
        return pieces;
    }
};

namespace RawTextAccessibility {

QAccessibleInterface *Create(RawTextView *view)
{
    return new RawTextAccessible(view);
}

QString EventText(const RawTextView *view)
{
    if (!QAccessible::isActive()) {
        return {};
    }
    QString text;
    const Engine::RawText &raw = view->rawText();
    raw.forEachLine(0, raw.lineCount() - 1, [&](qsizetype line, QByteArrayView bytes) {
        if (line > 0) {
            text += u'\n';
        }
        text += Engine::Decode(bytes, raw.isUtf8());
        return text.size() < EventTextLimit;
    });
    text.truncate(EventTextLimit);
    return text;
}

void TextReplaced(RawTextView *view, const QString &oldText)
{
    if (!QAccessible::isActive()) {
        return;
    }
    QAccessibleTextUpdateEvent update(view, 0, oldText, EventText(view));
    QAccessible::updateAccessibility(&update);
    QAccessibleTextCursorEvent cursor(view, 0);
    QAccessible::updateAccessibility(&cursor);
}

void SelectionChanged(RawTextView *view)
{
    if (!QAccessible::isActive()) {
        return;
    }
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(view);
    QAccessibleTextInterface *text = iface != nullptr ? iface->textInterface() : nullptr;
    if (text == nullptr) {
        return;
    }
    int start = 0;
    int end = 0;
    text->selection(0, &start, &end);
    QAccessibleTextSelectionEvent selection(view, start, end);
    selection.setCursorPosition(text->cursorPosition());
    QAccessible::updateAccessibility(&selection);
    QAccessibleTextCursorEvent cursor(view, text->cursorPosition());
    QAccessible::updateAccessibility(&cursor);
}

} // namespace RawTextAccessibility
