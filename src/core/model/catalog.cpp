#include "catalog.h"

#include <QHash>

#include <array>

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

constexpr std::array shapeNames{u"round", u"pearl", u"jelly",  u"sprinkle", u"smile", u"flower",
                                u"heart", u"star",  u"cube",   u"bow",      u"bunny", u"bear",
                                u"cloud", u"berry", u"letter", u"rhine"};

struct Row {
    const char16_t* id;
    const char16_t* hex;
};

void addGroup(QList<BeadSpec>& beads, const QString& group, BeadShape shape,
              std::initializer_list<Row> rows) {
    for (const Row& row : rows)
        beads.append({QString::fromUtf16(row.id), group, shape, rgbFromHex(row.hex), {}, {}});
}

QList<BeadSpec> makeBeads() {
    QList<BeadSpec> beads;
    addGroup(beads, u"glass"_s, BeadShape::round,
             {{u"cherry", u"#F4A0B9"},
              {u"peach", u"#F7B39A"},
              {u"apricot", u"#F5C16C"},
              {u"lemon", u"#EBD66A"},
              {u"mint", u"#5FC2A0"},
              {u"sky", u"#6FB3E0"},
              {u"vine", u"#B9AEE3"},
              {u"cocoa", u"#B08468"},
              {u"lavender", u"#D9C8F0"},
              {u"coral", u"#F48C7F"},
              {u"sage", u"#B9D4B0"},
              {u"ivory", u"#F5EFE6"}});
    addGroup(beads, u"pearl"_s, BeadShape::pearl,
             {{u"pearl", u"#F3EEE7"},
              {u"pearl-pink", u"#F9DCE4"},
              {u"pearl-lilac", u"#E3D6F3"},
              {u"pearl-champagne", u"#F2E4CF"}});
    addGroup(beads, u"jelly"_s, BeadShape::jelly,
             {{u"jelly", u"#B9AEE3"},
              {u"jelly-pink", u"#F4A0B9"},
              {u"jelly-sky", u"#6FB3E0"},
              {u"jelly-lemon", u"#EBD66A"}});

    const struct {
        const char16_t* id;
        BeadShape shape;
        const char16_t* hex;
    } shaped[] = {
        {u"heart", BeadShape::heart, u"#F07FA8"},
        {u"heart-red", BeadShape::heart, u"#E0475C"},
        {u"heart-white", BeadShape::heart, u"#FBF5F5"},
        {u"star", BeadShape::star, u"#F5C94E"},
        {u"star-pink", BeadShape::star, u"#F48FB6"},
        {u"flower", BeadShape::flower, u"#C3B6EE"},
        {u"flower-yellow", BeadShape::flower, u"#F7D774"},
        {u"cube", BeadShape::cube, u"#8FD3C1"},
        {u"cube-pink", BeadShape::cube, u"#F7C0D3"},
        {u"smile", BeadShape::smile, u"#F7D774"},
        {u"smile-pink", BeadShape::smile, u"#F4A0B9"},
        {u"sprinkle", BeadShape::sprinkle, u"#F5C16C"},
        {u"bow", BeadShape::bow, u"#F07FA8"},
        {u"bunny", BeadShape::bunny, u"#FDF6F0"},
        {u"bear", BeadShape::bear, u"#B4794A"},
        {u"cloud", BeadShape::cloud, u"#F2F0FA"},
        {u"berry", BeadShape::berry, u"#E8404A"},
    };
    for (const auto& row : shaped) {
        BeadSpec bead{QString::fromUtf16(row.id), u"shape"_s, row.shape,
                      rgbFromHex(row.hex),        {},         {}};
        if (bead.id == u"flower-yellow")
            bead.centre = rgbFromHex(u"#F4A0B9");
        beads.append(bead);
    }

    const RGB letterColour = rgbFromHex(u"#F8F5F0");
    for (const QChar letter : u"LOVECUTAB"_s)
        beads.append({u"letter-"_s + letter,
                      u"letter"_s,
                      BeadShape::letter,
                      letterColour,
                      QString(letter),
                      {}});
    const Row hangul[] = {{u"sa", u"사"},  {u"rang", u"랑"}, {u"haeng", u"행"}, {u"bok", u"복"},
                          {u"gwi", u"귀"}, {u"yeo", u"여"},  {u"wo", u"워"},    {u"choe", u"최"},
                          {u"go", u"고"},  {u"reok", u"럭"}, {u"ki", u"키"},    {u"jjang", u"짱"}};
    for (const Row& row : hangul)
        beads.append({u"hangul-"_s + QString::fromUtf16(row.id),
                      u"hangul"_s,
                      BeadShape::letter,
                      letterColour,
                      QString::fromUtf16(row.hex),
                      {}});

    addGroup(
        beads, u"rhine"_s, BeadShape::rhine,
        {{u"rhine-crystal", u"#E8F0F8"}, {u"rhine-pink", u"#F7C9DA"}, {u"rhine-gold", u"#F2D48A"}});
    return beads;
}

