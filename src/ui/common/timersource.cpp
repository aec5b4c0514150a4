#include "timersource.h"

#include <QTimer>

namespace tessaro {

void QtTimerSource::singleShot(std::chrono::milliseconds delay, QObject* context,
                               std::function<void()> step) {
    QTimer::singleShot(delay, context, std::move(step));
}

} // namespace tessaro
