#pragma once

#include "drawings/drawing.h"
#include "model/pen.h"
#include "model/pensnapshot.h"
#include "quotes/quote.h"

namespace tessaro {

class Preferences;

// Making and writing the snapshot the widget program reads; the record and
// its reading live with the model, which the widget program links.
PenSnapshot makeSnapshot(const Pen& pen, const QList<Quote>& quotes, const Drawing* drawing);
void writeSnapshot(Preferences& group, const Pen& pen, const QList<Quote>& quotes,
                   const Drawing* drawing);
void writeSnapshot(Preferences& group, const PenSnapshot& snapshot);

} // namespace tessaro
