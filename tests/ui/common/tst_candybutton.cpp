#include "support/manualanimationdriver.h"
#include "ui/common/candybutton.h"

#include <QTest>

using namespace tessaro;
using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

class TestCandyButton : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The button sinks 2 points onto its ledge within 0.08 s of the press,
    // the ledge fading out and closing up, and rises the same way.
    void sinksOntoItsLedgeAndRises() {
        test::ManualAnimationDriver clock;
        CandyButton button(u"Save to Case"_s);
        button.show();
        QTest::mousePress(&button, Qt::LeftButton);
        clock.advance(40ms);
        // Easing out: past half way at half the time.
        QVERIFY(button.capsuleOffset() > 1 && button.capsuleOffset() < 2);
        QVERIFY(button.ledgeOpacity() > 0 && button.ledgeOpacity() < 0.125);
        clock.advance(40ms);
        QCOMPARE(button.capsuleOffset(), 2.0);
        QCOMPARE(button.ledgeOpacity(), 0.0);
        QCOMPARE(button.ledgeOffset(), 0.0);

        QTest::mouseRelease(&button, Qt::LeftButton);
        clock.advance(80ms);
        QCOMPARE(button.capsuleOffset(), 0.0);
        QCOMPARE(button.ledgeOpacity(), 0.25);
        QCOMPARE(button.ledgeOffset(), 4.0);
    }

    // Dragging off the pressed button lifts it, dragging back presses it,
    // and so does a press set from outside.
    void followsThePointerOffAndOn() {
        test::ManualAnimationDriver clock;
        CandyButton button(u"Save to Case"_s);
        button.show();
        QTest::mousePress(&button, Qt::LeftButton);
        clock.advance(80ms);
        QTest::mouseMove(&button, QPoint(-30, -30));
        clock.advance(80ms);
        QCOMPARE(button.capsuleOffset(), 0.0);
        QTest::mouseMove(&button, button.rect().center());
        clock.advance(30ms);
        QTest::mouseMove(&button, QPoint(-30, -30));
        clock.advance(80ms);
        QCOMPARE(button.ledgeOffset(), 4.0);
        button.setDown(true);
        clock.advance(80ms);
        QCOMPARE(button.ledgeOffset(), 0.0);
    }

    // A compact button fits its label to the width it gets; how a label
    // fits is the capsule's own test.
    void compactLabelShrinksBeforeItIsCut() {
        CandyButton button(u"Click again to delete"_s);
        const int regular = button.sizeHint().width();
        button.setCompact(true);
        QVERIFY(button.sizeHint().width() < regular);
        button.show();
        button.setFixedWidth(button.sizeHint().width() / 2);
        QCOMPARE(button.labelFit().scale, 0.8);
        QVERIFY(button.labelFit().text.endsWith(u'…'));
    }
};

QTEST_MAIN(TestCandyButton)
#include "tst_candybutton.moc"
