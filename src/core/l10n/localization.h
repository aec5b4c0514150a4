#pragma once

#include "model/date.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>
#include <utility>

namespace tessaro {

struct Language {
    QString code;
    QString nativeName;
};

// The languages the picker offers, in display order.
const QList<Language>& languageTable();

// The resource folder of a language code ("no" lives in nb).
QString resourceFolderCode(const QString& code);
// The locale used to format for a language code.
QString localeIdentifier(const QString& code);

// The text for `key` in the chosen language, or the key itself when there is
// none. Asks the installed language manager on every call, so a change of
// language shows at the next redraw.
QString L(const QString& key);

// Replaces every "{name}" by its value, literally. Unknown names stay.
QString fillPlaceholders(QString text, const QList<std::pair<QString, QString>>& args);

// A date in the medium style of the chosen language, without time; a missing
// date formats the current moment.
QString localizedDate(std::optional<Date> date);

// The same, for many dates in one language.
class DateFormatter {
public:
    // The empty code formats for the system's locale.
    explicit DateFormatter(const QString& languageCode);
    ~DateFormatter();
    DateFormatter(const DateFormatter&) = delete;
    DateFormatter& operator=(const DateFormatter&) = delete;

    QString format(Date date) const;
    // Whether `text`, all of it, is a date as `format` writes it.
    bool reads(QStringView text) const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// The code of the installed language manager; empty for the system language,
// also when no manager is installed.
QString chosenLanguageCode();

} // namespace tessaro
