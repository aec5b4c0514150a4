#include "l10n/languagemanager.h"
#include "l10n/localization.h"
#include "model/catalog.h"
#include "model/json.h"
#include "platform/preferences.h"

#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

const QStringList fixedKeys{u"about.title"_s,
                            u"about.body"_s,
                            u"canvas.title"_s,
                            u"canvas.empty"_s,
                            u"canvas.delete"_s,
                            u"canvas.deleteConfirm"_s,
                            u"canvas.icloudOff"_s,
                            u"canvas.phoneHint"_s,
                            u"canvas.share"_s,
                            u"case.title"_s,
                            u"case.empty"_s,
                            u"case.hint"_s,
                            u"case.nothing"_s,
                            u"case.pen"_s,
                            u"case.saved"_s,
                            u"case.delete"_s,
                            u"case.deleteConfirm"_s,
                            u"common.close"_s,
                            u"drag.removed"_s,
                            u"edit.clear"_s,
                            u"edit.clearConfirm"_s,
                            u"edit.done"_s,
                            u"edit.left"_s,
                            u"edit.right"_s,
                            u"edit.remove"_s,
                            u"edit.undo"_s,
                            u"ios.appearance"_s,
                            u"ios.appearance.system"_s,
                            u"ios.appearance.light"_s,
                            u"ios.appearance.dark"_s,
                            u"ios.back"_s,
                            u"ios.feedback"_s,
                            u"ios.language"_s,
                            u"ios.language.system"_s,
                            u"ios.privacy"_s,
                            u"ios.quotes.deleted"_s,
                            u"ios.quotes.importFailed"_s,
                            u"ios.quotes.importNone"_s,
                            u"ios.quotes.imported"_s,
                            u"ios.quotes.paste"_s,
                            u"ios.quotes.swipeHint"_s,
                            u"ios.rate"_s,
                            u"ios.settings"_s,
                            u"ios.share"_s,
                            u"ios.support"_s,
                            u"ios.version"_s,
                            u"ios.wall.saved"_s,
                            u"ios.wall.failed"_s,
                            u"ios.wall.denied"_s,
                            u"ios.web"_s,
                            u"mac.hotkeyHint"_s,
                            u"mac.menubar.open"_s,
                            u"mac.saveImage"_s,
                            u"mac.servicesHint"_s,
                            u"quotes.title"_s,
                            u"quotes.count"_s,
                            u"quotes.placeholder"_s,
                            u"quotes.source"_s,
                            u"quotes.saved"_s,
                            u"quotes.keep"_s,
                            u"quotes.delete"_s,
                            u"quotes.deleteConfirm"_s,
                            u"quotes.import"_s,
                            u"quotes.importTooBig"_s,
                            u"quotes.export"_s,
                            u"quotes.phoneEmpty"_s,
                            u"settings.icloud"_s,
                            u"settings.icloudOn"_s,
                            u"settings.icloudOff"_s,
                            u"settings.icloudTruncated"_s,
                            u"status.empty"_s,
                            u"status.count"_s,
                            u"status.full"_s,
                            u"style.type"_s,
                            u"style.ink"_s,
                            u"style.barrel"_s,
                            u"style.charm"_s,
                            u"tools.case"_s,
                            u"tools.save"_s,
                            u"tools.wallpaper"_s,
                            u"tray.title"_s,
                            u"tray.hint"_s,
                            u"tray.full"_s,
                            u"wall.title"_s,
                            u"tagline"_s};

const QHash<QString, QStringList> placeholders{
    {u"status.count"_s, {u"{cap}"_s, u"{n}"_s}}, {u"status.full"_s, {u"{cap}"_s}},
    {u"case.pen"_s, {u"{date}"_s, u"{n}"_s}},    {u"quotes.count"_s, {u"{n}"_s}},
    {u"ios.quotes.imported"_s, {u"{n}"_s}},      {u"settings.icloudTruncated"_s, {u"{n}"_s}},
};

QStringList catalogKeys() {
    QStringList keys;
    for (const BeadSpec& bead : beadCatalog())
        keys.append(u"beads."_s + bead.id);
    for (const BarrelSpec& barrel : barrelCatalog())
        keys.append(u"barrels."_s + barrel.id);
    for (const PenTypeSpec& type : penTypeCatalog())
        keys.append(u"types."_s + type.id);
    for (const QString& charm : charmKinds())
        keys.append(u"charms."_s + charm);
    for (const QString& group : beadGroups())
        keys.append(u"group."_s + group);
    return keys;
}

QStringList placeholdersIn(const QString& text) {
    QStringList found;
    auto matches = QRegularExpression(u"\\{[a-z]+\\}"_s).globalMatch(text);
    while (matches.hasNext())
        found.append(matches.next().captured());
    found.sort();
    found.removeDuplicates();
    return found;
}

// 2001-01-01T12:00:00Z
constexpr Date newYear = 43200;

} // namespace

class TestLocalization : public QObject {
    Q_OBJECT

