#include "cloudsync.h"

#include "platform/cloudlog.h"
#include "platform/keyvaluestore.h"

#include <QTimer>

#include <algorithm>

namespace tessaro {

namespace {

bool fits(const QByteArray& bytes) {
    return bytes.size() <= cloudBudget;
}

} // namespace

BudgetedBlob encodeWithinBudget(const AppState& state) {
    QByteArray bytes = encodeState(state);
    if (fits(bytes))
        return BudgetedBlob{bytes, false, 0};

    AppState smaller = state;
    for (Drawing& drawing : smaller.drawings)
        drawing.thumbnailPNG.reset();
    bytes = encodeState(smaller);
    if (fits(bytes))
        return BudgetedBlob{bytes, true, 0};

    for (Quote& quote : smaller.quotes)
        quote.url.reset();
    bytes = encodeState(smaller);
    if (fits(bytes))
        return BudgetedBlob{bytes, true, 0};

    smaller.saved.clear();
    bytes = encodeState(smaller);
    if (fits(bytes))
        return BudgetedBlob{bytes, true, 0};

    // Keep as many of the newest quotes as fit.
    QList<Quote> quotes = smaller.quotes;
    std::stable_sort(quotes.begin(), quotes.end(),
                     [](const Quote& a, const Quote& b) { return a.at > b.at; });
    QByteArray best = bytes;
    qsizetype kept = 0;
    qsizetype low = 0;
    qsizetype high = quotes.size();
    while (low <= high) {
        const qsizetype mid = (low + high) / 2;
        smaller.quotes = quotes.first(mid);
        QByteArray candidate = encodeState(smaller);
        if (fits(candidate)) {
            best = std::move(candidate);
            kept = mid;
            low = mid + 1;
        } else {
            high = mid - 1;
        }
    }
    // When not even one quote fits, the document without quotes is the
    // smallest there is; writing the larger one would hold quotes that the
    // count reports as left out.
    if (kept == 0 && !quotes.isEmpty()) {
        smaller.quotes.clear();
        best = encodeState(smaller);
    }
    return BudgetedBlob{best, true, int(quotes.size() - kept)};
}

CloudSync::CloudSync(KeyValueStore* store, QObject* parent)
    : QObject(parent)
    , m_store(store)
    , m_pushTimer(new QTimer(this)) {
    m_pushTimer->setSingleShot(true);
    m_pushTimer->setInterval(defaultPushDelayMs);
    connect(m_pushTimer, &QTimer::timeout, this, &CloudSync::writePending);
}

void CloudSync::setPushDelay(int milliseconds) {
    m_pushTimer->setInterval(milliseconds);
}

void CloudSync::start(const std::function<AppState()>& current) {
    m_current = current;
    if (!m_started) {
        m_started = true;
        connect(m_store, &KeyValueStore::externalChange, this, &CloudSync::pull);
    }
    m_store->synchronize();
    pull();
    m_pushTimer->stop();
    m_pending.reset();
    write(current());
}

void CloudSync::push(const AppState& state, bool now) {
    if (now) {
        m_pushTimer->stop();
        m_pending.reset();
        write(state);
        return;
    }
    // A newer push replaces the pending one and restarts the delay.
    m_pending = state;
    m_pushTimer->start();
}

bool CloudSync::hasPendingPush() const {
    return m_pending.has_value();
}

void CloudSync::writePending() {
    if (!m_pending)
        return;
    const AppState state = std::move(*m_pending);
    m_pending.reset();
    write(state);
}

void CloudSync::pull() {
    auto deliver = [this](const QByteArray& bytes) -> std::optional<AppState> {
        auto decoded = decodeState(bytes);
        if (!decoded) {
            qCCritical(lcCloud, "cloud blob could not be decoded (%lld bytes) — ignoring it",
                       qlonglong(bytes.size()));
            return std::nullopt;
        }
        if (m_onRemote)
            m_onRemote(decoded->state);
        return std::move(decoded->state);
    };
    std::optional<AppState> remote;
    if (const auto bytes = m_store->data(blobKey))
        remote = deliver(*bytes);
    // Two devices wrote at once and the sync engine kept one blob; the other
    // is merged like any remote document, and only then removed.
    bool mergedCopies = false;
    for (const auto& copy : m_store->conflictCopies(blobKey)) {
        if (deliver(copy.value)) {
            m_store->removeConflictCopy(blobKey, copy.name);
            mergedCopies = true;
        }
    }
    if (m_current && !hasPendingPush() && (mergedCopies || (remote && lacksWhatWeHave(*remote))))
        push(m_current());
}

// A device pushes after its own changes and after merges that changed it. A
// blob written over this device's last push (another device wrote without
// having seen it) can leave this device with nothing to change and the blob
// without this device's latest items, for good. So after a pull, push when the
// other devices would gain something from what this device would write.
bool CloudSync::lacksWhatWeHave(const AppState& remote) const {
    const auto ours = decodeState(encodeWithinBudget(m_current()).bytes);
    if (!ours)
        return false;
    const Date now = m_clock();
    const AppState theirs = remote.sanitized(now);
    // Compared with their document merged with itself, so that a merge that
    // only reorders or expires never counts as something to give.
    return mergeStates(theirs, ours->state.sanitized(now), now) != mergeStates(theirs, theirs, now);
}

void CloudSync::write(const AppState& state) {
    const BudgetedBlob blob = encodeWithinBudget(state);
    if (blob.shrunk)
        qCInfo(lcCloud, "cloud blob over budget — shrunk to %lld bytes",
               qlonglong(blob.bytes.size()));
    if (blob.quotesLeftOut > 0)
        qCCritical(lcCloud, "cloud blob still over budget — %d oldest quotes left behind",
                   blob.quotesLeftOut);
    if (m_onTruncated)
        m_onTruncated(blob.quotesLeftOut);
    // The store says why in its own log; the next change writes again.
    if (!m_store->setData(blobKey, blob.bytes))
        qCCritical(lcCloud, "cloud blob of %lld bytes was refused by the store",
                   qlonglong(blob.bytes.size()));
    m_store->synchronize();
}

} // namespace tessaro
