#pragma once

#include <QAbstractNativeEventFilter>
#include <QDBusConnection>
#include <QObject>

#include <memory>

namespace tessaro {

// A system-wide shortcut: pressed() fires, in a later turn of the event loop,
// whichever window has the keyboard. On X11 a passive grab on the root
// window; on Wayland the desktop portal's GlobalShortcuts where the desktop
// offers it; elsewhere there is none.
class GlobalHotKey : public QObject {
    Q_OBJECT

public:
    // Ctrl+Alt and a letter A–Z; `description` tells the desktop's shortcut
    // settings what it does. None when the desktop refuses it (another
    // program holds the keys) or offers no such thing. The portal answers
    // later: a binding it refuses then never fires.
    static std::unique_ptr<GlobalHotKey> ctrlAlt(char letter, const QString& description);
    // The portal's way alone, on `bus`.
    static std::unique_ptr<GlobalHotKey> fromPortal(const QDBusConnection& bus, char letter,
                                                    const QString& description);

Q_SIGNALS:
    void pressed();

protected:
    GlobalHotKey() = default;
};

} // namespace tessaro
