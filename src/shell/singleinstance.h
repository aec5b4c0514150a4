#pragma once

#include "launch.h"

#include <QDBusConnection>
#include <QObject>

#include <memory>

class QLocalServer;
class QLockFile;

namespace tessaro {

class ApplicationService;

// One Tessaro per user. The first start owns the name "app.tessaro.Tessaro"
// on the session bus and a lock file with a local socket in the runtime
// folder; a later one hands its request to the owner, over the bus where
// there is one, and ends.
class SingleInstance final : public QObject {
    Q_OBJECT

public:
    enum class Role { first, forwarded, failed };

    SingleInstance(ApplicationService& service, const QDBusConnection& bus,
                   const QString& runtimeFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // first: this start serves the others from now on. forwarded: the
    // running one has the request. failed: neither, with the reason.
    Role start(const LaunchRequest& request, QString* error);

private:
    Role startOnBus(const LaunchRequest& request, QString* error);
    Role startLocally(const LaunchRequest& request, QString* error);
    void serveConnection();

    ApplicationService& m_service;
    QDBusConnection m_bus;
    QString m_runtimeFolder;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};

} // namespace tessaro
