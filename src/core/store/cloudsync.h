#pragma once

#include "appstate.h"

#include <QObject>

#include <functional>

class QTimer;

namespace tessaro {

class KeyValueStore;

// The cloud blob is at most this long.
inline constexpr qsizetype cloudBudget = 921600;

struct BudgetedBlob {
    QByteArray bytes;
    bool shrunk = false;
    int quotesLeftOut = 0;
};

// The encoding to store in the cloud: the document as it is when it fits,
// else without thumbnails, then without links, then without the case, then
// with only as many of the newest quotes as fit.
BudgetedBlob encodeWithinBudget(const AppState& state);

// Keeps the whole document in the cloud key-value store under one key, so
// that every device converges on it: pushes after changes (debounced), pulls
// at start and whenever another device changed the blob.
class CloudSync : public QObject {
    Q_OBJECT

public:
    static inline const QString blobKey = QStringLiteral("ts.state.v1");
    static constexpr int defaultPushDelayMs = 800;

    explicit CloudSync(KeyValueStore* store, QObject* parent = nullptr);

    // Called with every remote document that decodes.
    void setOnRemote(std::function<void(const AppState&)> onRemote) {
        m_onRemote = std::move(onRemote);
    }
    // Called after every write with the number of quotes left out.
    void setOnTruncated(std::function<void(int)> onTruncated) {
        m_onTruncated = std::move(onTruncated);
    }
    // Bursts of pushes within this delay write once, the last document.
    void setPushDelay(int milliseconds);
    // The time that decides which tombstones have expired.
    void setClock(std::function<Date()> clock) { m_clock = std::move(clock); }

    // Pulls, then writes what `current` gives at once (the document as it
    // stands after the pull merged whatever the cloud held), dropping any
    // push that was pending. Later pulls consult `current` too.
    void start(const std::function<AppState()>& current);
    void push(const AppState& state, bool now = false);
    void pull();
    bool hasPendingPush() const;

private:
    void write(const AppState& state);
    bool lacksWhatWeHave(const AppState& remote) const;
    void writePending();

    KeyValueStore* m_store;
    QTimer* m_pushTimer;
    std::optional<AppState> m_pending;
    std::function<void(const AppState&)> m_onRemote;
    std::function<void(int)> m_onTruncated;
    std::function<AppState()> m_current;
    std::function<Date()> m_clock = currentDate;
    bool m_started = false;
};

} // namespace tessaro
