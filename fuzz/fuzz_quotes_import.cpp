// Import files: any bytes are refused or read, and every quote read is clean.
#include "quotes/quotecollection.h"
#include "quotes/quotefile.h"
#include "quotes/quoteimport.h"

#include <cstdint>
#include <cstdlib>

using namespace tessaro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto text =
        decodeImportText(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!text)
        return 0;
    const QList<Quote> quotes = parseQuotesImport(*text, 800000000);
    if (quotes.size() > maxQuotes || normalizeQuotes(quotes) != quotes)
        std::abort();
    for (const Quote& quote : quotes)
        if (quote.text.isEmpty() || quote.id.isEmpty())
            std::abort();
    return 0;
}
