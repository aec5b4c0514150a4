#include "statefile.h"

#include "storelog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tessaro {

using namespace Qt::StringLiterals;

Q_LOGGING_CATEGORY(lcStore, "tessaro.store")

AppState StateFile::load(Date now) const {
    QFile file(m_path);
    if (!file.exists())
        return AppState().sanitized(now);
    std::optional<DecodedState> decoded;
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly)) {
        bytes = file.read(maxStateBytes + 1);
        if (file.error() == QFileDevice::NoError)
            decoded = decodeState(bytes);
        file.close();
    }
    if (!decoded) {
        // Starting from the default document would overwrite this file at
        // the next save; keep it for the user (or a later version) instead.
        const QString aside = asideName(u"unreadable"_s, now);
        if (QFile::rename(m_path, aside))
            qCWarning(lcStore, "state file could not be read — moved aside to %s",
                      qPrintable(aside));
        else
            qCWarning(lcStore, "state file could not be read, nor moved aside");
        return AppState().sanitized(now);
    }
    if (decoded->dropped) {
        const QString aside = asideName(u"damaged"_s, now);
        if (writeFileAtomically(aside, bytes, m_durability))
            qCWarning(lcStore, "state file read in part — original kept as %s", qPrintable(aside));
        else
            qCWarning(lcStore, "state file read in part, and no copy of it could be kept");
    }
    return decoded->state.sanitized(now);
}

bool StateFile::save(const AppState& state) const {
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    if (writeFileAtomically(m_path, encodeState(state), m_durability))
        return true;
    qCWarning(lcStore, "state file could not be written to %s", qPrintable(m_path));
    return false;
}

QString StateFile::asideName(const QString& reason, Date now) const {
    const QString stamp = QDateTime::fromSecsSinceEpoch(qint64(unixFromDate(now)), Qt::UTC)
                              .toString(u"yyyyMMdd-HHmmss"_s);
    const QString base = m_path + u'.' + reason + u'-' + stamp;
    QString name = base;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = base + u'-' + QString::number(n);
    return name;
}

} // namespace tessaro
