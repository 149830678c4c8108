// Advice for large scratch buffers that are filled once and read at random
// (codec dictionaries, decoded pictures).
#pragma once

#include <cstddef>

// Asks the system to back the buffer's whole 2 MiB stretches with huge pages
// when they are first touched: one page fault instead of 512 and far fewer
// address-translation misses. Buffers smaller than that are left alone, and
// so is everything where the system keeps no such pages.
void preferHugePages(void* data, std::size_t bytes);
