// What other programs hand a running Tessaro: keep links from any program
// that opens a URL, and request lines on the local socket. Any bytes are
// read or refused; a link read is kept text that is never blank, and a
// request line read says again what it said.
#include "quotes/keeplink.h"
#include "shell/launch.h"

#include <QUrl>

#include <cstdint>
#include <cstdlib>

using namespace tessaro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, qsizetype(size));
    const QUrl link = QUrl::fromEncoded(bytes.toByteArray(), QUrl::TolerantMode);
    if (const std::optional<KeepRequest> request = parseKeepLink(link)) {
        if (request->text.trimmed().isEmpty())
            std::abort();
        if (request->url && request->url->trimmed() != *request->url)
            std::abort();
    }
    if (const std::optional<LaunchRequest> launch = decodeLaunch(bytes)) {
        const std::optional<LaunchRequest> again = decodeLaunch(encodeLaunch(*launch));
        if (!again || !(*again == *launch))
            std::abort();
    }
    return 0;
}
