#include "support/manualanimationdriver.h"
#include "support/manualtimers.h"
#include "ui/common/toasts.h"
#include "ui/common/toastview.h"

#include <QTest>

using namespace tessaro;
using namespace tessaro::test;
using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

class TestToasts : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A newer toast replaces the text at once and stays its own full time;
    // the older toast's timer leaves it alone. Once dismissed it fades out
    // and goes.
    void newerToastStaysItsFullTime() {
        test::ManualAnimationDriver clock;
        QWidget host;
        host.resize(600, 400);
        host.show();
        ManualTimers timers;
        Toasts toasts(&host, &timers);

        toasts.show(u"Saved to your case!"_s);
        QCOMPARE(toasts.text(), u"Saved to your case!"_s);
        timers.advance(1000ms);
        toasts.show(u"The pen is full"_s);
        QCOMPARE(toasts.text(), u"The pen is full"_s);
        QCOMPARE(toasts.view()->text(), u"The pen is full"_s);

        timers.advance(1400ms);
        QCOMPARE(toasts.text(), u"The pen is full"_s);
        QVERIFY(toasts.view()->isPresented());
        timers.advance(999ms);
        QVERIFY(toasts.view()->isPresented());
        timers.advance(1ms);
        QCOMPARE(toasts.text(), std::nullopt);
        QVERIFY(!toasts.view()->isPresented());
        QVERIFY(toasts.view()->isVisible());
        clock.advance(200ms);
        QVERIFY(!toasts.view()->isVisible());
    }
};

QTEST_MAIN(TestToasts)
#include "tst_toasts.moc"
