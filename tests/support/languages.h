#pragma once

#include "l10n/languagemanager.h"
#include "support/memorypreferences.h"

namespace tessaro::test {

// A language manager over in-memory preferences, installed while it lives:
// texts and dates follow it, and views hear its changes.
struct InstalledLanguage {
    MemoryPreferences standard;
    MemoryPreferences group;
    LanguageManager manager{standard, group};
    LanguageManager::Installation installed{manager};
};

} // namespace tessaro::test
