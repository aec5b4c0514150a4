// Every language table is complete and keeps the placeholders.
#include "l10n/localization.h"
#include "model/json.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
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

} // namespace

class TestTranslations : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(english().size() > 150); }

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
        for (auto it = base.cbegin(); it != base.cend(); ++it) {
            const QString text = table.value(it.key());
            QVERIFY2(!text.trimmed().isEmpty(), qPrintable(it.key()));
            QVERIFY2(placeholdersIn(text) == placeholdersIn(it.value()), qPrintable(it.key()));
        }
    }
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
