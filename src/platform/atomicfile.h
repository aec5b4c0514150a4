#pragma once

#include <QByteArrayView>
#include <QString>

#include <chrono>
#include <ctime>
#include <optional>

namespace tessaro {

enum class Durability {
    // Data and folder flushed to disk before the call returns.
    flushed,
    // Same steps without the flushes; for benchmarks and throwaway files only.
    unflushed,
};

// What became of a write: true when it succeeded; otherwise the step that
// failed and the system's reason, for the log.
class WriteResult {
public:
    WriteResult() = default;
    WriteResult(const char* step, int error)
        : m_step(step)
        , m_error(error) {}

    explicit operator bool() const { return m_error == 0; }
    // The errno of the failed step; 0 on success.
    int error() const { return m_error; }
    // Such as "creating a temporary file: No space left on device"; empty on success.
    QString errorString() const;

private:
    const char* m_step = nullptr;
    int m_error = 0;
};

// Replaces the file at `path` whole: the data goes to a temporary file
// ".<name>.tmp-XXXXXX" in the same folder, is flushed to disk (the result
// checked), renamed over the old file, and then the folder itself is
// flushed, so that after a crash the file holds either the old or the new
// content. On any failure the old file stays as it was and the result says
// why. Never follows a symbolic link at `path`. With `modified`, the file
// appears with that modification date (no reader ever sees another).
WriteResult writeFileAtomically(const QString& path, QByteArrayView data,
                                Durability durability = Durability::flushed,
                                std::optional<timespec> modified = std::nullopt);

// Reads a regular file without following symbolic links; none for anything
// else (a link, a folder, a pipe, a device), for a missing file and for one
// larger than `maxBytes`. `error`, when given, receives the reason for none.
std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes,
                                          int* error = nullptr);

// True when `path` names a regular file (not through a symbolic link).
bool isRegularFile(const QString& path);

// A write killed between creating its temporary file and renaming it leaves
// the temporary behind. In a shared folder another device may be writing
// right now, so only temporaries older than this are taken for dead.
inline constexpr std::chrono::seconds staleTemporaryAge{10 * 60};

// True for the name of writeFileAtomically's temporary file.
bool isAtomicWriteTemporary(QStringView fileName);

// Removes the temporaries of writeFileAtomically in `folder` (not below it)
// that have not changed for `olderThan`; returns how many went.
int removeStaleTemporaries(const QString& folder,
                           std::chrono::seconds olderThan = staleTemporaryAge);

} // namespace tessaro
