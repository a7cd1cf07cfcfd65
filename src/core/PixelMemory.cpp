// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/PixelMemory.h"

#include <cstdlib> // defines __GLIBC__ on glibc systems

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void ConfigurePixelMemory() {
#if defined(__GLIBC__)
    // Large blocks come from the heap (not a private mapping per image), and up to 512 MiB of
    // freed heap stays mapped for the next image.
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 512 << 20);
    // One heap for every thread: the heaps of other threads hold at most 64 MiB, so a picture
    // decoded on a worker would otherwise get fresh pages of its own, and return them, each time.
    mallopt(M_ARENA_MAX, 1);
#endif
}
