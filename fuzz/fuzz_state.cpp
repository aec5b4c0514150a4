// State files and cloud blobs: any bytes decode or are refused, and whatever
// decodes survives repair, encoding and a second reading unchanged.
#include "store/appstate.h"

#include <cstdint>
#include <cstdlib>

using namespace tessaro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr Date now = 800000000;
    const auto decoded = decodeState(QByteArrayView(data, qsizetype(size)));
    if (!decoded)
        return 0;
    const AppState clean = decoded->state.sanitized(now);
    if (!(clean.sanitized(now) == clean))
        std::abort();
    const QByteArray encoded = encodeState(clean);
    const auto again = decodeState(encoded);
    if (!again || again->dropped || !(again->state == clean) ||
        encodeState(again->state) != encoded)
        std::abort();
    const AppState merged = mergeStates(clean, again->state, now);
    if (merged.quotes.size() != clean.quotes.size() ||
        merged.drawings.size() != clean.drawings.size())
        std::abort();
    return 0;
}
