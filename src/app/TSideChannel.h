// TSideChannel (`chanelTool`): the collapsible tool panel on the left of the
// main window, caption "工具面板". Pinned, it shows a caption bar and its
// content at the width the splitter gives it. Unpinned, it collapses to a
// 10-pixel bar; resting the mouse on that bar slides the panel out over the
// neighbouring widgets, and it slides back when the mouse leaves it.
// The channel owns the content widget handed to it.
#pragma once

#include <QFrame>
#include <QPointer>

class QLabel;
class QPropertyAnimation;
class QTimer;
class QToolButton;
class QVBoxLayout;

class TSideChannel : public QFrame {
    Q_OBJECT
public:
    static constexpr int kCollapsedWidth = 10;
    static constexpr int kMinimumWidth = 240;

    TSideChannel(const QString& caption, QWidget* content, QWidget* parent = nullptr);

    bool IsPinned() const { return m_pinned; }
    void SetPinned(bool pinned);
    bool IsSlidOut() const { return m_slidOut; }

    // The width of the open panel: its current width while pinned, the width
    // it slides out to while collapsed.
    int ChanelWidth() const;
    void SetChanelWidth(int width);

    // Slides the collapsed panel out / back (the hover handlers call these).
    void SlideOut();
    void SlideIn();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildHeader(const QString& caption);
    void BringPanelHome();
    void MovePanelInto(QWidget* host, QVBoxLayout* layout);
    void UpdatePinButton();
    void ResizeInSplitter();

    QWidget* m_panel = nullptr;  // header + content; moves to the overlay when slid out
    QVBoxLayout* m_panelLayout = nullptr;
    QVBoxLayout* m_ownLayout = nullptr;
    QToolButton* m_pinButton = nullptr;
    QLabel* m_caption = nullptr;
    QWidget* m_bar = nullptr;     // the 10-pixel strip while collapsed
    QFrame* m_overlay = nullptr;  // floating host while slid out
    QVBoxLayout* m_overlayLayout = nullptr;
    QPropertyAnimation* m_slide = nullptr;
    QTimer* m_hideTimer = nullptr;
    bool m_pinned = true;
    bool m_slidOut = false;
    int m_openWidth = kMinimumWidth;
};
