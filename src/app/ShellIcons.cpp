#include "app/ShellIcons.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFont>
#include <QHash>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QPolygonF>
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

QIcon ArrowIcon(TArrow direction) {
    QIcon icon;
    for (int size : {12, 16, 20, 24}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal m = size * 0.25, c = size / 2.0, far = size - m;
        QPolygonF chevron;
        switch (direction) {
            case TArrow::Left:
                chevron << QPointF(far - m / 2, m) << QPointF(m, c) << QPointF(far - m / 2, far);
                break;
            case TArrow::Right:
                chevron << QPointF(m + m / 2, m) << QPointF(far, c) << QPointF(m + m / 2, far);
                break;
            case TArrow::Down:
                chevron << QPointF(m, m + m / 2) << QPointF(c, far) << QPointF(far, m + m / 2);
                break;
        }
        // A light halo under a dark stroke: visible on light and dark skins alike.
        painter.setPen(QPen(QColor(255, 255, 255, 230), size / 4.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPolyline(chevron);
        painter.setPen(QPen(QColor(40, 40, 40), size / 8.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPolyline(chevron);
        if (direction == TArrow::Down)  // down into a bar: hide away
            painter.drawLine(QPointF(m, far + 1), QPointF(far, far + 1));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon CompactStandardIcon(QStyle::StandardPixmap which) {
    const QIcon full = qApp->style()->standardIcon(which);
    QIcon icon;
    for (const QSize& size : full.availableSizes())
        if (size.width() <= kLargestToolIconSize)
            icon.addPixmap(full.pixmap(size));
    return icon.isNull() ? full : icon;
}

QIcon ToolIcon(const QString& buttonName, const QString& hint) {
    if (buttonName == QLatin1String("tbHide"))
        return ArrowIcon(TArrow::Down);
    static const QHash<QString, QStyle::StandardPixmap> standard = {
        {"tbNew", QStyle::SP_FileIcon},
        {"tbOpen", QStyle::SP_DialogOpenButton},
        {"tbSave", QStyle::SP_DialogSaveButton},
        {"tbAttribute", QStyle::SP_FileDialogInfoView},
        {"tbUndo", QStyle::SP_ArrowBack},
        {"tbRedo", QStyle::SP_ArrowForward},
        {"tbDel", QStyle::SP_DialogDiscardButton},
        {"tbFind", QStyle::SP_FileDialogContentsView},
        {"tbHome", QStyle::SP_DirHomeIcon},
        {"tbHelp", QStyle::SP_DialogHelpButton},
    };
    static const QHash<QString, QString> glyphs = {
        {"tbPrint", QCoreApplication::translate("ShellIcons", "印")},
        {"tbMail", "@"},
        {"tbCut", QCoreApplication::translate("ShellIcons", "剪")},
        {"tbCopy", QCoreApplication::translate("ShellIcons", "复")},
        {"tbPaste", QCoreApplication::translate("ShellIcons", "粘")},
        {"tbReader", QCoreApplication::translate("ShellIcons", "阅")},
    };
    if (auto it = standard.find(buttonName); it != standard.end() && qApp)
        return CompactStandardIcon(*it);
    const QString glyph = glyphs.value(buttonName, hint.left(1));
    const QColor color = QColor::fromHsv(int(qHash(buttonName) % 360), 150, 170);
    return BadgeIcon(glyph, color);
}
