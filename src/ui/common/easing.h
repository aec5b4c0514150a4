#pragma once

#include <QEasingCurve>

namespace tessaro {

// The interface's standard timing curves: cubic Béziers through (0.42, 0)
// and (0.58, 1) on one side or the other.
QEasingCurve easeIn();
QEasingCurve easeOut();

} // namespace tessaro
