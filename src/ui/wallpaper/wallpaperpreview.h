#pragma once

#include "render/wallpapercanvas.h"

#include <QImage>
#include <QWidget>

namespace tessaro {

// The wallpaper as it will look: the canvas at the screen's proportions,
// as large as fits, in a rounded frame with an outline.
class WallpaperPreview final : public QWidget {
    Q_OBJECT

public:
    explicit WallpaperPreview(const WallpaperCanvas& canvas, QWidget* parent = nullptr);

    const WallpaperCanvas& canvas() const { return m_canvas; }
    void setBackground(const QString& hex);
    // The proportions to keep, as the pixel size of the screen.
    void setAspect(QSize pixelSize);
    QSize aspect() const { return m_aspect; }
    // Where the picture lies in the view.
    QRectF frame() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    WallpaperCanvas m_canvas;
    QSize m_aspect;
    // The picture painted last, kept while its size and colours stand.
    QImage m_picture;
    QString m_pictureBackground;
};

} // namespace tessaro
