#include "ui/common/candybutton.h"
#include "ui/common/ghostbutton.h"

#include <QAccessible>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

enum class Kind { candy, compactCandy, ghost, ghostLookingDisabled };

CapsuleButton* make(Kind kind, QWidget* parent) {
    if (kind == Kind::candy || kind == Kind::compactCandy) {
        auto* button = new CandyButton(u"Save"_s, parent);
        button->setCompact(kind == Kind::compactCandy);
        return button;
    }
    auto* button = new GhostButton(u"Save"_s, parent);
    button->setDisabledLook(kind == Kind::ghostLookingDisabled);
    return button;
}

} // namespace

class TestCapsuleButton : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A label shrinks as far as it must, to 80 % at the least; only then is
    // it cut, and then it uses the room it has.
    void fitLabel_data() {
        QTest::addColumn<double>("room");
        QTest::addColumn<double>("scale");
        QTest::addColumn<bool>("cut");
        QTest::newRow("room to spare") << 1.2 << 1.0 << false;
        QTest::newRow("nine tenths") << 0.9 << 0.9 << false;
        QTest::newRow("eight tenths") << 0.8 << 0.8 << false;
        QTest::newRow("three quarters") << 0.75 << 0.8 << true;
        QTest::newRow("two fifths") << 0.4 << 0.8 << true;
    }

    void fitLabel() {
        QFETCH(double, room);
        QFETCH(double, scale);
        QFETCH(bool, cut);
        const QString label = u"Click again to delete"_s;
        const QFont font = interfaceFont(14, QFont::DemiBold, FontDesign::rounded);
        const QFontMetricsF metrics(font);
        const double width = metrics.horizontalAdvance(label) * room;
        const LabelFit fit = tessaro::fitLabel(label, font, width);
        QCOMPARE(fit.scale, scale);
        QCOMPARE(fit.text != label, cut);
        const double used = metrics.horizontalAdvance(fit.text) * fit.scale;
        QVERIFY(used <= width + 0.01);
        if (cut)
            QVERIFY(used > width - metrics.horizontalAdvance(u"M…"_s) * scale);
    }

    void kinds_data() {
        QTest::addColumn<Kind>("kind");
        QTest::newRow("candy") << Kind::candy;
        QTest::newRow("compact candy") << Kind::compactCandy;
        QTest::newRow("ghost") << Kind::ghost;
        // The look does not disable the button.
        QTest::newRow("ghost looking disabled") << Kind::ghostLookingDisabled;
    }

    // Pointer, Tab and Space reach every kind, and assistive technology
    // reads the label.
    void kinds() {
        QFETCH(Kind, kind);
        QWidget window;
        auto* column = new QVBoxLayout(&window);
        auto* field = new QLineEdit;
        column->addWidget(field);
        CapsuleButton* button = make(kind, &window);
        column->addWidget(button);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QSignalSpy clicked(button, &QAbstractButton::clicked);

        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clicked.size(), 1);
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Tab);
        QVERIFY(button->hasFocus());
        QTest::keyClick(button, Qt::Key_Space);
        QCOMPARE(clicked.size(), 2);

        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
        QCOMPARE(accessible->role(), QAccessible::Button);
        button->setText(u"Hintergrundbild"_s);
        QCOMPARE(accessible->text(QAccessible::Name), u"Hintergrundbild"_s);
    }
};

QTEST_MAIN(TestCapsuleButton)
#include "tst_capsulebutton.moc"
