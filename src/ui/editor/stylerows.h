#pragma once

#include "store/penstore.h"

#include <QWidget>

#include <chrono>
#include <functional>

class QLabel;

namespace tessaro {

class ChipRow;

// The pen's other choices, one row each: its type, its ink (only for types
// that take one), its barrel and its charm. A click on a chip calls the
// store; the rows follow the store's pen. Shortly after the rows are first
// shown, the type row scrolls its current chip into view.
class StyleRows final : public QWidget {
    Q_OBJECT

public:
    // Runs `step` once after `delay` unless `context` is gone; tests hand in
    // one that runs it when they say.
    using Scheduler = std::function<void(std::chrono::milliseconds delay, QObject* context,
                                         std::function<void()> step)>;

    static constexpr std::chrono::milliseconds typeScrollDelay{350};

    explicit StyleRows(PenStore& store, QWidget* parent = nullptr);

    void setScheduler(Scheduler scheduler) { m_scheduler = std::move(scheduler); }
    // Reads every text again in the chosen language.
    void retranslate();

    ChipRow* typeRow() const { return m_types; }
    ChipRow* inkRow() const { return m_inks; }
    ChipRow* barrelRow() const { return m_barrels; }
    ChipRow* charmRow() const { return m_charms; }
    // The ink row with its header, hidden for types without ink.
    QWidget* inkSection() const { return m_inkSection; }

Q_SIGNALS:
    // After each charm choice, also of the charm the pen already wears.
    void charmPicked();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* section(const QString& headerKey, ChipRow* row);
    void showPen();
    void fillInks(const QStringList& inks);
    void applyLook();

    PenStore& m_store;
    Scheduler m_scheduler;
    ChipRow* m_types;
    ChipRow* m_inks;
    ChipRow* m_barrels;
    ChipRow* m_charms;
    QWidget* m_inkSection = nullptr;
    QList<std::pair<QLabel*, QString>> m_headers;
    QStringList m_offeredInks;
    bool m_shown = false;
};

} // namespace tessaro
