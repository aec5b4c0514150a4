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
    // the older toast's timer leaves it alone.
    void newerToastStaysItsFullTime() {
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
    }

    // The capsule sits centred 26 points above the host's bottom, fades in,
    // and after it is dismissed fades out and goes.
    void fadesInAndOutNearTheBottom() {
        test::ManualAnimationDriver clock;
        QWidget host;
        host.resize(600, 400);
        host.show();
        ToastView view(&host);
        view.present(u"Quote saved"_s);
        QVERIFY(view.isVisible());
        const QRectF capsule = view.capsule().translated(view.pos());
        QCOMPARE(capsule.bottom(), 400 - 26.0);
        QVERIFY(std::abs(capsule.center().x() - 300) <= 1);
        QCOMPARE(view.fade(), 0.0);
        clock.advance(150ms);
        QCOMPARE(view.fade(), 1.0);

        // Follows the host's size.
        host.resize(800, 500);
        QCOMPARE(view.capsule().translated(view.pos()).bottom(), 500 - 26.0);

        view.dismiss();
        clock.advance(100ms);
        QVERIFY(view.isVisible() && view.fade() > 0 && view.fade() < 1);
        clock.advance(100ms);
        QVERIFY(!view.isVisible());
    }
};

QTEST_MAIN(TestToasts)
#include "tst_toasts.moc"
