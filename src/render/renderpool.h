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

// Runs `paint`, which paints one large picture, and returns once it is done.
// Qt 6.4's raster engine splits each large fill of a painter on any other
// thread into strips on the global pool and waits for them, which costs more
// in hand-overs than it wins on few cores; on one of that pool's own threads
// it fills whole. So there `paint` runs on a free global pool thread while
// the caller waits, or on the caller when none is free. Sprite caches are the
// painting thread's own.
void paintWhole(const std::function<void()>& paint);

} // namespace tessaro
