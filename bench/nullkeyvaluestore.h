#pragma once

#include "platform/keyvaluestore.h"

namespace tessaro::bench {

// A cloud that keeps nothing, for benchmarks of what happens on this device.
class NullKeyValueStore final : public KeyValueStore {
public:
    std::optional<QByteArray> data(const QString&) override { return std::nullopt; }
    bool setData(const QString&, const QByteArray&) override { return true; }
    void synchronize() override {}
};

} // namespace tessaro::bench
