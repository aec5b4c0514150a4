#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <memory>

namespace tessaro {

// A system-wide shortcut: pressed() fires, in a later turn of the event loop,
// whichever window has the keyboard. On X11 a passive grab on the root
// window; elsewhere there is none.
class GlobalHotKey : public QObject {
    Q_OBJECT

public:
    // Ctrl+Alt and a letter A–Z. None when the desktop refuses it (another
    // program holds the keys) or offers no such thing.
    static std::unique_ptr<GlobalHotKey> ctrlAlt(char letter);

Q_SIGNALS:
    void pressed();

protected:
    GlobalHotKey() = default;
};

} // namespace tessaro
