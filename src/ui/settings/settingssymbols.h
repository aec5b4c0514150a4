#pragma once

#include <QIcon>

namespace tessaro {

// The settings' symbols: from the desktop's icon theme where it has them,
// else drawn here, in the colour of the text beside them.
enum class SettingsSymbol { cloud, cloudOff, envelope, star, globe, chevrons, folder };

QIcon settingsSymbol(SettingsSymbol symbol);

} // namespace tessaro
