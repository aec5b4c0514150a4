// Every language table is complete, keeps the placeholders, and keeps short
// labels short enough to fit where the English one does.
#include "l10n/localization.h"
#include "model/catalog.h"
#include "model/json.h"
#include "model/text.h"

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
    void initTestCase() { QVERIFY(english().size() > 150); }

    // Texts named after catalog identifiers: a new bead or charm needs its text.
    void catalogHasTexts() {
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
        const Table base = english();
        for (const QString& key : keys)
            QVERIFY2(base.contains(key), qPrintable(key));
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
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
