// Every language table is complete, keeps the placeholders, and keeps short
// labels short enough to fit where the English one does.
#include "l10n/localization.h"
#include "model/json.h"
#include "model/text.h"
#include "platform/preferences.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

using Table = QHash<QString, QString>;

Table load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    JsonDocument document;
    if (document.parse(file.readAll()) != JsonStatus::ok || !document.root().IsObject())
        return {};
    Table table;
    for (const auto& member : document.root().GetObject())
        table.insert(*jsonString(&member.name), jsonString(&member.value).value_or(QString()));
    return table;
}

Table english() {
    return load(u":/l10n/en.lproj/Localizable.json"_s);
}

QStringList placeholdersIn(const QString& text) {
    QStringList found;
    auto matches = QRegularExpression(u"\\{[^}]*\\}"_s).globalMatch(text);
    while (matches.hasNext())
        found.append(matches.next().captured());
    found.sort();
    found.removeDuplicates();
    return found;
}

// Texts this short are labels of buttons, chips and rows.
constexpr qsizetype labelLength = 24;
constexpr double labelGrowth = 2.5;

// Reviewed labels allowed to grow more, one "code key" per line.
QSet<QString> reviewedExceptions() {
    QFile file(QStringLiteral(TESSARO_TEST_DATA "/label-length-exceptions.txt"));
    QSet<QString> exceptions;
    if (file.open(QIODevice::ReadOnly))
        for (const QByteArray& line : file.readAll().split('\n'))
            if (!line.trimmed().isEmpty() && !line.startsWith('#'))
                exceptions.insert(QString::fromUtf8(line.trimmed()));
    return exceptions;
}

} // namespace

class TestTranslations : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(english().size() > 150);
    }

    void tablesAreComplete_data() {
        QTest::addColumn<QString>("code");
        for (const Language& language : languageTable())
            QTest::newRow(qPrintable(language.code)) << language.code;
    }

    void tablesAreComplete() {
        QFETCH(QString, code);
        const Table base = english();
        const Table table =
            load(u":/l10n/"_s + resourceFolderCode(code) + u".lproj/Localizable.json"_s);
        QVERIFY2(!table.isEmpty(), "no table");
        QStringList keys = table.keys();
        QStringList expected = base.keys();
        keys.sort();
        expected.sort();
        QCOMPARE(keys, expected);

        const QSet<QString> exceptions = reviewedExceptions();
        for (auto it = base.cbegin(); it != base.cend(); ++it) {
            const QString text = table.value(it.key());
            QVERIFY2(!text.trimmed().isEmpty(), qPrintable(it.key()));
            QVERIFY2(placeholdersIn(text) == placeholdersIn(it.value()), qPrintable(it.key()));
            const qsizetype englishLength = graphemeCount(it.value());
            if (englishLength > labelLength || exceptions.contains(code + u' ' + it.key()))
                continue;
            QVERIFY2(graphemeCount(text) <= englishLength * labelGrowth,
                     qPrintable(it.key() + u": "_s + text));
        }
    }

    void regionalTablesAreTheirOwn() {
        const Table spain = load(u":/l10n/es.lproj/Localizable.json"_s);
        const Table mexico = load(u":/l10n/es-MX.lproj/Localizable.json"_s);
        QVERIFY(spain != mexico);
        QVERIFY(load(u":/l10n/zh-Hans.lproj/Localizable.json"_s) !=
                load(u":/l10n/zh-Hant.lproj/Localizable.json"_s));
        QVERIFY(!QFile::exists(u":/l10n/no.lproj/Localizable.json"_s));
        QVERIFY(QFile::exists(u":/l10n/nb.lproj/Localizable.json"_s));
    }

    void switchingLanguageSwitchesTexts() {
        Preferences& preferences = Preferences::standard();
        QStringList seen;
        for (const QString& code : {u"en"_s, u"de"_s, u"ja"_s, u"no"_s, u"zh-Hant"_s}) {
            preferences.setValue(u"app.language"_s, code);
            seen.append(L(u"tray.title"_s));
        }
        seen.removeDuplicates();
        QCOMPARE(seen.size(), 5);
        preferences.setValue(u"app.language"_s, QString());
    }
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
