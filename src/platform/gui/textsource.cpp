#include "textsource.h"

#include <QFile>
#include <QGuiApplication>
#include <QWindow>

#include <xcb/xcb.h>

#include <memory>

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

struct FreeDeleter {
    void operator()(void* pointer) const { free(pointer); }
};

template <typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, uint16_t(qstrlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

XcbReply<xcb_get_property_reply_t> property(xcb_connection_t* connection, xcb_window_t window,
                                            xcb_atom_t name, xcb_atom_t type, uint32_t length) {
    return XcbReply<xcb_get_property_reply_t>(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, name, type, 0, length), nullptr));
}

bool isOwnWindow(xcb_window_t window) {
    const QWindowList windows = QGuiApplication::allWindows();
    return std::any_of(windows.cbegin(), windows.cend(), [window](const QWindow* own) {
        return own->handle() && own->winId() == WId(window);
    });
}

} // namespace

QString processName(quint32 pid) {
    if (pid == 0)
        return {};
    QFile comm(u"/proc/%1/comm"_s.arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(comm.read(64)).trimmed();
}

QString focusedWindowClass() {
    auto* app = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!app || !app->connection())
        return {};
    xcb_connection_t* connection = app->connection();
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const xcb_window_t root = xcb_setup_roots_iterator(setup).data->root;
    const xcb_atom_t activeAtom = atom(connection, "_NET_ACTIVE_WINDOW");
    if (activeAtom == XCB_ATOM_NONE)
        return {};
    const auto active = property(connection, root, activeAtom, XCB_ATOM_WINDOW, 1);
    if (!active || active->type != XCB_ATOM_WINDOW || xcb_get_property_value_length(active.get()) < 4)
        return {};
    const xcb_window_t window = *static_cast<xcb_window_t*>(xcb_get_property_value(active.get()));
    if (window == XCB_WINDOW_NONE || isOwnWindow(window))
        return {};
    // "instance\0class\0": the class is the program's name as desktops show it.
    const auto wmClass = property(connection, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 256);
    if (!wmClass)
        return {};
    const QByteArray value(static_cast<const char*>(xcb_get_property_value(wmClass.get())),
                           xcb_get_property_value_length(wmClass.get()));
    const QList<QByteArray> parts = value.split('\0');
    return parts.size() >= 2 ? QString::fromUtf8(parts.at(1)).trimmed() : QString();
}

} // namespace tessaro
