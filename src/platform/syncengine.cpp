#include "syncengine.h"

#include <QRegularExpression>

namespace tessaro {

using namespace Qt::StringLiterals;

bool isSyncEngineTemporary(const QString& fileName) {
    // Syncthing: ".syncthing.name.tmp"; Nextcloud: ".name.~1a2b"; rclone: "name.partial".
    if (fileName.startsWith(u".syncthing."_s) && fileName.endsWith(u".tmp"_s))
        return true;
    if (fileName.startsWith(u'.') && fileName.contains(u".~"_s))
        return true;
    return fileName.endsWith(u".partial"_s);
}

std::optional<QString> conflictCopyOriginal(const QString& fileName) {
    static const QRegularExpression syncthing(
        u"^(.*)\\.sync-conflict-\\d{8}-\\d{6}(?:-[A-Z0-9]{7})?(\\..*)?$"_s);
    static const QRegularExpression nextcloud(u"^(.*) \\(conflicted copy [^)]*\\)(\\..*)?$"_s);
    for (const QRegularExpression* pattern : {&syncthing, &nextcloud}) {
        const auto match = pattern->match(fileName);
        if (match.hasMatch() && !match.captured(1).isEmpty())
            return match.captured(1) + match.captured(2);
    }
    return std::nullopt;
}

} // namespace tessaro
