#pragma once

#include <QObject>

namespace tessaro {

// Whether the desktop itself is set to a dark appearance.
class SystemAppearance : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual bool prefersDark() const = 0;

Q_SIGNALS:
    void changed();
};

} // namespace tessaro
