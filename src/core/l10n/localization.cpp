#include "localization.h"

#include "languagemanager.h"
#include "model/json.h"

#include <QFile>
#include <QHash>
#include <QLocale>
#include <QMutex>
#include <QMutexLocker>

#include <memory>
#include <unicode/datefmt.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

using Table = QHash<QString, QString>;

// The development language; the base resources fall back to it.
const QString developmentLanguage = u"en"_s;

std::optional<Table> loadTable(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    JsonDocument document;
    if (document.parse(file.readAll()) != JsonStatus::ok || !document.root().IsObject())
        return std::nullopt;
    Table table;
    for (const auto& member : document.root().GetObject()) {
        const auto name = jsonString(&member.name);
        const auto text = jsonString(&member.value);
        if (name && text)
            table.insert(*name, *text);
    }
    return table;
}

QString folderPath(const QString& folderCode) {
    return u":/l10n/"_s + folderCode + u".lproj/Localizable.json"_s;
}

// Resource tables never change while the program runs, so each is read once.
class Tables {
public:
    static Tables& shared() {
        static Tables tables;
        return tables;
    }

    // The table of a resource folder, or null when there is no such folder.
    const Table* folder(const QString& folderCode) {
        QMutexLocker lock(&m_mutex);
        return load(folderPath(folderCode));
    }

    const Table* sourceFallback() {
        QMutexLocker lock(&m_mutex);
        return load(u":/l10n/Base.lproj/TessaroSourceFallback.json"_s);
    }

    // The base resources follow the desktop's language, as far as there is a folder for it.
    const Table* base() {
        QMutexLocker lock(&m_mutex);
        if (!m_baseChosen) {
            m_baseChosen = true;
            m_base = load(folderPath(baseFolderFor(QLocale::system().uiLanguages())));
        }
        return m_base;
    }

private:
    const Table* load(const QString& path) {
        auto it = m_tables.find(path);
        if (it == m_tables.end()) {
            auto table = loadTable(path);
            it =
                m_tables.insert(path, table ? std::make_shared<Table>(std::move(*table)) : nullptr);
        }
        return it->get();
    }

    static QString baseFolderFor(const QStringList& uiLanguages) {
        for (QString language : uiLanguages) {
            language.replace(u'_', u'-');
            // Try "zh-Hant-TW", then "zh-Hant", then "zh".
            for (;;) {
                for (const QString& candidate : aliasesFor(language))
                    if (QFile::exists(folderPath(candidate)))
                        return candidate;
                const qsizetype dash = language.lastIndexOf(u'-');
                if (dash <= 0)
                    break;
                language.truncate(dash);
            }
        }
        return developmentLanguage;
    }

    // Desktop language tags whose folder goes by another name.
    static QStringList aliasesFor(const QString& tag) {
        if (tag == u"zh-TW" || tag == u"zh-HK" || tag == u"zh-MO")
            return {u"zh-Hant"_s};
        if (tag == u"zh-CN" || tag == u"zh-SG" || tag == u"zh")
            return {u"zh-Hans"_s};
        if (tag == u"no" || tag == u"nn")
            return {u"nb"_s};
        if (tag == u"pt")
            return {u"pt-BR"_s};
        return {tag};
    }

    QMutex m_mutex;
    QHash<QString, std::shared_ptr<const Table>> m_tables;
    const Table* m_base = nullptr;
    bool m_baseChosen = false;
};

QString fromUnicode(const icu::UnicodeString& text) {
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

} // namespace

