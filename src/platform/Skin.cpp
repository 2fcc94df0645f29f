// The six skin styles: a palette and a style sheet per style; style 0 reads
// its style sheet from the theme file.
#include "platform/Skin.h"

#include <QApplication>
#include <QFile>
#include <QPalette>
#include <QStyle>
#include <QWidget>
#include <algorithm>

namespace {

struct SkinColors {
    const char* window;  // window and tool-bar background
    const char* windowText;
    const char* base;  // trees, lists, edit boxes
    const char* text;
    const char* button;
    const char* buttonText;
    const char* highlight;
    const char* highlightText;
    const char* barTop;  // menu bar / tool bar / status bar gradient
    const char* barBottom;
    const char* barText;
    const char* border;
    int radius;  // button and tab corner radius
};

// Index = style number; entry 0 is the neutral base under a theme file.
const SkinColors kSkins[TSkin::kStyleCount] = {
    {"#efefef", "#000000", "#ffffff", "#000000", "#e8e8e8", "#000000", "#3875d7", "#ffffff", "#f6f6f6", "#e4e4e4",
     "#000000", "#b0b0b0", 2},
    // 1 MacOS: brushed light grey, aqua selection, round buttons.
    {"#e8e8e8", "#1a1a1a", "#ffffff", "#1a1a1a", "#f4f4f4", "#1a1a1a", "#3b88f5", "#ffffff", "#fbfbfb", "#d5d5d5",
     "#1a1a1a", "#a8a8a8", 9},
    // 2 WinXP: Luna beige surfaces, blue bars.
    {"#ece9d8", "#000000", "#ffffff", "#000000", "#f5f4ea", "#000000", "#316ac5", "#ffffff", "#3d83e8", "#0a53c9",
     "#ffffff", "#7f9db9", 3},
    // 3 DeepBlue: dark navy frame with light text, light reading surfaces.
    {"#1d2b4a", "#e6ecff", "#f0f4ff", "#0c1428", "#2c416e", "#ffffff", "#f2a93b", "#000000", "#30487a", "#14203a",
     "#e6ecff", "#0b1224", 4},
    // 4 Protein: warm green, olive bars.
    {"#dfe9cf", "#1f2a12", "#fbfdf6", "#1f2a12", "#c9dbad", "#1f2a12", "#6b8e23", "#ffffff", "#9cbc63", "#5f7f2c",
     "#ffffff", "#5f7f2c", 6},
    // 5 BlueGlass: pale sky glass with bright cyan accents.
    {"#d6ebfa", "#0b2f4e", "#f7fcff", "#0b2f4e", "#e6f4fe", "#0b2f4e", "#1e9be0", "#ffffff", "#eaf6ff", "#9fd0f2",
     "#0b2f4e", "#7ab8e0", 8},
};

QPalette MakePalette(const SkinColors& c) {
    QPalette p;
    p.setColor(QPalette::Window, QColor(c.window));
    p.setColor(QPalette::WindowText, QColor(c.windowText));
    p.setColor(QPalette::Base, QColor(c.base));
    p.setColor(QPalette::AlternateBase, QColor(c.base).darker(104));
    p.setColor(QPalette::Text, QColor(c.text));
    p.setColor(QPalette::Button, QColor(c.button));
    p.setColor(QPalette::ButtonText, QColor(c.buttonText));
    p.setColor(QPalette::Highlight, QColor(c.highlight));
    p.setColor(QPalette::HighlightedText, QColor(c.highlightText));
    p.setColor(QPalette::ToolTipBase, QColor(c.base));
    p.setColor(QPalette::ToolTipText, QColor(c.text));
    p.setColor(QPalette::PlaceholderText, QColor(c.text).lighter(250));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(c.buttonText).lighter(180));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(c.windowText).lighter(180));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(c.text).lighter(250));
    return p;
}

