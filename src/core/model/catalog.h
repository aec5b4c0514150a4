#pragma once

#include "rgb.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace tessaro {

// Bead silhouettes, in declaration order; stored by their names.
enum class BeadShape {
    round,
    pearl,
    jelly,
    sprinkle,
    smile,
    flower,
    heart,
    star,
    cube,
    bow,
    bunny,
    bear,
    cloud,
    berry,
    letter,
    rhine,
};

std::optional<BeadShape> beadShapeFromName(QStringView name);
QString beadShapeName(BeadShape shape);

struct BeadSpec {
    QString id;
    QString group;
    BeadShape shape = BeadShape::round;
    RGB rgb;
    std::optional<QString> letter;
    std::optional<RGB> centre;

    friend bool operator==(const BeadSpec&, const BeadSpec&) = default;
};

struct BarrelSpec {
    QString id;
    RGB top;
    RGB bottom;

    friend bool operator==(const BarrelSpec&, const BarrelSpec&) = default;
};

// Pen types, in catalog order. Files store a pen type by its catalog id;
// painters switch on this.
enum class PenType { pencil, ballpoint, gel, fountain, brush, highlighter, mechanical };

struct PenTypeSpec {
    QString id;
    double thick = 66;
    bool ink = false;
    bool neon = false;
    PenType type = PenType::pencil;

    friend bool operator==(const PenTypeSpec&, const PenTypeSpec&) = default;
};

// The fixed catalog. Every list is built once, on first use, and never
// changes, so it may be read from any thread.
const QList<BeadSpec>& beadCatalog();
const BeadSpec* beadById(QStringView id);
QList<BeadSpec> beadsInGroup(QStringView group);
const QStringList& beadGroups();

const QList<BarrelSpec>& barrelCatalog();
const BarrelSpec* barrelById(QStringView id);

const QList<PenTypeSpec>& penTypeCatalog();
const PenTypeSpec* penTypeById(QStringView id);
// Unknown ids draw and edit as the pencil.
const PenTypeSpec& penTypeFor(QStringView id);
const PenTypeSpec& penTypeSpec(PenType type);
inline constexpr double maxThick = 80;

const QStringList& plainInks();
const QStringList& neonInks();
const QStringList& inkColours();
const QStringList& inksFor(const PenTypeSpec& type);
bool isInkColour(QStringView ink);

const QStringList& charmKinds();
bool isCharmKind(QStringView charm);
bool isBeadGroup(QStringView group);

inline const QString defaultBarrel = QStringLiteral("white");
inline const QString defaultCharm = QStringLiteral("bunny");
inline const QString defaultPenType = QStringLiteral("pencil");
inline const QString defaultInk = QStringLiteral("#F4A0B9");
inline const QString defaultGroup = QStringLiteral("glass");

} // namespace tessaro
