#include "launch.h"

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

// A link the program can take: an absolute URL with a scheme.
std::optional<QUrl> readLink(const QString& text) {
    const QUrl link(text, QUrl::StrictMode);
    if (!link.isValid() || link.scheme().isEmpty())
        return std::nullopt;
    return link;
}

} // namespace

std::optional<LaunchRequest> parseLaunch(const QStringList& arguments, QString* error) {
    LaunchRequest request;
    for (const QString& argument : arguments) {
        if (argument == u"--service"_s) {
            request.background = true;
        } else if (argument == u"--keep-clipboard"_s) {
            request.kind = LaunchRequest::Kind::action;
            request.action = keepClipboardAction;
        } else if (argument.startsWith(u'-')) {
            *error = u"unknown option %1"_s.arg(argument);
            return std::nullopt;
        } else if (const std::optional<QUrl> link = readLink(argument)) {
            request.links.append(*link);
        } else {
            *error = u"not a link: %1"_s.arg(argument);
            return std::nullopt;
        }
    }
    if (request.kind == LaunchRequest::Kind::action && !request.links.isEmpty()) {
        *error = u"--keep-clipboard takes no links"_s;
        return std::nullopt;
    }
    if (!request.links.isEmpty())
        request.kind = LaunchRequest::Kind::open;
    return request;
}

QByteArray encodeLaunch(const LaunchRequest& request) {
    QByteArray line;
    switch (request.kind) {
    case LaunchRequest::Kind::activate:
        line = "activate";
        break;
    case LaunchRequest::Kind::open:
        line = "open";
        for (const QUrl& link : request.links)
            line += ' ' + link.toEncoded();
        break;
    case LaunchRequest::Kind::action:
        line = "action " + QUrl::toPercentEncoding(request.action);
        break;
    }
    return line + '\n';
}

std::optional<LaunchRequest> decodeLaunch(QByteArrayView line) {
    if (line.endsWith('\n'))
        line.chop(1);
    const QList<QByteArray> words = line.toByteArray().split(' ');
    LaunchRequest request;
    if (words.value(0) == "activate" && words.size() == 1)
        return request;
    if (words.value(0) == "open" && words.size() >= 2) {
        request.kind = LaunchRequest::Kind::open;
        for (qsizetype i = 1; i < words.size(); ++i) {
            const QUrl link = QUrl::fromEncoded(words.at(i), QUrl::StrictMode);
            if (!link.isValid() || link.scheme().isEmpty())
                return std::nullopt;
            request.links.append(link);
        }
        return request;
    }
    if (words.value(0) == "action" && words.size() == 2 && !words.at(1).isEmpty()) {
        request.kind = LaunchRequest::Kind::action;
        request.action = QString::fromUtf8(QByteArray::fromPercentEncoding(words.at(1)));
        return request;
    }
    return std::nullopt;
}

} // namespace tessaro
