#pragma once

#include <QString>

namespace tessaro {

// The name of a running process as the kernel keeps it
// ("/proc/<pid>/comm"); empty when the process is gone or unknown.
QString processName(quint32 pid);

// The class of the window that has the desktop's focus, from
// "_NET_ACTIVE_WINDOW" and its "WM_CLASS"; empty where the desktop does not
// say (Wayland tells no program which window has the focus) and when the
// focus is on one of this program's own windows.
QString focusedWindowClass();

} // namespace tessaro
