#pragma once

#include "store/penstore.h"
#include "support/memorykeyvaluestore.h"
#include "support/memorypreferences.h"

#include <QTemporaryDir>

namespace tessaro::test {

// A live store for view tests: a temporary data folder, an in-memory cloud
// and a clock that moves on a second at each reading.
struct ScratchStore {
    QTemporaryDir folder;
    MemoryKeyValueStore cloud;
    MemoryPreferences group;
    Date time = 700000000;
    PenStore store{environment()};

    PenStore::Environment environment() {
        PenStore::Environment environment;
        environment.dataFolder = folder.path();
        environment.keyValueStore = &cloud;
        environment.groupPreferences = &group;
        environment.clock = [this] { return time += 1; };
        environment.durability = Durability::unflushed;
        environment.pushDelayMs = 60000;
        return environment;
    }
};

} // namespace tessaro::test
