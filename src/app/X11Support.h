// The X11 services the shell uses when it runs on the xcb platform: the lock
// key states for the status bar and a global hot key (passive key grab on the
// root window, seen through a native event filter). Everything here does
// nothing and reports "unavailable" on other platforms (offscreen, Wayland).
#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <optional>

struct TLockState {
    bool capsLock = false;
    bool numLock = false;
};

// True when the application runs on X11 and this build has X11 support.
bool X11Available();
// Caps Lock and Num Lock as the X server sees them; nothing without X11.
std::optional<TLockState> QueryLockState();

// A system-wide Ctrl+F12. Register grabs the key on the root window (with and
// without Caps/Num Lock); pressed() fires on the GUI thread wherever the focus
// is. Unregister releases the grab; the destructor does too.
class TGlobalHotKey : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit TGlobalHotKey(QObject* parent = nullptr);
    ~TGlobalHotKey() override;

    // False when no global hot key can be had (no X11, or the key is taken).
    bool Register();
    void Unregister();
    bool IsRegistered() const { return m_registered; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

signals:
    void pressed();

private:
    bool m_registered = false;
    bool m_filterInstalled = false;
    unsigned m_keycode = 0;
};
