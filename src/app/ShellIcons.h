// Icons of the shell's tool buttons: the current style's standard icons where
// one fits, otherwise a small generated badge (a glyph on a rounded square).
// No image files are shipped. Needs a QGuiApplication.
#pragma once

#include <QColor>
#include <QIcon>
#include <QString>
#include <QStyle>

QIcon BadgeIcon(const QString& glyph, const QColor& color);
// A drawn chevron, dark on a light halo, legible on every skin.
enum class TArrow { Left, Right, Down };
QIcon ArrowIcon(TArrow direction);
// The style's standard icon with only the sizes a tool button draws (up to
// kLargestToolIconSize pixels): a style may hold each icon at 128 pixels as
// well, and a window with twenty such icons would keep them all in memory.
constexpr int kLargestToolIconSize = 32;
QIcon CompactStandardIcon(QStyle::StandardPixmap which);
// Icon for a tool button by its objectName (tbNew, tbSave, ...); a badge with
// the hint's first character when nothing specific exists.
QIcon ToolIcon(const QString& buttonName, const QString& hint);
