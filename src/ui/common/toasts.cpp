#include "toasts.h"

#include "timersource.h"
#include "toastview.h"

namespace tessaro {

Toasts::Toasts(QWidget* host, TimerSource* timers)
    : QObject(host)
    , m_view(new ToastView(host))
    , m_qtTimers(timers ? nullptr : std::make_unique<QtTimerSource>())
    , m_timers(timers ? timers : m_qtTimers.get()) {}

Toasts::~Toasts() = default;

void Toasts::show(const QString& text) {
    const quint64 token = ++m_token;
    m_text = text;
    m_view->present(text);
    m_timers->singleShot(shownFor, this, [this, token] {
        if (token != m_token)
            return;
        m_text.reset();
        m_view->dismiss();
    });
}

} // namespace tessaro
