#pragma once

#include "ui/common/timersource.h"

#include <chrono>
#include <functional>
#include <map>

namespace tessaro::test {

// Single shots on a clock that moves only when the test says so.
class ManualTimers final : public TimerSource {
public:
    void singleShot(std::chrono::milliseconds delay, QObject*,
                    std::function<void()> step) override {
        m_pending.emplace(m_now + delay, std::move(step));
    }

    void advance(std::chrono::milliseconds by) {
        m_now += by;
        while (!m_pending.empty() && m_pending.begin()->first <= m_now) {
            const auto step = std::move(m_pending.begin()->second);
            m_pending.erase(m_pending.begin());
            step();
        }
    }

private:
    std::chrono::milliseconds m_now{0};
    std::multimap<std::chrono::milliseconds, std::function<void()>> m_pending;
};

} // namespace tessaro::test
