#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <QUrl>

#include <optional>

namespace tessaro {

// What one start of the program asks of the Tessaro that runs: the first
// start does it itself, a later one hands it over and ends.
struct LaunchRequest {
    enum class Kind { activate, open, action };
    Kind kind = Kind::activate;
    // For open: "tessaro://" links.
    QList<QUrl> links;
    // For action: the desktop action's name.
    QString action;
    // Started by the session bus for a call: nothing is shown until asked.
    bool background = false;

    friend bool operator==(const LaunchRequest&, const LaunchRequest&) = default;
};

// The desktop action that keeps the clipboard's text as a quote.
inline const QString keepClipboardAction = QStringLiteral("keep-clipboard");

// Reads the command line (without the program's name): links, "--service",
// "--keep-clipboard". None, with the reason in `error`, for anything else.
std::optional<LaunchRequest> parseLaunch(const QStringList& arguments, QString* error);

// One line between two starts over a local socket, where there is no session
// bus; decoding refuses anything it did not write.
QByteArray encodeLaunch(const LaunchRequest& request);
std::optional<LaunchRequest> decodeLaunch(QByteArrayView line);

} // namespace tessaro

Q_DECLARE_METATYPE(tessaro::LaunchRequest)
