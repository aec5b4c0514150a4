#include "statefile.h"

#include "storelog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace tessaro {

using namespace Qt::StringLiterals;

Q_LOGGING_CATEGORY(lcStore, "tessaro.store")

bool StateFile::linkOrCopy(const QString& from, const QString& to) {
    if (::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    // Some file systems (FAT, some network mounts) have no hard links.
    const int linkError = errno;
    const auto bytes = readRegularFile(from, maxStateBytes + 1);
    if (bytes && writeFileAtomically(to, *bytes))
        return true;
    errno = linkError;
    return false;
}

AppState StateFile::load(Date now) {
    m_loadedAt = now;
    m_atRisk.clear();
    QFile file(m_path);
    if (!file.exists())
        return AppState().sanitized(now);
    std::optional<DecodedState> decoded;
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.read(maxStateBytes + 1);
        if (file.error() == QFileDevice::NoError)
            decoded = decodeState(bytes);
        file.close();
    }
    if (!decoded) {
        // Starting from the default document would overwrite this file at
        // the next save; keep it for the user (or a later version) instead.
        m_atRisk = u"unreadable"_s;
        keepOriginal();
        return AppState().sanitized(now);
    }
    if (decoded->dropped) {
        m_atRisk = u"damaged"_s;
        keepOriginal();
    }
    return decoded->state.sanitized(now);
}

bool StateFile::keepOriginal() {
    if (m_atRisk.isEmpty())
        return true;
    if (!QFileInfo::exists(m_path)) {
        m_atRisk.clear();
        return true;
    }
    const QString aside = asideName(m_atRisk, m_loadedAt);
    // Cleared first, so that a failure that sets no errno is not blamed on
    // an older one.
    errno = 0;
    if (!m_keepAside(m_path, aside)) {
        const int error = errno;
        if (!m_toldAtRisk)
            qCWarning(lcStore,
                      "state file %s not read whole and no copy of it could be kept (%s); "
                      "it stays untouched until one can",
                      qPrintable(m_path), error ? std::strerror(error) : "reason unknown");
        m_toldAtRisk = true;
        return false;
    }
    qCWarning(lcStore, "state file not read whole (%s); the original is kept as %s",
              qPrintable(m_atRisk), qPrintable(aside));
    // An unreadable file is moved rather than copied: it only stands in the way.
    if (m_atRisk == u"unreadable"_s)
        QFile::remove(m_path);
    m_atRisk.clear();
    return true;
}

bool StateFile::save(const AppState& state) {
    if (!keepOriginal())
        return false;
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    const WriteResult written = writeFileAtomically(m_path, encodeState(state), m_durability);
    if (written)
        return true;
    qCWarning(lcStore, "state file could not be written to %s: %s", qPrintable(m_path),
              qPrintable(written.errorString()));
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
