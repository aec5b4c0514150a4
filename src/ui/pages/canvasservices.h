#pragma once

namespace tessaro {

class FileDialogs;
class PageFiles;
class ShareMenu;

// What the canvas sheet needs from the desktop and the disk, handed in so
// that tests can script each of them.
struct CanvasServices {
    FileDialogs& fileDialogs;
    ShareMenu& shareMenu;
    PageFiles& pageFiles;
};

} // namespace tessaro
