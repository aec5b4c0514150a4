#include "statewriter.h"

namespace tessaro {

StateWriter::StateWriter(StateFile file)
    : m_path(file.path())
    , m_file(std::move(file))
    , m_thread([this] { run(); }) {}

StateWriter::~StateWriter() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

AppState StateWriter::load(Date now) {
    std::lock_guard lock(m_mutex);
    return m_file.load(now);
}

void StateWriter::submit(AppState state) {
    {
        std::lock_guard lock(m_mutex);
        m_failed.reset();
        m_next = std::move(state);
        ++m_submitted;
    }
    m_wake.notify_one();
}

bool StateWriter::flush() {
    std::unique_lock lock(m_mutex);
    if (m_failed && !m_next) {
        m_next = std::move(m_failed);
        m_failed.reset();
        ++m_submitted;
        m_wake.notify_one();
    }
    const std::uint64_t target = m_submitted;
    m_done.wait(lock, [&] { return m_finished >= target; });
    return !m_lastWriteFailed;
}

void StateWriter::run() {
    std::unique_lock lock(m_mutex);
    while (true) {
        m_wake.wait(lock, [&] { return m_next || m_stopping; });
        if (!m_next)
            return;
        AppState state = std::move(*m_next);
        m_next.reset();
        const std::uint64_t generation = m_submitted;
        lock.unlock();
        const bool written = m_file.save(state);
        lock.lock();
        m_lastWriteFailed = !written;
        if (!written && !m_next)
            m_failed = std::move(state);
        m_finished = generation;
        m_done.notify_all();
        // The last reference to old lists goes here, off the main thread.
        lock.unlock();
        state = AppState();
        lock.lock();
    }
}

} // namespace tessaro
