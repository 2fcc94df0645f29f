#include "app/TfrmSplash.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

TfrmSplash::TfrmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setFixedSize(454, 222);
    setAttribute(Qt::WA_ShowWithoutActivating);
}

int TfrmSplash::DisplayMilliseconds() {
    bool ok = false;
    const int fromEnv = qEnvironmentVariableIntValue("QUILLORA_SPLASH_MS", &ok);
    return ok ? qBound(0, fromEnv, 10000) : 1000;
}

void TfrmSplash::ShowNow() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    show();
    repaint();
}

void TfrmSplash::paintEvent(QPaintEvent* event) {
    Q_UNUSED(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0, QColor(28, 60, 112));
    sky.setColorAt(1, QColor(92, 150, 210));
    painter.fillRect(rect(), sky);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 40));
    painter.drawEllipse(QPointF(380, 40), 120, 120);
    painter.drawEllipse(QPointF(60, 210), 90, 90);

    QFont title = font();
    title.setPixelSize(44);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRect(30, 50, 400, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Quillora"));
    QFont subtitle = font();
    subtitle.setPixelSize(16);
    painter.setFont(subtitle);
    painter.drawText(QRect(34, 112, 400, 28), Qt::AlignLeft | Qt::AlignVCenter, tr("稿件管理  ·  版本 1.3"));
    painter.setPen(QColor(220, 232, 250));
    painter.drawText(QRect(34, 180, 400, 24), Qt::AlignLeft | Qt::AlignVCenter, tr("正在启动……"));

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(QRectF(0.5, 0.5, width() - 1, height() - 1));
}
