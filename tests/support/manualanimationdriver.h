#pragma once

#include <QAnimationDriver>
#include <QCoreApplication>

#include <chrono>

namespace tessaro::test {

// Drives every Qt animation of the process by a clock the test moves, while
// it lives: animations advance only in advance(), never with real time.
class ManualAnimationDriver final : public QAnimationDriver {
public:
    ManualAnimationDriver() { install(); }
    ~ManualAnimationDriver() override { uninstall(); }

    // Since the driver last started, as Qt's animation timer expects.
    qint64 elapsed() const override { return m_elapsed; }

    void advance(std::chrono::milliseconds by) {
        settle();
        m_elapsed += by.count();
        advanceAnimation();
        settle();
    }

protected:
    void start() override {
        m_elapsed = 0;
        QAnimationDriver::start();
    }

private:
    // Animations join and leave the timer through queued calls, which queue
    // further calls of their own.
    static void settle() {
        for (int round = 0; round < 4; ++round)
            QCoreApplication::processEvents();
    }

    qint64 m_elapsed = 0;
};

} // namespace tessaro::test
