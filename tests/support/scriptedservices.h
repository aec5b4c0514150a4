#pragma once

// The desktop's services as widget tests script them: dialogs that give the
// answer set beforehand, and a clipboard, share menu and link opener that
// record what they were handed.
#include "platform/gui/urlopener.h"
#include "platform/widgets/clipboard.h"
#include "platform/widgets/filedialogs.h"
#include "platform/widgets/sharemenu.h"

#include <QImage>
#include <QPoint>
#include <QStringList>
#include <QUrl>

#include <functional>

namespace tessaro::test {

// Each question is noted in `asked` ("name type" for a save, the folder for
// a folder, the types for an open) and answered with `answer`, or with
// `openAnswer` for a file to open.
class ScriptedDialogs final : public FileDialogs {
public:
    std::optional<QString> askSaveLocation(const QString& name, const QString& type) override {
        asked.append(name + u' ' + type);
        if (onAsk)
            onAsk();
        return answer;
    }
    std::optional<QString> askFolder(const QString& current) override {
        asked.append(current);
        return answer;
    }
    std::optional<QString> askOpenFile(const QStringList& types) override {
        asked.append(types.join(u' '));
        return openAnswer;
    }

    std::optional<QString> answer;
    std::optional<QString> openAnswer;
    QStringList asked;
    // Runs while a save location is asked for.
    std::function<void()> onAsk;
};

class ScriptedClipboard final : public Clipboard {
public:
    std::optional<QString> text() const override { return content; }
    void setText(const QString& text) override { content = text; }
    void setImage(const QImage&) override {}
    std::optional<QString> content;
};

class RecordingShareMenu final : public ShareMenu {
public:
    void share(const QList<QImage>& images, const ShareTexts& texts, QWidget* parent,
               const QPoint& position) override {
        shared.append(images);
        entries = {texts.copyImage, texts.openInViewer, texts.attachToMail};
        from = parent;
        at = position;
    }
    // The images of each share, in order.
    QList<QList<QImage>> shared;
    QStringList entries;
    QWidget* from = nullptr;
    QPoint at;
};

class RecordingUrls final : public UrlOpener {
public:
    bool open(const QUrl& url) override {
        opened.append(url);
        return true;
    }
    QList<QUrl> opened;
};

} // namespace tessaro::test
