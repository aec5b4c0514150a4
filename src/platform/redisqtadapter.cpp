#include "redisqtadapter.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <hiredis/async.h>
#include <poll.h>
#include <pthread.h>

namespace tessaro {

namespace {

// hiredis reads 16 KiB per call; a large value would otherwise take one turn
// of the event loop per 16 KiB. A bounded run keeps the window responsive.
constexpr int maxReadsPerWakeup = 64;

bool hasInput(int fd) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, 0) > 0 && entry.revents != 0;
}

} // namespace

RedisQtAdapter::RedisQtAdapter(QObject* parent)
    : QObject(parent) {}

RedisQtAdapter::~RedisQtAdapter() {
    // A context that outlives its adapter must not call back into it.
    if (m_context) {
        m_context->ev.data = nullptr;
        m_context->ev.addRead = nullptr;
        m_context->ev.delRead = nullptr;
        m_context->ev.addWrite = nullptr;
        m_context->ev.delWrite = nullptr;
        m_context->ev.cleanup = nullptr;
    }
}

bool RedisQtAdapter::attach(redisAsyncContext* context) {
    if (!context || context->ev.data || m_context || context->c.fd < 0)
        return false;
    m_context = context;
    // The notifiers live as long as the adapter and are only switched on and
    // off: hiredis may drop interest from inside the notifier's own signal.
    m_read = new QSocketNotifier(context->c.fd, QSocketNotifier::Read, this);
    m_read->setEnabled(false);
    m_write = new QSocketNotifier(context->c.fd, QSocketNotifier::Write, this);
    m_write->setEnabled(false);
    connect(m_read, &QSocketNotifier::activated, this, &RedisQtAdapter::readable);
    connect(m_write, &QSocketNotifier::activated, this, &RedisQtAdapter::writable);

    context->ev.data = this;
    context->ev.addRead = &RedisQtAdapter::addRead;
    context->ev.delRead = &RedisQtAdapter::delRead;
    context->ev.addWrite = &RedisQtAdapter::addWrite;
    context->ev.delWrite = &RedisQtAdapter::delWrite;
    context->ev.cleanup = &RedisQtAdapter::cleanup;
    return true;
}

void RedisQtAdapter::addRead(void* self) {
    static_cast<RedisQtAdapter*>(self)->m_read->setEnabled(true);
}

void RedisQtAdapter::delRead(void* self) {
    static_cast<RedisQtAdapter*>(self)->m_read->setEnabled(false);
}

void RedisQtAdapter::addWrite(void* self) {
    static_cast<RedisQtAdapter*>(self)->m_write->setEnabled(true);
}

void RedisQtAdapter::delWrite(void* self) {
    static_cast<RedisQtAdapter*>(self)->m_write->setEnabled(false);
}

// hiredis is about to free the context and close its socket.
void RedisQtAdapter::cleanup(void* self) {
    auto* adapter = static_cast<RedisQtAdapter*>(self);
    adapter->m_read->setEnabled(false);
    adapter->m_write->setEnabled(false);
    adapter->m_context = nullptr;
}

void RedisQtAdapter::readable() {
    for (int i = 0; i < maxReadsPerWakeup && m_context; ++i) {
        const int fd = m_context->c.fd;
        redisAsyncHandleRead(m_context);
        // The context is gone once hiredis has cleaned up.
        if (!m_context || !hasInput(fd))
            break;
    }
}

// hiredis writes with write(2), so a server that went away raises SIGPIPE,
// whose default action ends the program. The signal is blocked for the write
// and a SIGPIPE it raised is taken off the queue; hiredis sees EPIPE instead.
void RedisQtAdapter::writable() {
    if (!m_context)
        return;
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    sigset_t pending;
    sigpending(&pending);
    const bool pendingBefore = sigismember(&pending, SIGPIPE) == 1;
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &pipe, &previous);
    redisAsyncHandleWrite(m_context);
    sigpending(&pending);
    if (!pendingBefore && sigismember(&pending, SIGPIPE) == 1) {
        const timespec now{0, 0};
        while (sigtimedwait(&pipe, nullptr, &now) == -1 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

} // namespace tessaro
