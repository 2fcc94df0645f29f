// TQuickHide: hides the main window at once (F12, tool button 快速隐藏) and
// brings it back with the global hot key Ctrl+F12 (hot key id 2024). Where no
// global hot key exists (Wayland, offscreen, key taken) a tray icon brings it
// back instead; where there is neither, the window is minimised rather than
// hidden, so it can always be found again. Owned by the main window.
#pragma once

#include <QObject>
#include <QPointer>

class QSystemTrayIcon;
class QWidget;
class TGlobalHotKey;

class TQuickHide : public QObject {
    Q_OBJECT
public:
    enum class Way { HotKey, TrayIcon, Minimised };

    explicit TQuickHide(QWidget* window);
    ~TQuickHide() override;

    // Registers the hot key (once) and hides the window. Returns how the
    // window can be brought back.
    Way Hide();
    // Shows the window again and brings it to the front.
    void Restore();
    // Shutdown: releases the hot key and removes the tray icon.
    void Unregister();
    bool HotKeyRegistered() const;
    bool IsHidden() const { return m_hidden; }

signals:
    void restored();

private:
    QPointer<QWidget> m_window;
    TGlobalHotKey* m_hotKey = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    bool m_hidden = false;
};
