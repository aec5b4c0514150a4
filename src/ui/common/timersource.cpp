#include "timersource.h"

#include <QTimer>

namespace tessaro {

void QtTimerSource::singleShot(std::chrono::milliseconds delay, QObject* context,
                               std::function<void()> step) {
    // A timer of the context's own, so that it goes with the context instead
    // of waking the process later for nothing.
    auto* timer = new QTimer(context);
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, context, [timer, step = std::move(step)] {
        timer->deleteLater();
        step();
    });
    timer->start(delay);
}

} // namespace tessaro
