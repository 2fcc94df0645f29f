#include "app/X11Support.h"

#include <QCoreApplication>
#include <QGuiApplication>

#if QUILLORA_HAVE_XCB
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#include <cstdlib>
#endif

#if QUILLORA_HAVE_XCB
namespace {

constexpr uint32_t kKeysymF12 = 0xffc9;
constexpr uint16_t kNumLockMask = XCB_MOD_MASK_2;  // the usual Num Lock modifier
// The hot key must fire whatever the lock keys are, so each is grabbed too.
constexpr uint16_t kLockVariants[] = {0, XCB_MOD_MASK_LOCK, kNumLockMask, XCB_MOD_MASK_LOCK | kNumLockMask};

xcb_connection_t* Connection() {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app)
        return nullptr;
    auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t RootWindow(xcb_connection_t* c) { return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root; }

xcb_keycode_t KeycodeFor(xcb_connection_t* c, uint32_t keysym) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    const uint8_t first = setup->min_keycode;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t* reply =
        xcb_get_keyboard_mapping_reply(c, xcb_get_keyboard_mapping(c, first, count), nullptr);
    if (!reply)
        return 0;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
    const int perCode = reply->keysyms_per_keycode;
    xcb_keycode_t found = 0;
    for (int code = 0; code < count && !found; ++code)
        for (int i = 0; i < perCode; ++i)
            if (syms[code * perCode + i] == keysym) {
                found = xcb_keycode_t(first + code);
                break;
            }
    std::free(reply);
    return found;
}

}  // namespace
#endif

bool X11Available() {
#if QUILLORA_HAVE_XCB
    return Connection() != nullptr;
#else
    return false;
#endif
}

std::optional<TLockState> QueryLockState() {
#if QUILLORA_HAVE_XCB
    xcb_connection_t* c = Connection();
    if (!c)
        return std::nullopt;
    xcb_query_pointer_reply_t* reply = xcb_query_pointer_reply(c, xcb_query_pointer(c, RootWindow(c)), nullptr);
    if (!reply)
        return std::nullopt;
    TLockState state;
    state.capsLock = reply->mask & XCB_MOD_MASK_LOCK;
    state.numLock = reply->mask & kNumLockMask;
    std::free(reply);
    return state;
#else
    return std::nullopt;
#endif
}

TGlobalHotKey::TGlobalHotKey(QObject* parent) : QObject(parent) {}

TGlobalHotKey::~TGlobalHotKey() {
    Unregister();
    if (m_filterInstalled && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool TGlobalHotKey::Register() {
    if (m_registered)
        return true;
#if QUILLORA_HAVE_XCB
    xcb_connection_t* c = Connection();
    if (!c)
        return false;
    m_keycode = KeycodeFor(c, kKeysymF12);
    if (!m_keycode)
        return false;
    bool ok = true;
    for (uint16_t lock : kLockVariants) {
        xcb_void_cookie_t cookie =
            xcb_grab_key_checked(c, 1, RootWindow(c), XCB_MOD_MASK_CONTROL | lock, xcb_keycode_t(m_keycode),
                                 XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        if (xcb_generic_error_t* error = xcb_request_check(c, cookie)) {
            ok = false;  // another client holds Ctrl+F12
            std::free(error);
        }
    }
    if (!ok) {
        Unregister();
        return false;
    }
    if (!m_filterInstalled) {
        QCoreApplication::instance()->installNativeEventFilter(this);
        m_filterInstalled = true;
    }
    m_registered = true;
    return true;
#else
    return false;
#endif
}

void TGlobalHotKey::Unregister() {
#if QUILLORA_HAVE_XCB
    if (m_keycode) {
        if (xcb_connection_t* c = Connection()) {
            for (uint16_t lock : kLockVariants)
                xcb_ungrab_key(c, xcb_keycode_t(m_keycode), RootWindow(c), XCB_MOD_MASK_CONTROL | lock);
            xcb_flush(c);
        }
    }
#endif
    m_registered = false;
}

bool TGlobalHotKey::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) {
    Q_UNUSED(result);
#if QUILLORA_HAVE_XCB
    if (!m_registered || eventType != "xcb_generic_event_t")
        return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    if ((event->response_type & ~0x80) != XCB_KEY_PRESS)
        return false;
    auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
    if (key->detail != m_keycode || !(key->state & XCB_MOD_MASK_CONTROL))
        return false;
    emit pressed();
    return true;
#else
    Q_UNUSED(eventType);
    Q_UNUSED(message);
    return false;
#endif
}
