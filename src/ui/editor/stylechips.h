#pragma once

#include "choicechip.h"

namespace tessaro {

// The chips of the tray's group tabs and of the style rows. Each shows one
// value; the views read the store and check the chip of the current value.
// `retranslate` reads the label again in the chosen language.

// A bead group: its name on a capsule.
class GroupChip final : public ChoiceChip {
    Q_OBJECT

public:
    GroupChip(const QString& group, QWidget* parent = nullptr);
    void retranslate();

protected:
    void paintChip(QPainter& painter, const QRectF& shape, bool dark) const override;
    double cornerRadius(const QRectF& shape) const override { return shape.height() / 2; }
    QSizeF shapeSize() const override;
};

// A pen type: a flat pen of that type over its name. The picture wears the
// pen's barrel and ink, so that the row previews the pen.
class TypeChip final : public ChoiceChip {
    Q_OBJECT

public:
    TypeChip(const QString& type, QWidget* parent = nullptr);
    void retranslate();
    void setPenStyle(const QString& barrel, const QString& ink);

protected:
    void paintChip(QPainter& painter, const QRectF& shape, bool dark) const override;
    double cornerRadius(const QRectF&) const override { return 18; }
    QSizeF shapeSize() const override;

private:
    QString m_barrel;
    QString m_ink;
    mutable CachedPicture m_thumb;
};

// An ink colour: a disc, ringed when selected.
class InkChip final : public ChoiceChip {
    Q_OBJECT

public:
    InkChip(const QString& ink, QWidget* parent = nullptr);
    void retranslate();

protected:
    void paintChip(QPainter& painter, const QRectF& shape, bool dark) const override;
    double cornerRadius(const QRectF& shape) const override { return shape.height() / 2; }
    QSizeF shapeSize() const override { return {34, 34}; }
};

// A barrel colour: its name on the barrel's gradient.
class BarrelChip final : public ChoiceChip {
    Q_OBJECT

public:
    BarrelChip(const QString& barrel, QWidget* parent = nullptr);
    void retranslate();

protected:
    void paintChip(QPainter& painter, const QRectF& shape, bool dark) const override;
    double cornerRadius(const QRectF&) const override { return 14; }
    QSizeF shapeSize() const override;
};

// A charm: its icon on a tile.
class CharmChip final : public ChoiceChip {
    Q_OBJECT

public:
    CharmChip(const QString& kind, QWidget* parent = nullptr);
    void retranslate();

protected:
    void paintChip(QPainter& painter, const QRectF& shape, bool dark) const override;
    double cornerRadius(const QRectF&) const override { return 14; }
    QSizeF shapeSize() const override { return {48, 48}; }

private:
    mutable CachedPicture m_icon;
};

} // namespace tessaro
