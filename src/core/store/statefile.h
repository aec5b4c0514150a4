#pragma once

#include "appstate.h"
#include "platform/atomicfile.h"

#include <functional>

namespace tessaro {

// "state.json" in the data folder: the whole document, replaced atomically
// on every save.
class StateFile {
public:
    // Keeps the file at `from` under the name `to` as well: a hard link,
    // which costs no space, or else a copy. False when neither worked.
    using KeepAside = std::function<bool(const QString& from, const QString& to)>;
    static bool linkOrCopy(const QString& from, const QString& to);

    explicit StateFile(QString path, Durability durability = Durability::flushed,
                       KeepAside keepAside = linkOrCopy)
        : m_path(std::move(path))
        , m_durability(durability)
        , m_keepAside(std::move(keepAside)) {}

    QString path() const { return m_path; }

    // The stored document, repaired; the default document when there is none.
    // A file that does not read back whole is never lost: one that does not
    // decode at all is moved aside, and one that decoded only in part is kept
    // aside as well, both under names with the time in them.
    AppState load(Date now);

    // Writes the document whole; false (and logged) when that failed, in
    // which case the old file is still in place. While a file that was not
    // read whole could not be kept aside, it is not replaced: every save
    // tries again to keep it first.
    bool save(const AppState& state);

private:
    bool keepOriginal();
    QString asideName(const QString& reason, Date now) const;

    QString m_path;
    Durability m_durability;
    KeepAside m_keepAside;
    // Why the file on disk must not be replaced yet ("unreadable" or
    // "damaged"); empty once it is safe elsewhere or was read whole.
    QString m_atRisk;
    Date m_loadedAt = 0;
    bool m_toldAtRisk = false;
};

} // namespace tessaro
