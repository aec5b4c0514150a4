#pragma once

#include "appstate.h"
#include "platform/atomicfile.h"

namespace tessaro {

// "state.json" in the data folder: the whole document, replaced atomically
// on every save.
class StateFile {
public:
    explicit StateFile(QString path, Durability durability = Durability::flushed)
        : m_path(std::move(path))
        , m_durability(durability) {}

    QString path() const { return m_path; }

    // The stored document, repaired; the default document when there is none.
    // A file that does not read back whole is never lost: one that does not
    // decode at all is moved aside, and a copy is kept of one that decoded
    // only in part, both under names with the time in them.
    AppState load(Date now) const;

    // Writes the document whole; false (and logged) when that failed, in
    // which case the old file is still in place.
    bool save(const AppState& state) const;

private:
    QString asideName(const QString& reason, Date now) const;

    QString m_path;
    Durability m_durability;
};

} // namespace tessaro
