// The skin: style number 0-5 and the theme file used by style 0. Every dialog
// and message box is drawn in the current skin; ApplySkin sets a widget's
// palette and style sheet for a style.
#pragma once

#include <QString>

class QWidget;

extern int g_Style;      // 0..5
extern QString g_Theme;  // path of a *.sui theme file (a Qt style sheet) for style 0

// Applies style (0..5; other values act as 0) to the widget and its children.
void ApplySkin(QWidget* widget, int style, const QString& themeFile);
// Applies the current g_Style/g_Theme.
void ApplyCurrentSkin(QWidget* widget);
