// TSkin: the look the application draws in, a style number 0..5 and, for
// style 0, a theme file (a Qt style sheet). Each style is a Qt style
// ("Fusion", which honours palettes), a palette and a style sheet; style 0
// draws with the theme file over a neutral palette, and an unreadable or
// missing theme file leaves the neutral look.
//
// The application context owns the one skin of a running application. The
// dialog service holds a pointer to it and draws its boxes and the dialogs it
// runs in it; the windows that stay open beside the main window get a
// reference when they are made. Choose draws the whole application in a new
// skin and redraws every widget ApplyTo drew that is still open, so open
// windows follow a change. Not thread-safe: use it on the window thread.
#pragma once

#include <QPointer>
#include <QString>
#include <vector>

class QWidget;

class TSkin {
public:
    static constexpr int kStyleCount = 6;

    int Style() const { return m_style; }
    const QString& Theme() const { return m_theme; }

    // Remembers the style (outside 0..5: 0) and the theme file without
    // drawing anything, e.g. when reading the stored choice at start.
    void Set(int style, const QString& themeFile);
    // Set, then draws the application and every open widget drawn by ApplyTo
    // in the new skin.
    void Choose(int style, const QString& themeFile);
    // Draws the whole application in the skin, so every window, dialog and
    // message box opened afterwards takes it without further calls.
    void ApplyToApplication() const;
    // Draws widget and its children in the skin now and again whenever the
    // skin is chosen anew, until the widget is destroyed.
    void ApplyTo(QWidget* widget) const;

private:
    int m_style = 0;
    QString m_theme;
    // Widgets ApplyTo drew; destroyed ones turn null and are dropped.
    mutable std::vector<QPointer<QWidget>> m_drawn;
};

// Draws widget and its children in style (0..5; other values act as 0) with
// themeFile for style 0; a null widget draws the whole application.
void ApplySkin(QWidget* widget, int style, const QString& themeFile);
