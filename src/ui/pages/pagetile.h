#pragma once

#include "drawings/drawing.h"

#include <QAbstractButton>
#include <QImage>
#include <QWidget>

namespace tessaro {

// A tile's delete: only its small text, in the danger colour while it waits
// for the second press.
class TileDeleteButton final : public QAbstractButton {
    Q_OBJECT

public:
    explicit TileDeleteButton(QWidget* parent = nullptr);
    void setArmed(bool armed);
    bool isArmed() const { return m_armed; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_armed = false;
};

// One drawing page in the sheet's grid: its thumbnail on paper (a scribble
// where it has none), and under it the date of its last change and its
// delete button. A click anywhere but on the delete button opens the page.
class PageTile final : public QWidget {
    Q_OBJECT

public:
    static constexpr int thumbnailHeight = 148;
    static constexpr int footerHeight = 28;
    static constexpr int tileHeight = thumbnailHeight + footerHeight;

    explicit PageTile(QWidget* parent = nullptr);

    void setContent(const Drawing& drawing, const QString& date, bool armed);
    const QString& drawingID() const { return m_id; }
    const QString& dateText() const { return m_date; }
    TileDeleteButton* deleteButton() const { return m_delete; }
    // True when the record's thumbnail could be read and is drawn.
    bool showsThumbnail() const { return !m_thumbnail.isNull(); }

Q_SIGNALS:
    void opened();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QRectF thumbnailRect() const;

    QString m_id;
    QString m_date;
    std::optional<QByteArray> m_png;
    QImage m_thumbnail;
    TileDeleteButton* m_delete;
    bool m_pressed = false;
    bool m_focusRing = false;
};

// The thumbnail of a record, read within bounds (the bytes come from other
// devices): null when it is not a PNG of sensible size.
QImage decodeThumbnail(const QByteArray& png);

} // namespace tessaro
