#pragma once

#include <QString>

#include <optional>

namespace tessaro {

// What the file-sync engines that carry the cloud folder (Syncthing, the
// Nextcloud client, rclone) leave beside the files they sync.

// A temporary file of a sync engine mid-transfer, never to be read.
bool isSyncEngineTemporary(const QString& fileName);

// The name of the file that a conflict copy was made of, or none when
// `fileName` is not a conflict copy: Syncthing's
// "name.sync-conflict-20240501-101500-ABCDEFG.ext" and Nextcloud's
// "name (conflicted copy 2024-05-01 101500).ext" both stand for "name.ext".
std::optional<QString> conflictCopyOriginal(const QString& fileName);

} // namespace tessaro
