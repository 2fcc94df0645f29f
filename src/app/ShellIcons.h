// Icons of the shell's tool buttons: the current style's standard icons where
// one fits, otherwise a small generated badge (a glyph on a rounded square).
// No image files are shipped. Needs a QGuiApplication.
#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

QIcon BadgeIcon(const QString& glyph, const QColor& color);
// A drawn chevron, dark on a light halo, legible on every skin.
enum class TArrow { Left, Right, Down };
QIcon ArrowIcon(TArrow direction);
// Icon for a tool button by its objectName (tbNew, tbSave, ...); a badge with
// the hint's first character when nothing specific exists.
QIcon ToolIcon(const QString& buttonName, const QString& hint);
