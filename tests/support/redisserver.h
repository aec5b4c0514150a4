#pragma once

#include <QByteArrayList>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <optional>

namespace tessaro::test {

// A private redis-server on 127.0.0.1 and a free port, for one test. It can
// be stopped, killed and started again on the same port to play an outage;
// the destructor stops it.
class RedisServer {
public:
    RedisServer();
    ~RedisServer();
    RedisServer(const RedisServer&) = delete;
    RedisServer& operator=(const RedisServer&) = delete;

    // Starts the server and waits until it answers, without running the event
    // loop (so no client reconnects meanwhile). False with errorString() set
    // when it cannot.
    bool start();
    // Shuts the server down (SIGTERM) and waits for it to exit.
    void stop();
    // SIGKILL, as if the machine went away.
    void kill();
    bool isRunning() const;

    quint16 port() const { return m_port; }
    QUrl url(int db = 0) const;
    QString errorString() const { return m_error; }

    // A command sent from a separate plain connection: the reply as bytes
    // (integers as digits), none for a nil reply or when it fails.
    std::optional<QByteArray> command(const QByteArrayList& arguments, int db = 0) const;
    std::optional<QByteArray> get(const QByteArray& key, int db = 0) const {
        return command({"GET", key}, db);
    }
    bool set(const QByteArray& key, const QByteArray& value, int db = 0) const {
        return command({"SET", key, value}, db).has_value();
    }

    // A loopback port that nothing listens on right now.
    static quint16 freePort();

private:
    bool launch();
    bool answers() const;

    QProcess m_process;
    QTemporaryDir m_dir;
    quint16 m_port = 0;
    QString m_error;
};

} // namespace tessaro::test
