#include "app/ShellIcons.h"

#include <QApplication>
#include <QFont>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

QIcon BadgeIcon(const QString& glyph, const QColor& color) {
    QIcon icon;
    for (int size : {16, 20, 24}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(color.darker(140));
        painter.setBrush(color);
        painter.drawRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), size / 5.0, size / 5.0);
        QFont font = painter.font();
        font.setPixelSize(size * 2 / 3);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRect(0, 0, size, size), Qt::AlignCenter, glyph);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon ToolIcon(const QString& buttonName, const QString& hint) {
    static const QHash<QString, QStyle::StandardPixmap> standard = {
        {"tbNew", QStyle::SP_FileIcon},
        {"tbOpen", QStyle::SP_DialogOpenButton},
        {"tbSave", QStyle::SP_DialogSaveButton},
        {"tbAttribute", QStyle::SP_FileDialogInfoView},
        {"tbUndo", QStyle::SP_ArrowBack},
        {"tbRedo", QStyle::SP_ArrowForward},
        {"tbDel", QStyle::SP_DialogDiscardButton},
        {"tbFind", QStyle::SP_FileDialogContentsView},
        {"tbHide", QStyle::SP_TitleBarMinButton},
        {"tbHome", QStyle::SP_DirHomeIcon},
        {"tbHelp", QStyle::SP_DialogHelpButton},
    };
    static const QHash<QString, QString> glyphs = {
        {"tbPrint", "印"}, {"tbMail", "@"},    {"tbCut", "剪"},  {"tbCopy", "复"},
        {"tbPaste", "粘"}, {"tbReader", "阅"},
    };
    if (auto it = standard.find(buttonName); it != standard.end() && qApp)
        return qApp->style()->standardIcon(*it);
    const QString glyph = glyphs.value(buttonName, hint.left(1));
    const QColor color = QColor::fromHsv(int(qHash(buttonName) % 360), 150, 170);
    return BadgeIcon(glyph, color);
}
