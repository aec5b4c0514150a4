#include "l10n/localization.h"
#include "support/files.h"
#include "support/languages.h"
#include "support/manualtimers.h"
#include "support/scratchstore.h"
#include "support/scriptedservices.h"
#include "ui/common/candybutton.h"
#include "ui/common/ghostbutton.h"
#include "ui/common/toasts.h"
#include "ui/common/tstexteditor.h"
#include "ui/quotes/quotecard.h"
#include "ui/quotes/quotecardbuttons.h"
#include "ui/quotes/quotecomposer.h"
#include "ui/quotes/quotelist.h"
#include "ui/quotes/quotessheet.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QSemaphore>
#include <QTest>
#include <QThread>
#include <QTimer>

using namespace tessaro;
using namespace tessaro::test;
using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

// The sheet over a scratch store, in English, with every service scripted.
struct SheetWindow {
    InstalledLanguage language;
    ScratchStore scratch;
    ScriptedDialogs files;
    ScriptedClipboard clipboard;
    RecordingUrls urls;
    ManualTimers timers;
    QTemporaryDir folder;
    std::unique_ptr<QuotesSheet> sheet;

    explicit SheetWindow(QuotesSheetServices::ImportReader reader = readQuotesFile) {
        language.manager.setCode(u"en"_s);
        sheet = std::make_unique<QuotesSheet>(
            scratch.store, QuotesSheetServices{files, clipboard, urls, &timers, std::move(reader)});
        sheet->resize(720, 900);
        sheet->show();
    }

    QuoteComposer* composer() const { return sheet->composer(); }
    std::optional<QString> toast() const { return sheet->toasts().text(); }
    PenStore& store() { return scratch.store; }

    // The cards, once all are built and laid out.
    QList<QuoteCard*> cards() const {
        const auto shown = [this] {
            if (sheet->list()->isFilling())
                return false;
            const QList<QuoteCard*> cards = sheet->list()->cards();
            return std::all_of(cards.cbegin(), cards.cend(),
                               [](const QuoteCard* card) { return card->isVisible(); });
        };
        if (!QTest::qWaitFor(shown))
            return {};
        return sheet->list()->cards();
    }

    void type(QWidget* field, const QString& text) const {
        const QStringList lines = text.split(u'\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                QTest::keyClick(field, Qt::Key_Return);
            QTest::keyClicks(field, lines[i]);
        }
    }

    QString writeFile(const QByteArray& bytes) const {
        const QString path = folder.filePath(u"import.txt"_s);
        return test::writeFile(path, bytes) ? path : QString();
    }

    void import(const QString& path) {
        if (!path.isEmpty())
            files.openAnswer = path;
        QTest::mouseClick(sheet->importButton(), Qt::LeftButton);
        QTRY_VERIFY(!sheet->isImporting());
    }
};

// A drag with the left button across `widget`, in a few steps.
void drag(QWidget* widget, QPoint from, QPoint by) {
    QTest::mousePress(widget, Qt::LeftButton, {}, from);
    constexpr int steps = 5;
    for (int i = 1; i <= steps; ++i)
        QTest::mouseMove(widget, from + by * i / steps);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, from + by);
}

// Swipes `card` open and waits until it settles there.
bool swipeOpen(QuoteCard* card) {
    drag(card, QPoint(400, 20), QPoint(-80, 0));
    return QTest::qWaitFor([card] { return card->offset() == -104.0; });
}

QString imported(int count) {
    return fillPlaceholders(L(u"ios.quotes.imported"_s), {{u"n"_s, QString::number(count)}});
}

} // namespace

