#include "appearance/appearancemanager.h"
#include "render/paintcolour.h"
#include "support/memorypreferences.h"
#include "ui/common/tstexteditor.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

class TestTSTextEditor : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void typingUpdatesTheValueOnEveryChange() {
        TSTextEditor editor;
        editor.show();
        QSignalSpy changed(&editor, &TSTextEditor::textChanged);
        QTest::keyClicks(&editor, u"Hi!"_s);
        QCOMPARE(editor.text(), u"Hi!"_s);
        QCOMPARE(changed.size(), 3);
        QTest::keyClick(&editor, Qt::Key_Backspace);
        QCOMPARE(editor.text(), u"Hi"_s);
        // Edits can be undone.
        QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(editor.text(), u"Hi!"_s);
    }

    // Setting the value from outside replaces the text; the same text leaves
    // the cursor where it is.
    void settingTheValue_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("cursor");
        QTest::newRow("same text") << u"To be or not"_s << u"To be or not"_s << 3;
        QTest::newRow("other text") << u"To be or not"_s << u"Carpe diem"_s << 10;
        QTest::newRow("cleared") << u"To be or not"_s << QString() << 0;
        QTest::newRow("lines") << u"a"_s << u"one\ntwo"_s << 7;
    }

    void settingTheValue() {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(int, cursor);
        TSTextEditor editor;
        editor.setText(before);
        QTextCursor moved = editor.textCursor();
        moved.setPosition(3 < before.size() ? 3 : 0);
        editor.setTextCursor(moved);
        QSignalSpy changed(&editor, &TSTextEditor::textChanged);
        editor.setText(after);
        QCOMPARE(editor.toPlainText(), after);
        QCOMPARE(editor.textCursor().position(), cursor);
        QCOMPARE(changed.isEmpty(), before == after);
    }

    void textColourFollowsTheAppearance() {
        test::MemoryPreferences preferences;
        AppearanceManager appearance(preferences);
        appearance.setMode(u"light"_s);
        const AppearanceManager::Installation installed(appearance);
        TSTextEditor editor;
        const PaletteColour& textMain = interfacePalette().textMain;
        QCOMPARE(editor.palette().color(QPalette::Text), toColor(textMain.light));
        appearance.setMode(u"dark"_s);
        QCOMPARE(editor.palette().color(QPalette::Text), toColor(textMain.dark));
    }

    // Without an appearance manager, the desktop's palette decides.
    void textColourFollowsTheDesktop() {
        TSTextEditor editor;
        const PaletteColour& textMain = interfacePalette().textMain;
        QCOMPARE(editor.palette().color(QPalette::Text), toColor(textMain.light));
        const QPalette light = QApplication::palette();
        QPalette dark = light;
        dark.setColor(QPalette::Window, Qt::black);
        QApplication::setPalette(dark);
        QTRY_COMPARE(editor.palette().color(QPalette::Text), toColor(textMain.dark));
        QApplication::setPalette(light);
        QTRY_COMPARE(editor.palette().color(QPalette::Text), toColor(textMain.light));
    }
};

QTEST_MAIN(TestTSTextEditor)
#include "tst_tstexteditor.moc"
