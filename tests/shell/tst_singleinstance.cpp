#include "shell/applicationservice.h"
#include "shell/singleinstance.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// No session bus: the lock file and the local socket stand in.
QDBusConnection noBus() {
    return QDBusConnection(u"none"_s);
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A lock left by a process that is gone does not keep Tessaro from
    // starting.
    void staleLockIsTakenOver() {
        QTemporaryDir runtime;
        QFile lock(QDir(runtime.path()).filePath(serviceName + u".lock"_s));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write("999999999\ntessaro\n" + QSysInfo::machineHostName().toUtf8() + '\n');
        lock.close();
        ApplicationService service;
        SingleInstance instance(service, noBus(), runtime.path());
        QString error;
        QCOMPARE(instance.start({}, &error), SingleInstance::Role::first);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