class TestQuotesSheet : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Keep needs text that is not only spaces; Paste adds the clipboard's
    // text on a line of its own.
    void keepAndPaste_data() {
        QTest::addColumn<QString>("draft");
        QTest::addColumn<std::optional<QString>>("clipboard");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("keeps");
        const std::optional<QString> none;
        QTest::newRow("spaces and line breaks")
            << u"  \n   \n "_s << none << u"  \n   \n "_s << false;
        QTest::newRow("text among spaces")
            << u" \n a quote \n"_s << none << u" \n a quote \n"_s << true;
        QTest::newRow("paste into an empty draft")
            << QString() << std::optional(u"Hello"_s) << u"Hello"_s << true;
        QTest::newRow("paste after a draft")
            << u"First"_s << std::optional(u"Second"_s) << u"First\nSecond"_s << true;
    }

    void keepAndPaste() {
        QFETCH(QString, draft);
        QFETCH(std::optional<QString>, clipboard);
        QFETCH(QString, expected);
        QFETCH(bool, keeps);
        SheetWindow w;
        w.type(w.composer()->editor(), draft);
        if (clipboard) {
            w.clipboard.content = clipboard;
            QTest::mouseClick(w.composer()->pasteButton(), Qt::LeftButton);
        }
        QCOMPARE(w.composer()->draft(), expected);
        QCOMPARE(w.composer()->keepButton()->isEnabled(), keeps);
        QTest::mouseClick(w.composer()->keepButton(), Qt::LeftButton);
        QCOMPARE(w.store().quotes().size(), keeps ? 1 : 0);
    }

    // Kept: the quote is in the store, the draft empties, the focus leaves
    // the fields and a toast says so. The same again is refused silently.
    void keepingTheSameQuoteTwice() {
        SheetWindow w;
        QVERIFY(w.sheet->showsEmptyState());
        w.type(w.composer()->editor(), u"Stay curious.\nAlways."_s);
        w.type(w.composer()->sourceField(), u"Ada"_s);
        QTest::mouseClick(w.composer()->keepButton(), Qt::LeftButton);
        QCOMPARE(w.store().quotes().size(), 1);
        QCOMPARE(w.store().quotes()[0].text, u"Stay curious.\nAlways."_s);
        QCOMPARE(w.store().quotes()[0].source, u"Ada"_s);
        QCOMPARE(w.composer()->draft(), QString());
        QVERIFY(!w.composer()->editor()->hasFocus() && !w.composer()->sourceField()->hasFocus());
        QCOMPARE(w.toast(), L(u"quotes.saved"_s));
        QCOMPARE(w.cards().size(), 1);
        w.timers.advance(2400ms);
        QCOMPARE(w.toast(), std::nullopt);

        // Ctrl+Return keeps as the button does.
        w.type(w.composer()->editor(), u"Stay curious.\nAlways."_s);
        QTest::keyClick(w.composer()->editor(), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(w.store().quotes().size(), 1);
        QCOMPARE(w.composer()->draft(), u"Stay curious.\nAlways."_s);
        QCOMPARE(w.toast(), std::nullopt);
    }

    // The face follows a horizontal drag once it has gone 12 points, and
    // settles open past half the 104-point reveal.
    void swipeSnapsAtHalfTheReveal_data() {
        QTest::addColumn<QPoint>("by");
        QTest::addColumn<double>("settled");
        QTest::newRow("52 to the left closes") << QPoint(-52, 3) << 0.0;
        QTest::newRow("53 to the left opens") << QPoint(-53, 3) << -104.0;
        QTest::newRow("past the reveal") << QPoint(-300, 0) << -104.0;
        QTest::newRow("more down than across") << QPoint(-60, 70) << 0.0;
        QTest::newRow("under the threshold") << QPoint(-11, 0) << 0.0;
    }

    void swipeSnapsAtHalfTheReveal() {
        QFETCH(QPoint, by);
        QFETCH(double, settled);
        SheetWindow w;
        w.store().addQuote(u"A quote to swipe."_s, {}, {});
        QuoteCard* card = w.cards().value(0);
        QVERIFY(card);
        QTest::mousePress(card, Qt::LeftButton, {}, QPoint(400, 20));
        QTest::mouseMove(card, QPoint(400, 20) + by);
        // While the button is down the face stays where the pointer put it.
        const bool follows = std::abs(by.x()) > std::abs(by.y()) && by.manhattanLength() >= 12;
        QCOMPARE(card->offset(), follows ? std::clamp(double(by.x()), -104.0, 0.0) : 0.0);
        QTest::mouseRelease(card, Qt::LeftButton, {}, QPoint(400, 20) + by);
        QTRY_COMPARE(card->offset(), settled);
        QCOMPARE(card->deleteButton() && card->deleteButton()->isVisible(), settled < 0);
    }

    // The first press arms; closing the card disarms. The cards of quotes
    // that stay keep their swipe and arm; a card that shows a new quote
    // starts closed, even when it is one that went, reused. The second press
    // of an armed button deletes and says so. Assistive technology gets a
    // "Delete" action that deletes at once.
    void deletingAQuote() {
        SheetWindow w;
        w.store().addQuote(u"Stays."_s, {}, {});
        w.store().addQuote(u"Goes."_s, {}, {});
        const QList<QuoteCard*> cards = w.cards();
        QCOMPARE(cards.size(), 2);
        QuoteCard* card = cards[1];
        QVERIFY(swipeOpen(card));
        QTest::mouseClick(card->deleteButton(), Qt::LeftButton, {}, QPoint(46, 20));
        QVERIFY(card->isArmed());
        QCOMPARE(w.store().quotes().size(), 2);
        drag(card, QPoint(300, 20), QPoint(80, 0));
        QTRY_COMPARE(card->offset(), 0.0);
        QVERIFY(!card->isArmed());

        for (QuoteCard* each : cards) {
            QVERIFY(swipeOpen(each));
            each->pressDelete();
        }
        w.store().deleteQuote(w.store().quotes()[0].id);
        w.store().addQuote(u"New."_s, u"Voice"_s, {});
        const QList<QuoteCard*> after = w.cards();
        QCOMPARE(after.size(), 2);
        QCOMPARE(after[0]->quote().text, u"New."_s);
        QCOMPARE(after[0]->offset(), 0.0);
        QVERIFY(!after[0]->isArmed());
        QCOMPARE(after[1], card);
        QCOMPARE(card->quote().text, u"Stays."_s);
        QCOMPARE(card->offset(), -104.0);
        QVERIFY(card->isArmed());

        QTest::mouseClick(card->deleteButton(), Qt::LeftButton, {}, QPoint(46, 20));
        QCOMPARE(w.store().quotes().size(), 1);
        QCOMPARE(w.store().quotes()[0].text, u"New."_s);
        QCOMPARE(w.toast(), L(u"ios.quotes.deleted"_s));
        QTRY_COMPARE(w.cards().size(), 1);

        w.timers.advance(2400ms);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(w.cards()[0]);
        QVERIFY(accessible && accessible->actionInterface());
        QVERIFY(accessible->text(QAccessible::Name).startsWith(u"New.\nVoice\n"_s));
        const QString action = L(u"quotes.delete"_s);
        QVERIFY(accessible->actionInterface()->actionNames().contains(action));
        accessible->actionInterface()->doAction(action);
        QVERIFY(w.store().quotes().isEmpty());
        QCOMPARE(w.toast(), L(u"ios.quotes.deleted"_s));
    }

    // The source is a link only for a web link; anything else shows as text
    // and opens nothing.
    void sourceLinks_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("opens");
        QTest::newRow("https") << u"Ada"_s << u"https://ada.example/notes"_s << true;
        QTest::newRow("a script") << u"Ada"_s << u"javascript:alert(1)"_s << false;
        QTest::newRow("no source, only the date") << QString() << u"https://ada.example"_s << false;
    }

    void sourceLinks() {
        QFETCH(QString, source);
        QFETCH(QString, url);
        QFETCH(bool, opens);
        SheetWindow w;
        // Bound directly, as another device's document might hold it.
        w.store().setQuotes({{u"q1"_s, u"Linked."_s, source, url, 700000000}});
        QuoteCard* card = w.cards().value(0);
        QVERIFY(card);
        QCOMPARE(card->sourceLink() != nullptr, opens);
        if (opens) {
            QTest::mouseClick(card->sourceLink(), Qt::LeftButton, {}, QPoint(4, 4));
            QCOMPARE(w.urls.opened, QList<QUrl>{QUrl(url)});
            // A drag that starts on the link swipes and opens nothing.
            drag(card->sourceLink(), QPoint(4, 4), QPoint(-80, 0));
            QTRY_COMPARE(card->offset(), -104.0);
            QCOMPARE(w.urls.opened.size(), 1);
        } else {
            const int footer = card->height() - 20;
            QTest::mouseClick(card, Qt::LeftButton, {}, QPoint(30, footer));
            QVERIFY(w.urls.opened.isEmpty());
        }
    }

    void importOutcomes_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("toast");
        QTest::addColumn<int>("quotes");
        QTest::newRow("not text") << QByteArray("\x00\x01\xff\xfe\x00", 5)
                                  << L(u"ios.quotes.importFailed"_s) << 1;
        QTest::newRow("nothing new")
            << QByteArray("Already here.\n") << L(u"ios.quotes.importNone"_s) << 1;
        QTest::newRow("two new") << QByteArray("One.\n\nTwo.\n- Someone\n\nAlready here.")
                                 << imported(2) << 3;
    }

    void importOutcomes() {
        QFETCH(QByteArray, content);
        QFETCH(QString, toast);
        QFETCH(int, quotes);
        SheetWindow w;
        w.store().addQuote(u"Already here."_s, {}, {});
        w.import(content.isEmpty() ? QString() : w.writeFile(content));
        QCOMPARE(w.files.asked, QStringList{u"text/plain application/json"_s});
        QCOMPARE(w.toast(), toast.isEmpty() ? std::nullopt : std::optional(toast));
        QCOMPARE(w.store().quotes().size(), quotes);
        QTRY_COMPARE(w.cards().size(), quotes);
        QCOMPARE(w.sheet->importButton()->isEnabled(), true);
    }

    // A 5 MiB file is read on a worker while the window goes on: the reader
    // here waits for a timer that only the GUI thread's event loop can fire.
    void windowTurnsDuringAFiveMiBImport() {
        QSemaphore loopTurned;
        QThread* readOn = nullptr;
        SheetWindow w([&](const QString& path, Date now) {
            readOn = QThread::currentThread();
            if (!loopTurned.tryAcquire(1, 10000))
                return std::variant<QList<Quote>, QString>(u"the event loop stood still"_s);
            return readQuotesFile(path, now);
        });
        QByteArray content;
        for (int i = 0; content.size() < 5 * 1024 * 1024 - 64; ++i)
            content += "Quote number " + QByteArray::number(i) + ", kept for later.\n\n";
        content.append(5 * 1024 * 1024 - content.size(), '\n');
        const QString path = w.writeFile(content);

        w.files.openAnswer = path;
        QTest::mouseClick(w.sheet->importButton(), Qt::LeftButton);
        QVERIFY(w.sheet->isImporting());
        QVERIFY(!w.sheet->importButton()->isEnabled());
        QTimer::singleShot(0, w.sheet.get(), [&] { loopTurned.release(); });
        QTRY_VERIFY_WITH_TIMEOUT(!w.sheet->isImporting(), 30000);
        QVERIFY(readOn && readOn != QThread::currentThread());
        QCOMPARE(w.toast(), imported(500));
        QCOMPARE(w.store().quotes().size(), 500);
        QCOMPARE(w.store().quotes()[0].text, u"Quote number 0, kept for later."_s);
        QTRY_COMPARE(w.cards().size(), 500);
    }

    void exportWritesTheCollection_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<std::optional<QString>>("toast");
        QTest::newRow("written") << u"quotes.txt"_s << std::optional<QString>();
        // Tests run as root: a folder that is a regular file stops any write.
        QTest::newRow("cannot be written")
            << u"import.txt/quotes.txt"_s << std::optional(L(u"quotes.exportFailed"_s));
    }

    void exportWritesTheCollection() {
        QFETCH(QString, chosen);
        QFETCH(std::optional<QString>, toast);
        SheetWindow w;
        w.writeFile("in the way");
        w.store().addQuote(u"First line\nsecond line"_s, u"Ada"_s, u"https://ada.example"_s);
        w.store().addQuote(u"Bare."_s, {}, {});
        if (!chosen.isEmpty())
            w.files.answer = w.folder.filePath(chosen);
        QTest::mouseClick(w.sheet->exportButton(), Qt::LeftButton);
        QCOMPARE(w.files.asked, QStringList{u"tessaro-quotes.txt text/plain"_s});
        QCOMPARE(w.toast(), toast);
        if (chosen != u"quotes.txt")
            return;
        // The text's layout is the export's own test; here, newest first.
        const QString written = QString::fromUtf8(test::readFile(*w.files.answer));
        QVERIFY(written.startsWith(u"Bare."_s));
        QVERIFY(written.contains(u"First line\nsecond line"_s));
    }
};

QTEST_MAIN(TestQuotesSheet)
#include "tst_quotessheet.moc"
