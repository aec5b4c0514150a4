#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>

class QWidget;

namespace tessaro {

class QtTimerSource;
class TimerSource;
class ToastView;

// One toast at a time over a host. show() replaces whatever toast is up at
// once, and every toast stays its full time: each carries a generation token,
// so an older toast's timer never hides a newer one.
class Toasts final : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds shownFor{2400};

    // `timers` must outlive the toasts; none means Qt's timers.
    explicit Toasts(QWidget* host, TimerSource* timers = nullptr);
    ~Toasts() override;

    void show(const QString& text);

    // The toast's text while it is up.
    std::optional<QString> text() const { return m_text; }
    ToastView* view() const { return m_view; }

private:
    ToastView* m_view;
    std::unique_ptr<QtTimerSource> m_qtTimers;
    TimerSource* m_timers;
    quint64 m_token = 0;
    std::optional<QString> m_text;
};

} // namespace tessaro
