#include "l10n/languagemanager.h"
#include "l10n/localization.h"
#include "model/json.h"
#include "support/memorypreferences.h"

#include <QFile>
#include <QTest>

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

    // A change is stored, mirrored to the group, and announced with the new
    // texts already in place; the same language again still notifies.
    void managerStoresMirrorsAndNotifies() {
        ChosenLanguage language(u"fr"_s);
        LanguageManager& manager = language.manager;
        QCOMPARE(manager.code(), u"fr"_s);
        QTRY_COMPARE(language.group.value(languageKey).toString(), u"fr"_s);
        QStringList seen;
        connect(&manager, &LanguageManager::codeChanged, this,
                [&seen] { seen.append(L(u"tray.title"_s)); });

        manager.setCode(u"no"_s);
        manager.setCode(u"no"_s);
        const QString norwegian = tableText(u"nb.lproj/Localizable"_s, u"tray.title"_s);
        QCOMPARE(seen, QStringList({norwegian, norwegian}));
        manager.setCode(u"zh-Hant"_s);
        QCOMPARE(language.standard.value(languageKey).toString(), u"zh-Hant"_s);
        QTRY_COMPARE(language.group.value(languageKey).toString(), u"zh-Hant"_s);

        // The system row stores the empty string, in both places.
        manager.setCode(QString());
        QVERIFY(language.standard.value(languageKey).isValid());
        QCOMPARE(language.standard.value(languageKey).toString(), QString());
        QTRY_COMPARE(language.group.value(languageKey).toString(), QString());
        QVERIFY(language.group.value(languageKey).isValid());
    }
};

QTEST_GUILESS_MAIN(TestLocalization)
#include "tst_localization.moc"
