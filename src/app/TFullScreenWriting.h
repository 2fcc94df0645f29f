// TFullScreenWriting: 工具 ▸ 全屏写作. Enter() takes a TLayoutSnapshot, hides
// the given controls (menu bar, tool bar, side panel, status bar), turns the
// window full screen and puts the editor's text in a centred column with the
// writing modes the settings give for full screen. A quiet footer over the
// editor's bottom edge repeats the status bar's "今日：N 字" and the open
// manuscript's goal; it shows while the mouse is near the bottom. Leave()
// (Escape, Ctrl+F11 again) restores the snapshot and the modes outside full
// screen. The editor is the window's own: its text and undo history are
// untouched.
//
// Owned by the main window (Qt parent); the editor, the status panels and the
// controls must live as long as it.
#pragma once

#include "app/LayoutSnapshot.h"
#include "settings/WritingModeSettings.h"

#include <QObject>
#include <functional>
#include <optional>

class QFrame;
class QLabel;
class QMainWindow;
class TStatusPanels;
class TqlvEditor;

class TFullScreenWriting : public QObject {
    Q_OBJECT
public:
    // How near the bottom edge (pixels) the mouse shows the footer.
    static constexpr int kFooterZone = 48;

    TFullScreenWriting(QMainWindow& window, TqlvEditor& editor, TStatusPanels& status,
                       const QList<QWidget*>& hiddenControls, std::function<TWritingModeSettings()> settings);

    void Enter();
    void Leave();
    void Toggle() { IsActive() ? Leave() : Enter(); }
    bool IsActive() const { return m_before.has_value(); }
    // The editor's modes for the current settings, in or out of full screen.
    void ApplyModes();

    QFrame* Footer() const { return m_footer; }
    QLabel* TodayLabel() const { return m_today; }
    QLabel* GoalLabel() const { return m_goal; }
    void SetFooterShown(bool shown);

signals:
    void ActiveChanged(bool active);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildFooter();
    void UpdateFooterTexts();
    void PlaceFooter();
    void ColourFooter();

    QMainWindow& m_window;
    TqlvEditor& m_editor;
    TStatusPanels& m_status;
    QList<QWidget*> m_hidden;
    std::function<TWritingModeSettings()> m_settings;
    std::optional<TLayoutSnapshot> m_before;
    QFrame* m_footer = nullptr;
    QLabel* m_today = nullptr;
    QLabel* m_goal = nullptr;
};
