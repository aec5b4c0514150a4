#include "base64.h"

#include <array>
#include <cstdint>

namespace tessaro {

namespace {

constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<std::int8_t, 256> makeDecodeTable() {
    std::array<std::int8_t, 256> table{};
    for (auto& entry : table)
        entry = -1;
    for (int i = 0; i < 64; ++i)
        table[std::uint8_t(alphabet[i])] = std::int8_t(i);
    return table;
}

constexpr auto decodeTable = makeDecodeTable();

} // namespace

void appendBase64(QByteArray& out, QByteArrayView data) {
    const auto* in = reinterpret_cast<const std::uint8_t*>(data.data());
    const qsizetype n = data.size();
    const qsizetype start = out.size();
    out.resize(start + (n + 2) / 3 * 4);
    char* o = out.data() + start;
    qsizetype i = 0;
    for (; i + 3 <= n; i += 3) {
        const std::uint32_t v =
            (std::uint32_t(in[i]) << 16) | (std::uint32_t(in[i + 1]) << 8) | in[i + 2];
        *o++ = alphabet[v >> 18];
        *o++ = alphabet[(v >> 12) & 63];
        *o++ = alphabet[(v >> 6) & 63];
        *o++ = alphabet[v & 63];
    }
    if (i < n) {
        std::uint32_t v = std::uint32_t(in[i]) << 16;
        if (i + 1 < n)
            v |= std::uint32_t(in[i + 1]) << 8;
        *o++ = alphabet[v >> 18];
        *o++ = alphabet[(v >> 12) & 63];
        *o++ = i + 1 < n ? alphabet[(v >> 6) & 63] : '=';
        *o++ = '=';
    }
}

std::optional<QByteArray> decodeBase64(QByteArrayView text) {
    const qsizetype n = text.size();
    if (n % 4 != 0)
        return std::nullopt;
    if (n == 0)
        return QByteArray();
    const auto* in = reinterpret_cast<const std::uint8_t*>(text.data());
    const int padding = (in[n - 1] == '=') + (in[n - 1] == '=' && in[n - 2] == '=');
    QByteArray out(n / 4 * 3 - padding, Qt::Uninitialized);
    auto* o = reinterpret_cast<std::uint8_t*>(out.data());
    const qsizetype full = padding ? n - 4 : n;
    for (qsizetype i = 0; i < full; i += 4) {
        const int a = decodeTable[in[i]], b = decodeTable[in[i + 1]], c = decodeTable[in[i + 2]],
                  d = decodeTable[in[i + 3]];
        if ((a | b | c | d) < 0)
            return std::nullopt;
        const std::uint32_t v = (std::uint32_t(a) << 18) | (std::uint32_t(b) << 12) |
                                (std::uint32_t(c) << 6) | std::uint32_t(d);
        *o++ = std::uint8_t(v >> 16);
        *o++ = std::uint8_t(v >> 8);
        *o++ = std::uint8_t(v);
    }
    if (padding) {
        const qsizetype i = n - 4;
        const int a = decodeTable[in[i]], b = decodeTable[in[i + 1]];
        const int c = padding == 2 ? 0 : decodeTable[in[i + 2]];
        if ((a | b | c) < 0)
            return std::nullopt;
        const std::uint32_t v =
            (std::uint32_t(a) << 18) | (std::uint32_t(b) << 12) | (std::uint32_t(c) << 6);
        *o++ = std::uint8_t(v >> 16);
        if (padding == 1)
            *o++ = std::uint8_t(v >> 8);
    }
    return out;
}

} // namespace tessaro
