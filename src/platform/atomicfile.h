#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace tessaro {

enum class Durability {
    // Data and folder flushed to disk before the call returns.
    flushed,
    // Same steps without the flushes; for benchmarks and throwaway files only.
    unflushed,
};

// Replaces the file at `path` whole: the data goes to a temporary file in the
// same folder, is flushed to disk (the result checked), renamed over the old
// file, and then the folder itself is flushed, so that after a crash the file
// holds either the old or the new content. Returns false and leaves the old
// file as it was on any failure. Never follows a symbolic link at `path`.
bool writeFileAtomically(const QString& path, QByteArrayView data,
                         Durability durability = Durability::flushed);

// Reads a regular file without following symbolic links; none for anything
// else (a link, a folder, a pipe, a device), for a missing file and for one
// larger than `maxBytes`.
std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes);

// True when `path` names a regular file (not through a symbolic link).
bool isRegularFile(const QString& path);

} // namespace tessaro
