#pragma once

#include "appstate.h"
#include "statefile.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

namespace tessaro {

// Writes "state.json" on a thread of its own, so that no edit waits for the
// disk. The main thread hands over the document (a cheap copy: its lists are
// implicitly shared); the worker always writes the newest one it holds and
// skips older ones it has not begun, so the file only ever moves forward and
// every write is whole and atomic.
class StateWriter {
public:
    explicit StateWriter(StateFile file);
    // Writes what is still pending, then stops the thread.
    ~StateWriter();
    StateWriter(const StateWriter&) = delete;
    StateWriter& operator=(const StateWriter&) = delete;

    // Reads the stored document (see StateFile::load); for start-up, before
    // anything is submitted.
    AppState load(Date now);

    // Queues the document; returns at once.
    void submit(AppState state);

    // Returns once every document submitted so far is on disk, or its write
    // failed; true when the newest one was written. A document whose write
    // failed is tried again first.
    bool flush();

    QString path() const { return m_path; }

private:
    void run();

    const QString m_path;
    StateFile m_file; // the worker's alone once the thread runs

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    std::optional<AppState> m_next;
    // The newest document when its write failed, to try again; otherwise
    // the worker keeps no copy, so that edits never have to detach the lists.
    std::optional<AppState> m_failed;
    std::uint64_t m_submitted = 0;
    std::uint64_t m_finished = 0;
    bool m_lastWriteFailed = false;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace tessaro
