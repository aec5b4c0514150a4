#pragma once

// The sheets' services for the galleries, answering nothing: only the looks
// matter there.
#include "platform/gui/urlopener.h"
#include "platform/widgets/filedialogs.h"
#include "platform/widgets/sharemenu.h"
#include "store/cloudsettings.h"

namespace tessaro::gallery {

class NoDialogs final : public FileDialogs {
public:
    std::optional<QString> askSaveLocation(const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> askFolder(const QString&) override { return std::nullopt; }
};

class NoShare final : public ShareMenu {
public:
    void share(const QList<QImage>&, const ShareTexts&, QWidget*, const QPoint&) override {}
};

class NoUrls final : public UrlOpener {
public:
    bool open(const QUrl&) override { return false; }
};

class ShownCloud final : public CloudSettings {
public:
    CloudStatus status() const override {
        return {CloudStatus::Kind::folder, QStringLiteral("/home/robin/Sync/Tessaro"), true, false};
    }
    void refresh() override {}
    void chooseFolder(const QString&) override {}
};

} // namespace tessaro::gallery