template <typename Record> QHash<QString, qsizetype> indexById(const QList<Record>& records) {
    QHash<QString, qsizetype> index;
    for (qsizetype i = 0; i < records.size(); ++i)
        index.insert(records[i].id, i);
    return index;
}

template <typename Record>
const Record* lookup(const QList<Record>& records, const QHash<QString, qsizetype>& index,
                     QStringView id) {
    const auto it = index.constFind(id.toString());
    return it == index.cend() ? nullptr : &records[*it];
}

} // namespace

std::optional<BeadShape> beadShapeFromName(QStringView name) {
    for (std::size_t i = 0; i < shapeNames.size(); ++i)
        if (name == QStringView(shapeNames[i]))
            return BeadShape(i);
    return std::nullopt;
}

QString beadShapeName(BeadShape shape) {
    return QString::fromUtf16(shapeNames[std::size_t(shape)]);
}

const QList<BeadSpec>& beadCatalog() {
    static const QList<BeadSpec> beads = makeBeads();
    return beads;
}

const BeadSpec* beadById(QStringView id) {
    static const QHash<QString, qsizetype> index = indexById(beadCatalog());
    return lookup(beadCatalog(), index, id);
}

QList<BeadSpec> beadsInGroup(QStringView group) {
    QList<BeadSpec> result;
    for (const BeadSpec& bead : beadCatalog())
        if (bead.group == group)
            result.append(bead);
    return result;
}

const QStringList& beadGroups() {
    static const QStringList groups{u"glass"_s,  u"pearl"_s,  u"jelly"_s, u"shape"_s,
                                    u"letter"_s, u"hangul"_s, u"rhine"_s};
    return groups;
}

const QList<BarrelSpec>& barrelCatalog() {
    static const QList<BarrelSpec> barrels{
        {u"white"_s, rgbFromHex(u"#FFF6EE"), rgbFromHex(u"#F1E1D3")},
        {u"pink"_s, rgbFromHex(u"#FFE1EA"), rgbFromHex(u"#F6C3D3")},
        {u"sky"_s, rgbFromHex(u"#E3F0FA"), rgbFromHex(u"#C3DBEC")},
        {u"mint"_s, rgbFromHex(u"#E2F4EC"), rgbFromHex(u"#C4E4D6")},
        {u"black"_s, rgbFromHex(u"#6E5246"), rgbFromHex(u"#54392F")},
    };
    return barrels;
}

const BarrelSpec* barrelById(QStringView id) {
    static const QHash<QString, qsizetype> index = indexById(barrelCatalog());
    return lookup(barrelCatalog(), index, id);
}

const QList<PenTypeSpec>& penTypeCatalog() {
    static const QList<PenTypeSpec> types{
        {u"pencil"_s, 66, false, false, PenType::pencil},
        {u"ballpoint"_s, 66, false, false, PenType::ballpoint},
        {u"gel"_s, 66, true, false, PenType::gel},
        {u"fountain"_s, 66, true, false, PenType::fountain},
        {u"brush"_s, 72, true, false, PenType::brush},
        {u"highlighter"_s, 80, true, true, PenType::highlighter},
        {u"mechanical"_s, 66, false, false, PenType::mechanical},
    };
    return types;
}

const PenTypeSpec* penTypeById(QStringView id) {
    static const QHash<QString, qsizetype> index = indexById(penTypeCatalog());
    return lookup(penTypeCatalog(), index, id);
}

const PenTypeSpec& penTypeFor(QStringView id) {
    const PenTypeSpec* type = penTypeById(id);
    return type ? *type : penTypeCatalog().first();
}

const PenTypeSpec& penTypeSpec(PenType type) {
    // The catalog lists the types in the enum's order.
    const qsizetype index = qsizetype(type);
    const QList<PenTypeSpec>& types = penTypeCatalog();
    return index >= 0 && index < types.size() ? types[index] : types.first();
}

const QStringList& plainInks() {
    static const QStringList inks{u"#F4A0B9"_s, u"#6FB3E0"_s, u"#5FC2A0"_s,
                                  u"#B9AEE3"_s, u"#7A5A4C"_s, u"#3A3A3C"_s};
    return inks;
}

const QStringList& neonInks() {
    static const QStringList inks{u"#FFF176"_s, u"#FFB0D0"_s, u"#A7F3D0"_s, u"#BAE6FD"_s,
                                  u"#DDD6FE"_s};
    return inks;
}

const QStringList& inkColours() {
    static const QStringList inks = plainInks() + neonInks();
    return inks;
}

const QStringList& inksFor(const PenTypeSpec& type) {
    return type.neon ? neonInks() : plainInks();
}

bool isInkColour(QStringView ink) {
    return inkColours().contains(ink);
}

const QStringList& charmKinds() {
    static const QStringList charms{u"bunny"_s, u"bear"_s, u"cloud"_s, u"berry"_s, u"ribbon"_s};
    return charms;
}

bool isCharmKind(QStringView charm) {
    return charmKinds().contains(charm);
}

bool isBeadGroup(QStringView group) {
    return beadGroups().contains(group);
}

} // namespace tessaro
