#include "portalsettings.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace tessaro::portal {

using namespace Qt::StringLiterals;

namespace {

void read(QDBusConnection bus, const QString& method, const QString& group, const QString& key,
          QObject* context, std::function<void(const QVariant&)> onValue) {
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, settingsInterface, method);
    call << group << key;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [=](QDBusPendingCallWatcher* finished) {
                         finished->deleteLater();
                         const QDBusPendingReply<QVariant> reply = *finished;
                         if (!reply.isError())
                             onValue(unwrapped(reply.value()));
                         else if (method == u"ReadOne")
                             read(bus, u"Read"_s, group, key, context, onValue);
                     });
}

} // namespace

void readSetting(const QDBusConnection& bus, const QString& group, const QString& key,
                 QObject* context, std::function<void(const QVariant&)> onValue) {
    read(bus, u"ReadOne"_s, group, key, context, std::move(onValue));
}

} // namespace tessaro::portal