// Only bars, menus, tabs, headers and buttons are restyled; edit surfaces keep
// their own palettes (the editor sets its background colour itself).
QString MakeStyleSheet(const SkinColors& c) {
    const QString bar = QStringLiteral("qlineargradient(x1:0,y1:0,x2:0,y2:1,stop:0 %1,stop:1 %2)")
                            .arg(QLatin1String(c.barTop), QLatin1String(c.barBottom));
    QString css;
    css += QStringLiteral("QMenuBar{background:%1;color:%2;border-bottom:1px solid %3;}")
               .arg(bar, QLatin1String(c.barText), QLatin1String(c.border));
    css += QStringLiteral(
               "QMenuBar::item{background:transparent;padding:3px 8px;}"
               "QMenuBar::item:selected{background:%1;color:%2;border-radius:%3px;}")
               .arg(QLatin1String(c.highlight), QLatin1String(c.highlightText))
               .arg(c.radius / 2);
    css += QStringLiteral(
               "QMenu{background:%1;color:%2;border:1px solid %3;}"
               "QMenu::item:selected{background:%4;color:%5;}"
               "QMenu::item:disabled{color:#8a8a8a;}"
               "QMenu::separator{height:1px;background:%3;margin:3px 6px;}")
               .arg(QLatin1String(c.base), QLatin1String(c.text), QLatin1String(c.border), QLatin1String(c.highlight),
                    QLatin1String(c.highlightText));
    css += QStringLiteral("QToolBar{background:%1;border:none;border-bottom:1px solid %2;spacing:2px;}")
               .arg(bar, QLatin1String(c.border));
    css += QStringLiteral(
               "QToolButton{border:1px solid transparent;border-radius:%1px;padding:2px;}"
               "QToolButton:hover{border:1px solid %2;background:%3;}")
               .arg(c.radius)
               .arg(QLatin1String(c.border), QLatin1String(c.button));
    css += QStringLiteral(
               "QStatusBar{background:%1;color:%2;}QStatusBar QLabel{color:%2;"
               "border:1px solid %3;border-radius:2px;padding:0 3px;}")
               .arg(bar, QLatin1String(c.barText), QLatin1String(c.border));
    css += QStringLiteral(
               "QTabBar::tab{background:%1;color:%2;border:1px solid %3;padding:3px 9px;"
               "border-top-left-radius:%4px;border-top-right-radius:%4px;}"
               "QTabBar::tab:selected{background:%5;color:%6;}")
               .arg(QLatin1String(c.button), QLatin1String(c.buttonText), QLatin1String(c.border))
               .arg(c.radius)
               .arg(QLatin1String(c.highlight), QLatin1String(c.highlightText));
    css += QStringLiteral("QHeaderView::section{background:%1;color:%2;border:1px solid %3;padding:2px 4px;}")
               .arg(bar, QLatin1String(c.barText), QLatin1String(c.border));
    css += QStringLiteral(
               "QPushButton{background:%1;color:%2;border:1px solid %3;border-radius:%4px;"
               "padding:3px 14px;}QPushButton:hover{border-color:%5;}"
               "QPushButton:default{border:2px solid %5;}")
               .arg(QLatin1String(c.button), QLatin1String(c.buttonText), QLatin1String(c.border))
               .arg(c.radius)
               .arg(QLatin1String(c.highlight));
    css += QStringLiteral("QSplitter::handle{background:%1;}").arg(QLatin1String(c.border));
    css += QStringLiteral(
               "QGroupBox{border:1px solid %1;border-radius:%2px;margin-top:8px;}"
               "QGroupBox::title{subcontrol-origin:margin;left:6px;color:%3;}")
               .arg(QLatin1String(c.border))
               .arg(c.radius)
               .arg(QLatin1String(c.windowText));
    return css;
}

QString ReadThemeFile(const QString& themeFile) {
    if (themeFile.isEmpty())
        return {};
    QFile file(themeFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};  // an unreadable theme leaves the neutral base style
    return QString::fromUtf8(file.read(1024 * 1024));
}

int AcceptedStyle(int style) { return style >= 0 && style < TSkin::kStyleCount ? style : 0; }

}  // namespace

void ApplySkin(QWidget* widget, int style, const QString& themeFile) {
    style = AcceptedStyle(style);
    const SkinColors& colors = kSkins[style];
    const QPalette palette = MakePalette(colors);
    const QString css = style == 0 ? ReadThemeFile(themeFile) : MakeStyleSheet(colors);
    if (!widget) {
        if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
            if (app->style()->name().compare(QStringLiteral("fusion"), Qt::CaseInsensitive) != 0)
                QApplication::setStyle(QStringLiteral("Fusion"));
            QApplication::setPalette(palette);
            app->setStyleSheet(css);
        }
        return;
    }
    // The style sheet first: changing it puts back the palette the widget had
    // when the previous sheet was applied, which would undo a new palette.
    widget->setStyleSheet(css);
    widget->setPalette(palette);
}

void TSkin::Set(int style, const QString& themeFile) {
    m_style = AcceptedStyle(style);
    m_theme = themeFile;
}

void TSkin::Choose(int style, const QString& themeFile) {
    Set(style, themeFile);
    ApplyToApplication();
    std::erase_if(m_drawn, [](const QPointer<QWidget>& widget) { return widget.isNull(); });
    for (const QPointer<QWidget>& widget : m_drawn)
        ApplySkin(widget, m_style, m_theme);
}

void TSkin::ApplyToApplication() const { ApplySkin(nullptr, m_style, m_theme); }

void TSkin::ApplyTo(QWidget* widget) const {
    if (!widget)
        return;
    ApplySkin(widget, m_style, m_theme);
    std::erase_if(m_drawn, [](const QPointer<QWidget>& drawn) { return drawn.isNull(); });
    if (std::find(m_drawn.begin(), m_drawn.end(), widget) == m_drawn.end())
        m_drawn.emplace_back(widget);
}
