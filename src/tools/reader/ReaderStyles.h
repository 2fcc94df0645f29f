// The reader's text styles and how one laid-out line of text is drawn with
// them: a shadow (offset, optionally blurred), a fill (a colour or a colour
// gradient across the line), and an outline. Drawing goes through glyph
// outlines, so effects are the same at every size. Widget-free.
#pragma once

#include "tools/reader/ReaderMarkup.h"

#include <QColor>
#include <QFont>
#include <QPoint>

class QPainter;
class QTextLine;

struct TReaderStyleSpec {
    QFont font;
    QColor color;  // the fill without a gradient
    bool shadow = false;
    QPoint shadowOffset{2, 2};
    int blur = 0;  // 0..100: how soft the shadow is
    bool outline = false;
    enum class Gradient { None, LeftToRight, TopToBottom } gradient = Gradient::None;
    QColor gradientFrom, gradientTo;
};

// The built-in look of a style; bodyFont, when set, replaces the family and
// size of the Text styles (the reader's "设置字体").
TReaderStyleSpec StyleSpec(TReaderStyle style, const QFont* bodyFont = nullptr);

// Draws the characters [from, from + length) of line, whose layout starts at
// origin, in that style's look.
void DrawStyledRange(QPainter& painter, const QTextLine& line, QPointF origin, int from, int length,
                     const TReaderStyleSpec& look);
