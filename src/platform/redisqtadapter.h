#pragma once

#include <QObject>

struct redisAsyncContext;
class QSocketNotifier;

namespace tessaro {

// Drives one hiredis asynchronous context from the Qt event loop: hiredis
// says when it wants to read or write, socket notifiers tell it when it can.
// Once hiredis frees the context the adapter goes quiet; it may then be
// deleted at leisure.
class RedisQtAdapter final : public QObject {
    Q_OBJECT

public:
    explicit RedisQtAdapter(QObject* parent = nullptr);
    ~RedisQtAdapter() override;

    // False when the context is already driven by an event loop.
    bool attach(redisAsyncContext* context);

private:
    static void addRead(void* self);
    static void delRead(void* self);
    static void addWrite(void* self);
    static void delWrite(void* self);
    static void cleanup(void* self);

    void readable();
    void writable();

    redisAsyncContext* m_context = nullptr;
    QSocketNotifier* m_read = nullptr;
    QSocketNotifier* m_write = nullptr;
};

} // namespace tessaro
