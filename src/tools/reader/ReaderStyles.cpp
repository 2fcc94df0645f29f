#include "tools/reader/ReaderStyles.h"

#include <QGlyphRun>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTextLine>

#include <cmath>

namespace {

QFont FontOf(const QStringList& families, int pointSize, bool bold = false) {
    QFont font;
    font.setFamilies(families);
    font.setPointSize(pointSize);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

const QStringList kHei = {QStringLiteral("黑体"), QStringLiteral("SimHei"), QStringLiteral("Noto Sans CJK SC"),
                          QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Sans Serif")};
const QStringList kKai = {QStringLiteral("楷体_GB2312"), QStringLiteral("KaiTi"), QStringLiteral("AR PL UKai CN"),
                          QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Serif")};
const QStringList kLi = {QStringLiteral("隶书"), QStringLiteral("LiSu"), QStringLiteral("Noto Serif CJK SC"),
                         QStringLiteral("Serif")};

QPainterPath PathOf(const QTextLine& line, QPointF origin, int from, int length) {
    QPainterPath path;
    for (const QGlyphRun& run : line.glyphRuns(from, length)) {
        const QRawFont font = run.rawFont();
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < glyphs.size(); ++i)
            path.addPath(font.pathForGlyph(glyphs[i]).translated(origin + positions[i]));
    }
    return path;
}

// A soft shadow: the path drawn into its own image and box-blurred there.
void DrawBlurredShadow(QPainter& painter, const QPainterPath& shadow, const QColor& color, int blur) {
    const int radius = qMax(1, blur / 10);
    const QRect area = shadow.boundingRect().toAlignedRect().adjusted(-2 * radius, -2 * radius, 2 * radius, 2 * radius);
    if (area.isEmpty())
        return;
    QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(-area.topLeft());
        p.fillPath(shadow, color);
    }
    // Two passes of a horizontal then vertical running mean on the alpha-
    // premultiplied pixels.
    auto blurPass = [&](bool horizontal) {
        const int w = image.width(), h = image.height();
        const int outer = horizontal ? h : w, inner = horizontal ? w : h;
        for (int o = 0; o < outer; ++o) {
            QList<QRgb> line(inner);
            for (int i = 0; i < inner; ++i)
                line[i] = horizontal ? reinterpret_cast<const QRgb*>(image.constScanLine(o))[i]
                                     : reinterpret_cast<const QRgb*>(image.constScanLine(i))[o];
            for (int i = 0; i < inner; ++i) {
                int a = 0, r = 0, g = 0, b = 0, n = 0;
                for (int k = qMax(0, i - radius); k <= qMin(inner - 1, i + radius); ++k, ++n) {
                    a += qAlpha(line[k]);
                    r += qRed(line[k]);
                    g += qGreen(line[k]);
                    b += qBlue(line[k]);
                }
                const QRgb value = qRgba(r / n, g / n, b / n, a / n);
                if (horizontal)
                    reinterpret_cast<QRgb*>(image.scanLine(o))[i] = value;
                else
                    reinterpret_cast<QRgb*>(image.scanLine(i))[o] = value;
            }
        }
    };
    for (int pass = 0; pass < 2; ++pass) {
        blurPass(true);
        blurPass(false);
    }
    painter.drawImage(area.topLeft(), image);
}

// A left-to-right gradient spans the drawn text, a top-to-bottom one the line.
QBrush FillOf(const TReaderStyleSpec& look, const QRectF& textRect, const QRectF& lineRect) {
    using G = TReaderStyleSpec::Gradient;
    if (look.gradient == G::None)
        return look.color;
    QLinearGradient gradient = look.gradient == G::LeftToRight
                                   ? QLinearGradient(textRect.left(), 0, textRect.right(), 0)
                                   : QLinearGradient(0, lineRect.top(), 0, lineRect.bottom());
    gradient.setColorAt(0, look.gradientFrom);
    gradient.setColorAt(1, look.gradientTo);
    return gradient;
}

}  // namespace

TReaderStyleSpec StyleSpec(TReaderStyle style, const QFont* bodyFont) {
    using G = TReaderStyleSpec::Gradient;
    TReaderStyleSpec look;
    switch (style) {
        case TReaderStyle::Title1:
            look.font = FontOf(kHei, 26, true);
            look.color = QColor(0x20, 0x20, 0x60);
            look.shadow = true;
            break;
        case TReaderStyle::Title2:
            look.font = FontOf(kHei, 20, true);
            look.color = QColor(0x20, 0x30, 0x70);
            look.shadow = true;
            look.shadowOffset = {1, 1};
            break;
        case TReaderStyle::Title3:
            look.font = FontOf(kKai, 20, true);
            look.color = QColor(0x30, 0x30, 0x30);
            look.shadow = true;
            break;
        case TReaderStyle::Text1:
            look.font = FontOf(kKai, 16);
            look.color = Qt::black;
            break;
        case TReaderStyle::Text2:
            look.font = FontOf(kKai, 16);
            look.color = QColor(0x10, 0x10, 0x40);
            look.shadow = true;
            look.shadowOffset = {1, 1};
            break;
        case TReaderStyle::Title4:
            look.font = FontOf(kLi, 28);
            look.shadow = true;
            look.outline = true;
            look.blur = 50;
            look.gradient = G::LeftToRight;
            look.gradientFrom = QColor(0x00, 0x22, 0xFF);
            look.gradientTo = QColor(0xFF, 0x10, 0x22);
            break;
        case TReaderStyle::Text3:
            look.font = FontOf(kLi, 18);
            look.shadow = true;
            look.shadowOffset = {1, 1};
            look.gradient = G::TopToBottom;
            look.gradientFrom = QColor(0x11, 0x33, 0xCC);
            look.gradientTo = QColor(0xAA, 0x22, 0xFF);
            break;
    }
    const bool body = style == TReaderStyle::Text1 || style == TReaderStyle::Text2 || style == TReaderStyle::Text3;
    if (body && bodyFont) {
        look.font.setFamilies(bodyFont->families().isEmpty() ? QStringList{bodyFont->family()} : bodyFont->families());
        if (bodyFont->pointSize() > 0)
            look.font.setPointSize(bodyFont->pointSize());
        look.font.setBold(bodyFont->bold());
        look.font.setItalic(bodyFont->italic());
    }
    return look;
}

void DrawStyledRange(QPainter& painter, const QTextLine& line, QPointF origin, int from, int length,
                     const TReaderStyleSpec& look) {
    const QPainterPath path = PathOf(line, origin, from, length);
    if (path.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    if (look.shadow) {
        const QPainterPath shadow = path.translated(look.shadowOffset);
        const QColor shade(0, 0, 0, 90);
        if (look.blur > 0)
            DrawBlurredShadow(painter, shadow, shade, look.blur);
        else
            painter.fillPath(shadow, shade);
    }
    const QRectF lineRect(origin.x(), origin.y() + line.y(), line.width(), line.height());
    painter.fillPath(path, FillOf(look, path.boundingRect(), lineRect));
    if (look.outline)
        painter.strokePath(path, QPen(QColor(255, 255, 255, 200), 0.8));
    painter.restore();
}
