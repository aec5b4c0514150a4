#pragma once

namespace tessaro {

// The phases of a bead dragged out of the tray. The tray itself never
// reports `began`: the editor starts its drag on the first `changed`.
enum class TrayDragPhase { began, changed, ended };

} // namespace tessaro