const QList<Language>& languageTable() {
    static const QList<Language> table{
        {u"en"_s, u"English"_s},
        {u"ko"_s, u"한국어"_s},
        {u"ja"_s, u"日本語"_s},
        {u"zh-Hans"_s, u"简体中文"_s},
        {u"id"_s, u"Bahasa Indonesia"_s},
        {u"ms"_s, u"Bahasa Melayu"_s},
        {u"cs"_s, u"Čeština"_s},
        {u"da"_s, u"Dansk"_s},
        {u"de"_s, u"Deutsch"_s},
        {u"es"_s, u"Español"_s},
        {u"es-MX"_s, u"Español (México)"_s},
        {u"fr"_s, u"Français"_s},
        {u"it"_s, u"Italiano"_s},
        {u"nl"_s, u"Nederlands"_s},
        {u"no"_s, u"Norsk"_s},
        {u"pl"_s, u"Polski"_s},
        {u"pt-BR"_s, u"Português (Brasil)"_s},
        {u"ro"_s, u"Română"_s},
        {u"fi"_s, u"Suomi"_s},
        {u"sv"_s, u"Svenska"_s},
        {u"vi"_s, u"Tiếng Việt"_s},
        {u"tr"_s, u"Türkçe"_s},
        {u"el"_s, u"Ελληνικά"_s},
        {u"ru"_s, u"Русский"_s},
        {u"uk"_s, u"Українська"_s},
        {u"hi"_s, u"हिन्दी"_s},
        {u"th"_s, u"ไทย"_s},
        {u"zh-Hant"_s, u"繁體中文"_s},
    };
    return table;
}

QString resourceFolderCode(const QString& code) {
    return code == u"no" ? u"nb"_s : code;
}

QString localeIdentifier(const QString& code) {
    if (code == u"zh-Hans")
        return u"zh-CN"_s;
    if (code == u"zh-Hant")
        return u"zh-TW"_s;
    if (code == u"no")
        return u"nb"_s;
    return code;
}

QString chosenLanguageCode() {
    const LanguageManager* manager = LanguageManager::shared();
    return manager ? manager->code() : QString();
}

QString L(const QString& key) {
    const QString code = chosenLanguageCode();
    Tables& tables = Tables::shared();
    const Table* table = code.isEmpty() ? tables.base() : tables.folder(resourceFolderCode(code));
    if (!table)
        table = tables.sourceFallback();
    return table ? table->value(key, key) : key;
}

QString fillPlaceholders(QString text, const QList<std::pair<QString, QString>>& args) {
    for (const auto& [name, value] : args)
        text.replace(u'{' + name + u'}', value);
    return text;
}

struct DateFormatter::Private {
    std::unique_ptr<icu::DateFormat> format;
};

DateFormatter::DateFormatter(const QString& languageCode)
    : d(std::make_unique<Private>()) {
    icu::Locale locale = icu::Locale::getDefault();
    if (!languageCode.isEmpty()) {
        UErrorCode status = U_ZERO_ERROR;
        const icu::Locale chosen =
            icu::Locale::forLanguageTag(localeIdentifier(languageCode).toStdString(), status);
        if (U_SUCCESS(status) && !chosen.isBogus())
            locale = chosen;
    }
    d->format.reset(icu::DateFormat::createDateInstance(icu::DateFormat::kMedium, locale));
    // Reading accepts only what formatting writes.
    if (d->format)
        d->format->setLenient(false);
}

DateFormatter::~DateFormatter() = default;

QString DateFormatter::format(Date date) const {
    if (!d->format)
        return QString();
    icu::UnicodeString text;
    // ICU counts milliseconds since 1970.
    d->format->format(unixFromDate(date) * 1000.0, text);
    return fromUnicode(text);
}

bool DateFormatter::reads(QStringView text) const {
    if (!d->format || text.isEmpty())
        return false;
    const icu::UnicodeString input(reinterpret_cast<const char16_t*>(text.utf16()),
                                   int32_t(text.size()));
    icu::ParsePosition position(0);
    d->format->parse(input, position);
    return position.getErrorIndex() < 0 && position.getIndex() == input.length();
}

QString localizedDate(std::optional<Date> date) {
    return DateFormatter(chosenLanguageCode()).format(date.value_or(currentDate()));
}

} // namespace tessaro
