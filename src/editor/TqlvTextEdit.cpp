#include "editor/TqlvTextEdit.h"

#include <QEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <cmath>

namespace {

QColor Between(const QColor& a, const QColor& b) {
    return QColor((a.red() + b.red()) / 2, (a.green() + b.green()) / 2, (a.blue() + b.blue()) / 2);
}

// A selection from `from` to `to` drawn in `color`; none when empty.
void AddDimmed(QList<QTextEdit::ExtraSelection>& selections, QTextDocument* document, int from, int to,
               const QColor& color) {
    if (to <= from)
        return;
    QTextEdit::ExtraSelection selection;
    selection.cursor = QTextCursor(document);
    selection.cursor.setPosition(from);
    selection.cursor.setPosition(to, QTextCursor::KeepAnchor);
    selection.format.setForeground(color);
    selections.append(selection);
}

}  // namespace

TqlvTextEdit::TqlvTextEdit(QWidget* parent) : QTextEdit(parent) {
    // The caret's place is only known once the edit is laid out; the queued
    // call scrolls after Qt's own ensureCursorVisible.
    auto follow = [this] {
        if (m_typewriter) {
            KeepCaretAtHeight();
            QTimer::singleShot(0, this, [this] { KeepCaretAtHeight(); });
        }
        UpdateFocusDimming();
    };
    connect(this, &QTextEdit::cursorPositionChanged, this, follow);
    connect(this, &QTextEdit::textChanged, this, follow);
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, [this] { LengthenScrollRange(); });
}

void TqlvTextEdit::SetColumnCharacters(int characters) {
    m_columnCharacters = qMax(0, characters);
    UpdateColumn();
}

void TqlvTextEdit::SetTypewriterScrolling(bool on) {
    m_typewriter = on;
    if (on) {
        LengthenScrollRange();
        KeepCaretAtHeight();
    } else {
        // Qt's own range again: the text's height less the viewport's.
        const int height = int(std::ceil(document()->size().height()));
        verticalScrollBar()->setRange(0, qMax(0, height - viewport()->height()));
        ensureCursorVisible();
    }
}

void TqlvTextEdit::SetFocusMode(bool on) {
    m_focusMode = on;
    UpdateFocusDimming();
}

QRect TqlvTextEdit::CaretRectInControl() const { return cursorRect().translated(viewport()->geometry().topLeft()); }

// QTextEdit reports the caret in viewport coordinates minus the scroll
// offsets only; the viewport's own place (frame, margins) is left out.
QVariant TqlvTextEdit::inputMethodQuery(Qt::InputMethodQuery query) const {
    if (query == Qt::ImCursorRectangle)
        return QRectF(CaretRectInControl());
    return QTextEdit::inputMethodQuery(query);
}

void TqlvTextEdit::resizeEvent(QResizeEvent* event) {
    UpdateColumn();
    QTextEdit::resizeEvent(event);
    if (m_typewriter)
        KeepCaretAtHeight();
}

void TqlvTextEdit::changeEvent(QEvent* event) {
    QTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        UpdateColumn();
    else if (event->type() == QEvent::PaletteChange)
        UpdateFocusDimming();
}

void TqlvTextEdit::UpdateColumn() {
    const bool centred = m_columnCharacters > 0;
    // The margins beside the column are the control's own area: drawn as
    // the page, not as the window behind it.
    setBackgroundRole(centred ? QPalette::Base : QPalette::NoRole);
    setAutoFillBackground(centred);
    if (!centred) {
        setViewportMargins(0, 0, 0, 0);
        return;
    }
    const int column = m_columnCharacters * fontMetrics().horizontalAdvance(QChar(0x4E2D)) +
                       2 * int(std::ceil(document()->documentMargin()));
    const int scrollBar = verticalScrollBar()->isVisible() ? verticalScrollBar()->width() : 0;
    const int available = width() - 2 * frameWidth() - scrollBar;
    const int side = qMax(0, (available - column) / 2);
    setViewportMargins(side, 0, side, 0);
}

void TqlvTextEdit::KeepCaretAtHeight() {
    if (!m_typewriter)
        return;
    QScrollBar* bar = verticalScrollBar();
    const int target = int(viewport()->height() * kTypewriterHeight);
    const QRect caret = cursorRect();
    bar->setValue(bar->value() + caret.top() - target);
}

// Qt stops the range where the last line meets the bottom; typewriter
// scrolling needs room for the last line to rise to its height.
void TqlvTextEdit::LengthenScrollRange() {
    if (!m_typewriter || m_lengthening)
        return;
    QScrollBar* bar = verticalScrollBar();
    const int wanted = int(std::ceil(document()->size().height() - viewport()->height() * kTypewriterHeight));
    if (wanted <= bar->maximum())
        return;
    m_lengthening = true;
    bar->setRange(0, wanted);
    m_lengthening = false;
}

void TqlvTextEdit::UpdateFocusDimming() {
    QList<ExtraSelection> selections;
    if (m_focusMode) {
        const QColor dim = Between(palette().color(QPalette::Text), palette().color(QPalette::Base));
        const QTextBlock block = textCursor().block();
        const int end = document()->characterCount() - 1;
        AddDimmed(selections, document(), 0, block.position() - 1, dim);
        AddDimmed(selections, document(), block.position() + block.length(), end, dim);
    }
    setExtraSelections(selections);
}
