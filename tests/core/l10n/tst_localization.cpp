#include "l10n/languagemanager.h"
#include "l10n/localization.h"
#include "model/json.h"
#include "support/memorypreferences.h"

#include <QFile>
#include <QTest>

#include <optional>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

const QString languageKey = u"app.language"_s;

// The text of `key` as a resource table holds it.
QString tableText(const QString& table, const QString& key) {
    QFile file(u":/l10n/"_s + table + u".json"_s);
    JsonDocument document;
    if (!file.open(QIODevice::ReadOnly) || document.parse(file.readAll()) != JsonStatus::ok ||
        !document.root().IsObject())
        return QString();
    const auto member = document.root().FindMember(key.toStdString().c_str());
    if (member == document.root().MemberEnd())
        return QString();
    return jsonString(&member->value).value_or(QString());
}

test::MemoryPreferences storing(const QVariant& language) {
    test::MemoryPreferences preferences;
    if (language.isValid())
        preferences.setValue(languageKey, language);
    return preferences;
}

// A manager of the test function's own, over in-memory preferences, that
// texts and dates follow until the function returns. An invalid `stored`
// leaves "app.language" unset.
struct ChosenLanguage {
    explicit ChosenLanguage(const QVariant& stored = {})
        : standard(storing(stored)) {}

    test::MemoryPreferences standard;
    test::MemoryPreferences group;
    LanguageManager manager{standard, group};
    LanguageManager::Installation installed{manager};
};

// 2001-01-01T12:00:00Z
constexpr Date newYear = 43200;

} // namespace

class TestLocalization : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QCOMPARE(LanguageManager::shared(), nullptr); }

    void lookupOrder_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("table");
        // The tests run in the C locale, whose base resources are the English ones.
        QTest::newRow("nothing stored") << QVariant() << u"en.lproj/Localizable"_s;
        QTest::newRow("system") << QVariant(QString()) << u"en.lproj/Localizable"_s;
        QTest::newRow("de") << QVariant(u"de"_s) << u"de.lproj/Localizable"_s;
        QTest::newRow("no lives in nb") << QVariant(u"no"_s) << u"nb.lproj/Localizable"_s;
        QTest::newRow("es-MX") << QVariant(u"es-MX"_s) << u"es-MX.lproj/Localizable"_s;
        QTest::newRow("no such folder")
            << QVariant(u"tlh"_s) << u"Base.lproj/TessaroSourceFallback"_s;
    }

    void lookupOrder() {
        QFETCH(QVariant, stored);
        QFETCH(QString, table);
        const ChosenLanguage language(stored);
        const QString expected = tableText(table, u"tray.title"_s);
        QVERIFY(!expected.isEmpty());
        QCOMPARE(L(u"tray.title"_s), expected);
        // No fall-through to another language: a missing key shows itself.
        QCOMPARE(L(u"no.such.key"_s), u"no.such.key"_s);
    }

    // Dates a damaged document may hold, and languages no one has, still format.
    void noDateFailsToFormat() {
        QVERIFY(!localizedDate(newYear).isEmpty());
        QVERIFY(!DateFormatter(u"not a language tag!"_s).format(newYear).isEmpty());
        QVERIFY(!DateFormatter(QString()).format(1e300).isNull());
    }

    // Every occurrence is filled; names are case-sensitive.
    void fillPlaceholders() {
        const QString filled = tessaro::fillPlaceholders(u"{n} of {cap}, {n}! {N} {date}"_s,
                                                         {{u"n"_s, u"3"_s}, {u"cap"_s, u"20"_s}});
        QCOMPARE(filled, u"3 of 20, 3! {N} {date}"_s);
    }

    // The settings sheet's test sees the choice stored and the texts follow;
    // here, the group gets a copy for the widget, the system row included.
    void managerMirrorsToTheGroup() {
        ChosenLanguage language(u"fr"_s);
        QTRY_COMPARE(language.group.value(languageKey).toString(), u"fr"_s);
        language.manager.setCode(u"zh-Hant"_s);
        QTRY_COMPARE(language.group.value(languageKey).toString(), u"zh-Hant"_s);
        // The system row stores the empty string, in both places.
        language.manager.setCode(QString());
        QVERIFY(language.standard.value(languageKey).isValid());
        QCOMPARE(language.standard.value(languageKey).toString(), QString());
        QTRY_COMPARE(language.group.value(languageKey).toString(), QString());
        QVERIFY(language.group.value(languageKey).isValid());
    }
};

QTEST_GUILESS_MAIN(TestLocalization)
#include "tst_localization.moc"
