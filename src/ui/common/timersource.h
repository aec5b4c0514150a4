#pragma once

#include <QObject>

#include <chrono>
#include <functional>

namespace tessaro {

// Runs delayed steps on the GUI thread; tests hand in a clock of their own.
class TimerSource {
public:
    virtual ~TimerSource() = default;

    // Calls `step` once after `delay`, unless `context` is gone by then.
    virtual void singleShot(std::chrono::milliseconds delay, QObject* context,
                            std::function<void()> step) = 0;
};

// QTimer's single shots.
class QtTimerSource final : public TimerSource {
public:
    void singleShot(std::chrono::milliseconds delay, QObject* context,
                    std::function<void()> step) override;
};

} // namespace tessaro
