#pragma once

#include "platform/motionpreference.h"
#include "store/penstore.h"
#include "support/memorykeyvaluestore.h"
#include "support/memorypreferences.h"
#include "ui/editor/peneditor.h"

#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace tessaro::test {

// A clock that moves only when told. Delayed steps are noted by when they
// are due and never run: the tests look at the state each edit leaves.
struct ManualTime {
    double now = 1000;
    std::vector<double> steps;

    EditorTime time() {
        return {[this] { return now; },
                [this](int ms, QObject*, std::function<void()>) {
                    steps.push_back(now + ms / 1000.0);
                }};
    }
};

class FakeMotion final : public MotionPreference {
public:
    bool reduce = false;
    bool reduceMotion() const override { return reduce; }
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
