#pragma once

#include <QString>

#include <optional>

namespace tessaro {

// What became of one file handed to the page command.
struct MadePage {
    // The new page's id; empty when the file was refused.
    QString id;
    // Why it was refused, for the user.
    QString error;
};

// Turns the SVG, PNG or JPEG file (or a page in Tessaro's own format) at
// `source` into a drawing page: the file must read as a page within the
// page bounds; its bytes, unchanged, become "<new id>.pkdrawing" in
// `localDir`, and are copied to `cloudDir` when there is one, where Tessaro's
// watch on the cloud folder picks the page up. Tessaro makes the page's
// record itself, as for a page from another device.
MadePage makePage(const QString& source, const QString& localDir,
                  const std::optional<QString>& cloudDir);

} // namespace tessaro
