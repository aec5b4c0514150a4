#pragma once

#include "model/pen.h"

#include <QImage>
#include <QWidget>

#include <optional>

class QLabel;

namespace tessaro {

class CandyButton;
class FileDialogs;
class GhostButton;
class PenStore;
class ShareMenu;
class WallpaperPreview;
class WallpaperSwatch;

// The backgrounds to choose from, in order; the first is the default and the
// last two are dark, which draws the pen dark as well.
const QStringList& wallpaperBackgrounds();

// The wallpaper sheet's content: the swatch row, the preview at the screen's
// proportions, a status line and the save and share buttons. The picture is
// rendered at the pixel size of the screen the sheet is on, away from the
// window's thread; both buttons wait while it is (`isBusy`). Nothing of it
// is kept: each opening starts with the first background and no status.
class WallpaperSheet final : public QWidget {
    Q_OBJECT

public:
    WallpaperSheet(const Pen& pen, FileDialogs& dialogs, ShareMenu& shareMenu,
                   QWidget* parent = nullptr);
    ~WallpaperSheet() override;

    QString background() const;
    void chooseBackground(const QString& hex);
    // The status line's text, when it shows.
    std::optional<QString> note() const;
    bool isBusy() const { return m_busy; }
    // The size the picture is saved at: the pixel size of the screen the
    // sheet is on, or a laptop panel's without one.
    QSize exportPixelSize() const;

    void save();
    void share();

    QList<WallpaperSwatch*> swatches() const { return m_swatches; }
    WallpaperPreview* preview() const { return m_preview; }
    QLabel* noteLabel() const { return m_note; }
    CandyButton* saveButton() const { return m_save; }
    GhostButton* shareButton() const { return m_share; }

Q_SIGNALS:
    void busyChanged(bool busy);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct Rendered {
        std::optional<QImage> image;
        std::optional<QByteArray> png;
    };

    // Renders (and encodes, when asked) on a worker; `done` runs here after,
    // unless the sheet is gone by then.
    void render(bool encode, std::function<void(const Rendered&)> done);
    void saveRendered(const Rendered& rendered);
    void finish(std::optional<QString> noteKey);
    void setBusy(bool busy);
    void retranslate();
    void applyLook();
    void followScreen();

    Pen m_pen;
    FileDialogs& m_dialogs;
    ShareMenu& m_shareMenu;
    QList<WallpaperSwatch*> m_swatches;
    WallpaperPreview* m_preview;
    QLabel* m_note;
    CandyButton* m_save;
    GhostButton* m_share;
    // The status line's key, so that it follows the language.
    std::optional<QString> m_noteKey;
    bool m_busy = false;
    bool m_followingScreen = false;
};

// What the window shows in the wallpaper sheet: the store's current pen.
QWidget* makeWallpaperSheet(PenStore& store, FileDialogs& dialogs, ShareMenu& shareMenu);

} // namespace tessaro
