#pragma once

#include <QString>
#include <QVariant>

namespace tessaro {

// A store of user preferences. The program has two: the user's own and the
// group preferences that the widget program reads as well.
class Preferences {
public:
    virtual ~Preferences() = default;

    virtual QVariant value(const QString& key) const = 0;
    virtual void setValue(const QString& key, const QVariant& value) = 0;
    // False when the store cannot be opened or written; writes then do nothing.
    virtual bool isAvailable() const = 0;

    // The process-wide stores, created on first use. Both live in the user's
    // configuration folder ("tessaro/tessaro.conf" and "tessaro/group.conf").
    static Preferences& standard();
    static Preferences& group();
};

} // namespace tessaro
