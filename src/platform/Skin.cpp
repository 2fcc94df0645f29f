#include "platform/Skin.h"

#include <QWidget>

int g_Style = 0;
QString g_Theme;

void ApplySkin(QWidget* widget, int style, const QString& themeFile) {
    Q_UNUSED(widget);
    Q_UNUSED(style);
    Q_UNUSED(themeFile);
}

void ApplyCurrentSkin(QWidget* widget) { ApplySkin(widget, g_Style, g_Theme); }
