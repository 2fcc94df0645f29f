#include "app/TSideChannel.h"

#include "app/ShellIcons.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPropertyAnimation>
#include <QSplitter>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

TSideChannel::TSideChannel(const QString& caption, QWidget* content, QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("chanelTool"));
    setWindowTitle(caption);
    setFrameShape(QFrame::StyledPanel);
    setMinimumWidth(kMinimumWidth);

    m_panel = new QWidget(this);
    m_panel->setObjectName(QStringLiteral("chanelToolPanel"));
    m_panel->setAutoFillBackground(true);
    m_panelLayout = new QVBoxLayout(m_panel);
    m_panelLayout->setContentsMargins(0, 0, 0, 0);
    m_panelLayout->setSpacing(0);
    BuildHeader(caption);
    m_panelLayout->addWidget(content, 1);

    m_bar = new QWidget(this);
    m_bar->setObjectName(QStringLiteral("chanelToolBar"));
    m_bar->setFixedWidth(kCollapsedWidth);
    m_bar->setToolTip(caption);
    m_bar->setAutoFillBackground(true);
    m_bar->setBackgroundRole(QPalette::Highlight);
    m_bar->installEventFilter(this);
    m_bar->hide();

    m_ownLayout = new QVBoxLayout(this);
    m_ownLayout->setContentsMargins(0, 0, 0, 0);
    m_ownLayout->setSpacing(0);
    m_ownLayout->addWidget(m_panel, 1);
    m_ownLayout->addWidget(m_bar, 1);

    m_hideTimer = new QTimer(this);
    m_hideTimer->setSingleShot(true);
    m_hideTimer->setInterval(400);
    connect(m_hideTimer, &QTimer::timeout, this, &TSideChannel::SlideIn);
}

void TSideChannel::BuildHeader(const QString& caption) {
    auto* header = new QFrame(m_panel);
    header->setObjectName(QStringLiteral("chanelToolCaption"));
    header->setFrameShape(QFrame::NoFrame);
    header->setAutoFillBackground(true);
    header->setBackgroundRole(QPalette::Button);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(6, 2, 2, 2);
    m_caption = new QLabel(caption, header);
    m_pinButton = new QToolButton(header);
    m_pinButton->setObjectName(QStringLiteral("chanelToolPin"));
    m_pinButton->setAutoRaise(true);
    m_pinButton->setCheckable(true);
    m_pinButton->setChecked(true);
    connect(m_pinButton, &QToolButton::clicked, this, [this](bool on) { SetPinned(on); });
    row->addWidget(m_caption, 1);
    row->addWidget(m_pinButton);
    m_panelLayout->addWidget(header);
    UpdatePinButton();
}

void TSideChannel::UpdatePinButton() {
    m_pinButton->setChecked(m_pinned);
    const QString action = m_pinned ? tr("收起") : tr("固定");
    m_pinButton->setToolTip(action);
    m_pinButton->setAccessibleName(action);  // an icon alone says nothing to a screen reader
    m_pinButton->setIcon(ArrowIcon(m_pinned ? TArrow::Left : TArrow::Right));
}

int TSideChannel::ChanelWidth() const { return m_pinned ? width() : m_openWidth; }

void TSideChannel::SetChanelWidth(int width) {
    m_openWidth = qMax(kMinimumWidth, width);
    if (m_pinned)
        resize(m_openWidth, height());
}

void TSideChannel::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    if (m_pinned && width() >= kMinimumWidth)
        m_openWidth = width();
}

void TSideChannel::MovePanelInto(QWidget* host, QVBoxLayout* layout) {
    m_panel->setParent(host);
    layout->addWidget(m_panel, 1);
    m_panel->show();
}

void TSideChannel::SetPinned(bool pinned) {
    if (pinned == m_pinned)
        return;
    if (!pinned)
        m_openWidth = qMax(kMinimumWidth, width());
    if (m_slidOut) {
        m_slide->stop();
        m_overlay->hide();
        m_slidOut = false;
    }
    m_pinned = pinned;
    if (pinned) {
        BringPanelHome();
        m_panel->show();
        m_bar->hide();
        setMinimumWidth(kMinimumWidth);
        setMaximumWidth(QWIDGETSIZE_MAX);
        resize(m_openWidth, height());
    } else {
        m_panel->hide();
        m_bar->show();
        setFixedWidth(kCollapsedWidth);
    }
    UpdatePinButton();
    ResizeInSplitter();
}

// A splitter keeps the sizes it was given: without this, collapsing would
// leave the channel's old width as an empty strip beside the bar, and
// pinning again would not take it back from the neighbour.
void TSideChannel::ResizeInSplitter() {
    auto* splitter = qobject_cast<QSplitter*>(parentWidget());
    if (!splitter)
        return;
    const int index = splitter->indexOf(this);
    const int neighbour = index + 1 < splitter->count() ? index + 1 : index - 1;
    if (index < 0 || neighbour < 0)
        return;
    QList<int> sizes = splitter->sizes();
    const int wanted = m_pinned ? m_openWidth : kCollapsedWidth;
    sizes[neighbour] = qMax(0, sizes[neighbour] + sizes[index] - wanted);
    sizes[index] = wanted;
    splitter->setSizes(sizes);
}

void TSideChannel::SlideOut() {
    if (m_pinned || m_slidOut || !window())
        return;
    if (!m_overlay) {
        m_overlay = new QFrame(window());
        m_overlay->setObjectName(QStringLiteral("chanelToolSlide"));
        m_overlay->setFrameShape(QFrame::StyledPanel);
        m_overlay->setAutoFillBackground(true);
        m_overlayLayout = new QVBoxLayout(m_overlay);
        m_overlayLayout->setContentsMargins(0, 0, 0, 0);
        m_overlay->installEventFilter(this);
        m_slide = new QPropertyAnimation(m_overlay, "geometry", this);
        m_slide->setDuration(150);
    }
    MovePanelInto(m_overlay, m_overlayLayout);
    const QPoint topLeft = mapTo(window(), QPoint(0, 0));
    const QRect from(topLeft, QSize(kCollapsedWidth, height()));
    const QRect to(topLeft, QSize(m_openWidth, height()));
    m_overlay->setGeometry(from);
    m_overlay->show();
    m_overlay->raise();
    m_slidOut = true;
    m_slide->stop();
    m_slide->setStartValue(from);
    m_slide->setEndValue(to);
    m_slide->start();
}

void TSideChannel::SlideIn() {
    if (!m_slidOut)
        return;
    if (m_overlay->underMouse() || m_bar->underMouse())
        return;
    m_slide->stop();
    m_overlay->hide();
    m_slidOut = false;
    BringPanelHome();
    m_panel->hide();
}

void TSideChannel::BringPanelHome() {
    if (m_panel->parentWidget() != this)
        m_panel->setParent(this);
    if (m_ownLayout->indexOf(m_panel) < 0)
        m_ownLayout->insertWidget(0, m_panel, 1);
}

bool TSideChannel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_bar && event->type() == QEvent::Enter) {
        m_hideTimer->stop();
        SlideOut();
    } else if (watched == m_overlay && event->type() == QEvent::Enter) {
        m_hideTimer->stop();
    } else if ((watched == m_overlay || watched == m_bar) && event->type() == QEvent::Leave) {
        m_hideTimer->start();
    }
    return QFrame::eventFilter(watched, event);
}
