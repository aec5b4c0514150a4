#pragma once

#include "launch.h"

#include <QDBusAbstractAdaptor>
#include <QDBusContext>
#include <QObject>
#include <QVariantMap>

namespace tessaro {

class Keeper;

inline const QString serviceName = QStringLiteral("app.tessaro.Tessaro");
inline const QString serviceObjectPath = QStringLiteral("/app/tessaro/Tessaro");

// The running Tessaro as other programs reach it: the desktop's
// org.freedesktop.Application (Activate, Open, ActivateAction) and
// app.tessaro.Keeper (KeepLine) on the session bus, and the same requests
// from a later start over a local socket.
// The bus tells the caller of an adaptor's method to the object that holds
// the adaptors, hence the context here.
class ApplicationService final : public QObject, public QDBusContext {
    Q_OBJECT

public:
    explicit ApplicationService(QObject* parent = nullptr);

    // Set before the event loop runs: calls are answered only from there.
    void setKeeper(Keeper* keeper) { m_keeper = keeper; }
    Keeper* keeper() const { return m_keeper; }

    // The name of the program whose bus call is being answered; empty
    // outside a call or when the bus does not know.
    QString callerName() const;

    // A request from any channel, handed on through requested().
    void deliver(const LaunchRequest& request) { Q_EMIT requested(request); }

Q_SIGNALS:
    void requested(const LaunchRequest& request);

private:
    Keeper* m_keeper = nullptr;
};

// org.freedesktop.Application, which launchers call for a D-Bus-activatable
// program instead of starting it again.
class FreedesktopApplicationAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

public:
    explicit FreedesktopApplicationAdaptor(ApplicationService* service);

public Q_SLOTS:
    void Activate(const QVariantMap& platformData);
    void Open(const QStringList& uris, const QVariantMap& platformData);
    void ActivateAction(const QString& name, const QVariantList& parameter,
                        const QVariantMap& platformData);

private:
    ApplicationService* m_service;
};

// app.tessaro.Keeper: KeepLine(text, source) keeps text from another
// program and answers the error to show, or "".
class KeeperAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "app.tessaro.Keeper")

public:
    explicit KeeperAdaptor(ApplicationService* service);

public Q_SLOTS:
    QString KeepLine(const QString& text, const QString& source);

private:
    ApplicationService* m_service;
};

} // namespace tessaro
