#include "ui/common/candybutton.h"
#include "ui/common/ghostbutton.h"

#include <QAccessible>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

enum class Kind { candy, ghostLookingDisabled };

CapsuleButton* make(Kind kind, QWidget* parent) {
    if (kind == Kind::candy)
        return new CandyButton(u"Save"_s, parent);
    auto* button = new GhostButton(u"Save"_s, parent);
    button->setDisabledLook(true);
    return button;
}

} // namespace

class TestCapsuleButton : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void kinds_data() {
        QTest::addColumn<Kind>("kind");
        QTest::newRow("candy") << Kind::candy;
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