    void setCode(const QString& code) { Preferences::standard().setValue(u"app.language"_s, code); }

private Q_SLOTS:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QFile::remove(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                      u"/tessaro/tessaro.conf"_s);
        QFile::remove(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                      u"/tessaro/group.conf"_s);
    }

    void init() { setCode(QString()); }

    void englishTableIsComplete() {
        setCode(u"en"_s);
        QStringList expected = fixedKeys + catalogKeys();
        for (const QString& key : expected) {
            const QString text = L(key);
            QVERIFY2(text != key && !text.trimmed().isEmpty(), qPrintable(key));
            QCOMPARE(placeholdersIn(text), placeholders.value(key));
        }
        QFile file(u":/l10n/en.lproj/Localizable.json"_s);
        QVERIFY(file.open(QIODevice::ReadOnly));
        JsonDocument document;
        QCOMPARE(document.parse(file.readAll()), JsonStatus::ok);
        QCOMPARE(qsizetype(document.root().MemberCount()), expected.size());
    }

    void lookupOrder() {
        QVERIFY(QFile::exists(u":/l10n/Base.lproj/TessaroSourceFallback.json"_s));
        const QString english = L(u"tray.title"_s);
        QVERIFY(english != u"tray.title"_s);

        setCode(u"en"_s);
        QCOMPARE(L(u"tray.title"_s), english);
        QCOMPARE(L(u"no.such.key"_s), u"no.such.key"_s);

        // A code without a folder reads the source fallback table.
        setCode(u"tlh"_s);
        QCOMPARE(L(u"tray.title"_s), english);
        QCOMPARE(L(u"no.such.key"_s), u"no.such.key"_s);
    }

    void codeMappings() {
        QCOMPARE(resourceFolderCode(u"no"_s), u"nb"_s);
        QCOMPARE(resourceFolderCode(u"zh-Hant"_s), u"zh-Hant"_s);
        QCOMPARE(localeIdentifier(u"zh-Hans"_s), u"zh-CN"_s);
        QCOMPARE(localeIdentifier(u"zh-Hant"_s), u"zh-TW"_s);
        QCOMPARE(localeIdentifier(u"no"_s), u"nb"_s);
        QCOMPARE(localeIdentifier(u"pt-BR"_s), u"pt-BR"_s);
        QCOMPARE(languageTable().size(), 28);
        QCOMPARE(languageTable().first().code, u"en"_s);
        QCOMPARE(languageTable().last().nativeName, u"繁體中文"_s);
    }

    void datesFollowTheChosenLanguage() {
        setCode(u"en"_s);
        QCOMPARE(localizedDate(newYear), u"Jan 1, 2001"_s);
        setCode(u"no"_s);
        QCOMPARE(localizedDate(newYear), u"1. jan. 2001"_s);
        setCode(u"zh-Hant"_s);
        QCOMPARE(localizedDate(newYear), u"2001年1月1日"_s);
        setCode(u"de"_s);
        QCOMPARE(localizedDate(newYear), u"01.01.2001"_s);
        QVERIFY(!localizedDate(std::nullopt).isEmpty());
        QVERIFY(!DateFormatter(u"not a language tag!"_s).format(newYear).isEmpty());
        QVERIFY(!DateFormatter(QString()).format(1e300).isNull());
    }

    void fillPlaceholdersReplacesLiterally() {
        QCOMPARE(fillPlaceholders(u"{n} of {cap}, {n}!"_s, {{u"n"_s, u"3"_s}, {u"cap"_s, u"20"_s}}),
                 u"3 of 20, 3!"_s);
        QCOMPARE(fillPlaceholders(u"no braces"_s, {{u"n"_s, u"3"_s}}), u"no braces"_s);
        QCOMPARE(fillPlaceholders(u"{n} {date}"_s, {{u"n"_s, u"{date}"_s}}), u"{date} {date}"_s);
        QCOMPARE(fillPlaceholders(u"{N} {n}"_s, {{u"n"_s, u"1"_s}}), u"{N} 1"_s);
    }

    void managerStoresAndMirrors() {
        Preferences& standard = Preferences::standard();
        Preferences& group = Preferences::group();
        setCode(u"fr"_s);
        LanguageManager manager(standard, group);
        QCOMPARE(manager.code(), u"fr"_s);
        QTRY_COMPARE(group.value(u"app.language"_s).toString(), u"fr"_s);

        QSignalSpy changed(&manager, &LanguageManager::codeChanged);
        manager.setCode(u"zh-Hant"_s);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(standard.value(u"app.language"_s).toString(), u"zh-Hant"_s);
        QCOMPARE(manager.locale().name(), u"zh_TW"_s);
        QTRY_COMPARE(group.value(u"app.language"_s).toString(), u"zh-Hant"_s);

        // The system row stores the empty string, in both places.
        manager.setCode(QString());
        QCOMPARE(changed.size(), 2);
        QVERIFY(standard.value(u"app.language"_s).isValid());
        QCOMPARE(standard.value(u"app.language"_s).toString(), QString());
        QTRY_COMPARE(group.value(u"app.language"_s).toString(), QString());
        QVERIFY(group.value(u"app.language"_s).isValid());

        manager.setCode(QString());
        QCOMPARE(changed.size(), 2 + 1);
    }
};

QTEST_GUILESS_MAIN(TestLocalization)
#include "tst_localization.moc"
