#include "pen.h"

#include <charconv>
#include <cmath>

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

// Seconds written the way the id has always shown them: shortest round-trip
// digits with at least one fractional digit, exponent form for extreme values.
QString secondsText(double seconds) {
    char buffer[400];
    const double magnitude = std::fabs(seconds);
    const bool plain = seconds == 0 || (magnitude >= 1e-4 && magnitude < 1e16);
    const auto result =
        plain
            ? std::to_chars(buffer, buffer + sizeof buffer, seconds, std::chars_format::fixed)
            : std::to_chars(buffer, buffer + sizeof buffer, seconds, std::chars_format::scientific);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    if (plain && !text.contains(u'.'))
        text += u".0"_s;
    return text;
}

QString wholeSecondsText(double seconds) {
    const double rounded = std::round(seconds);
    // Only a damaged document holds a date this far out; its key just has to exist.
    if (!(rounded >= -9223372036854775808.0 && rounded < 9223372036854775808.0))
        return u"overflow"_s;
    return QString::number(qint64(rounded));
}

} // namespace

QString Pen::id() const {
    const QString saved = savedAt ? secondsText(unixFromDate(*savedAt)) : u"-1.0"_s;
    return QStringList{saved, beads.join(u','), barrel, charm, type, ink}.join(u'-');
}

QString Pen::caseKey() const {
    const QString saved = savedAt ? wholeSecondsText(unixFromDate(*savedAt)) : u"-"_s;
    return QStringList{saved, beads.join(u','), barrel, charm, type, ink}.join(u'|');
}

Pen Pen::sanitized() const {
    Pen pen = *this;
    pen.beads.clear();
    for (const QString& bead : beads) {
        if (pen.beads.size() == maxBeadsPerPen)
            break;
        if (beadById(bead))
            pen.beads.append(bead);
    }
    if (!barrelById(barrel))
        pen.barrel = defaultBarrel;
    if (!isCharmKind(charm))
        pen.charm = defaultCharm;
    if (!penTypeById(type))
        pen.type = defaultPenType;
    if (!isInkColour(ink))
        pen.ink = defaultInk;
    return pen;
}

QList<BeadSpec> Pen::beadSpecs() const {
    QList<BeadSpec> resolved;
    for (const QString& bead : beads)
        if (const BeadSpec* known = beadById(bead))
            resolved.append(*known);
    return resolved;
}

void writePenDesign(JsonWriter& writer, const QStringList& beads, const QString& barrel,
                    const QString& charm, const QString& type, const QString& ink) {
    writer.key("beads");
    writer.value(beads);
    writer.key("barrel");
    writer.value(barrel);
    writer.key("charm");
    writer.value(charm);
    writer.key("type");
    writer.value(type);
    writer.key("ink");
    writer.value(ink);
}

void Pen::writeJson(JsonWriter& writer) const {
    writer.beginObject();
    writePenDesign(writer, beads, barrel, charm, type, ink);
    if (savedAt) {
        writer.key("savedAt");
        writer.value(*savedAt);
    }
    writer.endObject();
}

std::optional<Pen> Pen::fromJson(const JsonValue& value, bool* dropped) {
    if (!value.IsObject())
        return std::nullopt;
    bool lost = false;
    auto text = [&](std::string_view key, const QString& fallback) {
        const JsonValue* member = jsonMember(value, key);
        const auto read = jsonString(member);
        lost |= jsonPresent(member) && !read;
        return read.value_or(fallback);
    };
    Pen pen;
    if (const JsonValue* beads = jsonMember(value, "beads"); jsonPresent(beads)) {
        bool readable = beads->IsArray();
        QStringList ids;
        if (readable) {
            for (const JsonValue& bead : beads->GetArray()) {
                const auto id = jsonString(&bead);
                if (!id) {
                    readable = false;
                    break;
                }
                ids.append(*id);
            }
        }
        lost |= !readable;
        if (readable)
            pen.beads = ids;
    }
    pen.barrel = text("barrel", defaultBarrel);
    pen.charm = text("charm", defaultCharm);
    pen.type = text("type", defaultPenType);
    pen.ink = text("ink", defaultInk);
    const JsonValue* savedAt = jsonMember(value, "savedAt");
    pen.savedAt = jsonNumber(savedAt);
    lost |= jsonPresent(savedAt) && !pen.savedAt;
    if (dropped)
        *dropped |= lost;
    return pen;
}

} // namespace tessaro
