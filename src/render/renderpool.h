#pragma once

#include <QThreadPool>

#include <cstddef>
#include <functional>

namespace tessaro {

// The threads that paint pieces of one picture side by side: the missing
// parts of a frame, the bands of a wallpaper. Painting has a pool of its own
// so that work that may block elsewhere (the cloud-folder lookup can hang on a
// dead network mount) never holds up a frame by holding a pool's threads.
QThreadPool& renderPool();

// Runs piece(0) … piece(count - 1), each once, on the render pool and on the
// calling thread, and returns when all of them have run. The calling thread
// takes pieces too, so the call finishes even when no pool thread comes free;
// once none are left to take it waits only for pieces a pool thread has
// already begun. Safe to call from a piece.
void runPieces(std::size_t count, const std::function<void(std::size_t)>& piece);

} // namespace tessaro
