#pragma once

#include "platform/preferences.h"

#include <QHash>

namespace tessaro::test {

// Preferences held in memory, one set per test device.
class MemoryPreferences final : public Preferences {
public:
    QVariant value(const QString& key) const override { return m_values.value(key); }
    void setValue(const QString& key, const QVariant& value) override {
        m_values.insert(key, value);
    }
    bool isAvailable() const override { return true; }

private:
    QHash<QString, QVariant> m_values;
};

} // namespace tessaro::test
