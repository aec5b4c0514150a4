#pragma once

#include <QObject>

namespace tessaro {

// Whether the desktop asks programs to keep movement on screen to a minimum
// (an accessibility setting). Views that animate for show skip the animation
// while it is on.
class MotionPreference : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual bool reduceMotion() const = 0;

Q_SIGNALS:
    void changed();
};

} // namespace tessaro
