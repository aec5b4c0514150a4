#include "globalhotkey.h"

#include <QGuiApplication>
#include <QLoggingCategory>

#include <X11/Xlib.h>
#include <xcb/xcb.h>

#include <array>

namespace tessaro {

namespace {

Q_LOGGING_CATEGORY(hotKeyLog, "tessaro.hotkey")

// Num Lock and Caps Lock change the key's state bits; a grab matches exact
// states, so each combination of the two is grabbed as well.
constexpr std::array<uint16_t, 4> lockVariants{0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                               XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};
constexpr uint16_t ctrlAltMask = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
// The modifiers that make a different shortcut; the lock keys do not.
constexpr uint16_t meaningfulMask =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

class X11HotKey final : public GlobalHotKey, public QAbstractNativeEventFilter {
public:
    X11HotKey(xcb_connection_t* connection, xcb_window_t root, xcb_keycode_t key)
        : m_connection(connection)
        , m_root(root)
        , m_key(key) {}

    ~X11HotKey() override {
        QCoreApplication::instance()->removeNativeEventFilter(this);
        for (const uint16_t lock : lockVariants)
            xcb_ungrab_key(m_connection, m_key, m_root, ctrlAltMask | lock);
        xcb_flush(m_connection);
    }

    // False when another program holds the keys (X11 answers BadAccess).
    bool grab() {
        bool granted = true;
        for (const uint16_t lock : lockVariants) {
            const xcb_void_cookie_t cookie =
                xcb_grab_key_checked(m_connection, 1, m_root, ctrlAltMask | lock, m_key,
                                     XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
            if (xcb_generic_error_t* error = xcb_request_check(m_connection, cookie)) {
                qCInfo(hotKeyLog, "the desktop refused the shortcut (X11 error %d)",
                       int(error->error_code));
                free(error);
                granted = false;
            }
        }
        if (granted)
            QCoreApplication::instance()->installNativeEventFilter(this);
        return granted;
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_KEY_PRESS)
            return false;
        const auto* press = static_cast<const xcb_key_press_event_t*>(message);
        if (press->detail != m_key || press->event != m_root
            || (press->state & meaningfulMask) != ctrlAltMask)
            return false;
        // The press is handled in a later turn, never from inside the
        // platform's event dispatch.
        QMetaObject::invokeMethod(this, &GlobalHotKey::pressed, Qt::QueuedConnection);
        return true;
    }

private:
    xcb_connection_t* m_connection;
    xcb_window_t m_root;
    xcb_keycode_t m_key;
};

} // namespace

std::unique_ptr<GlobalHotKey> GlobalHotKey::ctrlAlt(char letter, const QString& description) {
    if (letter < 'A' || letter > 'Z')
        return nullptr;
    auto* app = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!app || !app->display() || !app->connection()) {
        // Wayland lets no program grab keys; the desktop may bind them.
        if (QGuiApplication::platformName().startsWith(u"wayland"))
            return fromPortal(QDBusConnection::sessionBus(), letter, description);
        return nullptr;
    }
    Display* display = app->display();
    const KeyCode key = XKeysymToKeycode(display, KeySym('a' + (letter - 'A')));
    if (key == 0)
        return nullptr;
    auto hotKey = std::make_unique<X11HotKey>(app->connection(),
                                              xcb_window_t(DefaultRootWindow(display)), key);
    if (!hotKey->grab())
        return nullptr;
    return hotKey;
}

} // namespace tessaro
