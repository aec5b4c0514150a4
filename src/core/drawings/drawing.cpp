#include "drawing.h"

#include "model/base64.h"

#include <QHash>

#include <algorithm>
#include <cmath>

namespace tessaro {

namespace {

bool isIDCharacter(QChar c) {
    return c.isLetterOrNumber() || c == u'-' || c == u'_';
}

double pageSide(double side, double fallback) {
    return std::isfinite(side) && side > 1 ? side : fallback;
}

} // namespace

bool isValidDrawingID(QStringView id) {
    return !id.isEmpty() && id.size() <= maxDrawingID &&
           std::all_of(id.begin(), id.end(), isIDCharacter);
}

void Drawing::writeJson(JsonWriter& writer) const {
    writer.beginObject();
    writer.key("id");
    writer.value(id);
    writer.key("createdAt");
    writer.value(createdAt);
    writer.key("updatedAt");
    writer.value(updatedAt);
    writer.key("penType");
    writer.value(penType);
    writer.key("ink");
    writer.value(ink);
    writer.key("pageSize");
    writer.beginArray();
    writer.value(pageSize.width());
    writer.value(pageSize.height());
    writer.endArray();
    if (thumbnailPNG) {
        writer.key("thumbnailPNG");
        writer.base64Value(*thumbnailPNG);
    }
    writer.endObject();
}

std::optional<Drawing> Drawing::fromJson(const JsonValue& value, bool* dropped) {
    if (!value.IsObject())
        return std::nullopt;
    Drawing drawing;
    auto id = jsonString(jsonMember(value, "id"));
    auto createdAt = jsonNumber(jsonMember(value, "createdAt"));
    auto updatedAt = jsonNumber(jsonMember(value, "updatedAt"));
    auto penType = jsonString(jsonMember(value, "penType"));
    auto ink = jsonString(jsonMember(value, "ink"));
    const JsonValue* size = jsonMember(value, "pageSize");
    if (!id || !createdAt || !updatedAt || !penType || !ink || !size || !size->IsArray() ||
        size->Size() < 2)
        return std::nullopt;
    const auto width = jsonNumber(&(*size)[0]);
    const auto height = jsonNumber(&(*size)[1]);
    if (!width || !height)
        return std::nullopt;
    drawing.id = std::move(*id);
    drawing.createdAt = *createdAt;
    drawing.updatedAt = *updatedAt;
    drawing.penType = std::move(*penType);
    drawing.ink = std::move(*ink);
    drawing.pageSize = QSizeF(*width, *height);
    if (const JsonValue* thumbnail = jsonMember(value, "thumbnailPNG"); jsonPresent(thumbnail)) {
        if (thumbnail->IsString())
            drawing.thumbnailPNG = decodeBase64(
                QByteArrayView(thumbnail->GetString(), qsizetype(thumbnail->GetStringLength())));
        if (!drawing.thumbnailPNG && dropped)
            *dropped = true;
    }
    return drawing;
}

std::optional<Drawing> sanitizedDrawing(const Drawing& drawing) {
    Drawing clean = drawing;
    clean.id.clear();
    for (const QChar c : drawing.id) {
        if (clean.id.size() == maxDrawingID)
            break;
        if (isIDCharacter(c))
            clean.id.append(c);
    }
    if (clean.id.isEmpty())
        return std::nullopt;
    if (!penTypeById(clean.penType))
        clean.penType = defaultPenType;
    if (!isInkColour(clean.ink))
        clean.ink = defaultInk;
    clean.pageSize = QSizeF(pageSide(drawing.pageSize.width(), defaultPageWidth),
                            pageSide(drawing.pageSize.height(), defaultPageHeight));
    if (clean.thumbnailPNG && clean.thumbnailPNG->size() > maxThumbnailBytes)
        clean.thumbnailPNG.reset();
    return clean;
}

QList<Drawing> normalizeDrawings(const QList<Drawing>& drawings) {
    QList<Drawing> merged;
    QHash<QString, qsizetype> position;
    for (const Drawing& drawing : drawings) {
        auto clean = sanitizedDrawing(drawing);
        if (!clean)
            continue;
        const auto it = position.constFind(clean->id);
        if (it == position.cend()) {
            position.insert(clean->id, merged.size());
            merged.append(std::move(*clean));
        } else if (clean->updatedAt > merged[*it].updatedAt) {
            merged[*it] = std::move(*clean);
        }
    }
    std::stable_sort(merged.begin(), merged.end(),
                     [](const Drawing& a, const Drawing& b) { return a.updatedAt > b.updatedAt; });
    return merged;
}

} // namespace tessaro
