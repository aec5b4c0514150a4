#include "applicationservice.h"

#include "keeper.h"
#include "platform/gui/textsource.h"

#include <QDBusConnectionInterface>

namespace tessaro {

using namespace Qt::StringLiterals;

ApplicationService::ApplicationService(QObject* parent)
    : QObject(parent) {
    new FreedesktopApplicationAdaptor(this);
    new KeeperAdaptor(this);
}

QString ApplicationService::callerName() const {
    if (!calledFromDBus())
        return {};
    QDBusConnectionInterface* bus = connection().interface();
    return bus ? processName(bus->servicePid(message().service()).value()) : QString();
}

FreedesktopApplicationAdaptor::FreedesktopApplicationAdaptor(ApplicationService* service)
    : QDBusAbstractAdaptor(service)
    , m_service(service) {}

void FreedesktopApplicationAdaptor::Activate(const QVariantMap&) {
    m_service->deliver({});
}

void FreedesktopApplicationAdaptor::Open(const QStringList& uris, const QVariantMap&) {
    LaunchRequest request;
    request.kind = LaunchRequest::Kind::open;
    for (const QString& uri : uris) {
        const QUrl link(uri, QUrl::StrictMode);
        if (link.isValid() && !link.scheme().isEmpty())
            request.links.append(link);
    }
    if (!request.links.isEmpty())
        m_service->deliver(request);
}

void FreedesktopApplicationAdaptor::ActivateAction(const QString& name, const QVariantList&,
                                                   const QVariantMap&) {
    LaunchRequest request;
    request.kind = LaunchRequest::Kind::action;
    request.action = name;
    m_service->deliver(request);
}

KeeperAdaptor::KeeperAdaptor(ApplicationService* service)
    : QDBusAbstractAdaptor(service)
    , m_service(service) {}

QString KeeperAdaptor::KeepLine(const QString& text, const QString& source) {
    Keeper* keeper = m_service->keeper();
    if (!keeper)
        return u"Tessaro is still starting"_s;
    QString from = source.trimmed().isEmpty() ? QString() : source;
    // Without a name from the caller: the program the user was in, else
    // the program that called.
    if (from.isEmpty())
        from = focusedWindowClass();
    if (from.isEmpty())
        from = m_service->callerName();
    return keeper->keepLine(text, from);
}

} // namespace tessaro
