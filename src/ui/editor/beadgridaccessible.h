#pragma once

class QAccessibleInterface;

namespace tessaro {

class BeadGrid;

// Makes screen readers see a bead grid as a group of buttons, one per cell.
void installBeadGridAccessible();

// The screen reader's view of cell `index`; the grid registers it and
// deletes it when its cells change.
QAccessibleInterface* newBeadCellAccessible(BeadGrid* grid, int index);

} // namespace tessaro
