#pragma once

#include "platform/motionpreference.h"
#include "store/penstore.h"
#include "support/memorykeyvaluestore.h"
#include "support/memorypreferences.h"
#include "ui/editor/peneditor.h"

#include <QPointer>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>
#include <vector>

namespace tessaro::test {

// A clock that moves only when told, and the delayed steps due on it.
struct ManualTime {
    double now = 1000;
    struct Step {
        double due;
        QPointer<QObject> context;
        std::function<void()> run;
    };
    std::vector<Step> steps;

    EditorTime time() {
        return {[this] { return now; },
                [this](int ms, QObject* context, std::function<void()> run) {
                    steps.push_back({now + ms / 1000.0, context, std::move(run)});
                }};
    }

    // Moves on by `seconds`, running each step when its time comes.
    void advance(double seconds) {
        const double until = now + seconds;
        for (;;) {
            const auto next =
                std::min_element(steps.begin(), steps.end(),
                                 [](const Step& a, const Step& b) { return a.due < b.due; });
            if (next == steps.end() || next->due > until)
                break;
            Step step = std::move(*next);
            steps.erase(next);
            now = step.due;
            if (step.context)
                step.run();
        }
        now = until;
    }
};

class FakeMotion final : public MotionPreference {
public:
    bool reduce = false;
    bool reduceMotion() const override { return reduce; }
    void set(bool value) {
        reduce = value;
        Q_EMIT changed();
    }
};

// A store over a temporary folder and the editor over it.
struct EditorDevice {
    QTemporaryDir folder;
    MemoryKeyValueStore cloud;
    MemoryPreferences group;
    ManualTime clock;
    FakeMotion motion;
    std::unique_ptr<PenStore> store;
    std::unique_ptr<PenEditor> editor;

    EditorDevice() {
        PenStore::Environment environment;
        environment.dataFolder = folder.path();
        environment.keyValueStore = &cloud;
        environment.groupPreferences = &group;
        environment.durability = Durability::unflushed;
        store = std::make_unique<PenStore>(environment);
        editor = std::make_unique<PenEditor>(*store, &motion, clock.time());
    }

    void setBeads(const QStringList& beads) {
        Pen pen = store->pen();
        pen.beads = beads;
        store->setPen(pen);
    }
    QStringList beads() const { return store->pen().beads; }
};

} // namespace tessaro::test
