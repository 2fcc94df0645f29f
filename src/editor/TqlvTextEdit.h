// TqlvTextEdit: the QTextEdit inside TqlvEditor, with the writing modes that
// need the widget's protected parts:
//   - a centred column: the text keeps to a column of a number of characters
//     of the control's font (the width of "中"), centred by viewport margins;
//   - typewriter scrolling: after every caret move or edit the caret's line is
//     scrolled to a fixed height (kTypewriterHeight of the viewport); the
//     scroll range is lengthened below the text so the last lines can get
//     there too; near the top of the text the caret stays where it is;
//   - focus mode: every paragraph but the caret's is drawn in a colour half
//     way between the text and the background (two extra selections, before
//     and after the current paragraph, so the cost does not grow with the
//     text).
// None of them touches the document: the text, its undo history and its
// modified flag stay as they are.
//
// It also answers the input method's cursor-rectangle query with the caret's
// rectangle in the control's own coordinates (the viewport's place included),
// so a candidate box opens beside the caret whatever the margins and scroll.
// Owned by its parent widget, like any widget.
#pragma once

#include <QTextEdit>

class TqlvTextEdit : public QTextEdit {
    Q_OBJECT
public:
    // Where typewriter scrolling keeps the caret's line: this fraction of the
    // viewport's height from its top.
    static constexpr double kTypewriterHeight = 0.45;

    explicit TqlvTextEdit(QWidget* parent = nullptr);

    // 0 (the default) fills the width; otherwise the column's width in characters.
    void SetColumnCharacters(int characters);
    int ColumnCharacters() const { return m_columnCharacters; }
    void SetTypewriterScrolling(bool on);
    bool TypewriterScrolling() const { return m_typewriter; }
    void SetFocusMode(bool on);
    bool FocusMode() const { return m_focusMode; }
    // The caret's rectangle in the control's coordinates.
    QRect CaretRectInControl() const;

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void UpdateColumn();
    void KeepCaretAtHeight();
    void LengthenScrollRange();
    void UpdateFocusDimming();

    int m_columnCharacters = 0;
    bool m_typewriter = false;
    bool m_focusMode = false;
    bool m_lengthening = false;
};
