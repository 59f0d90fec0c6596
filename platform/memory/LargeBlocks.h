#pragma once

#include <cstddef>

// Asks the system to back the block at `data` with large pages where it can, for a block
// that is about to be filled front to back: far fewer page faults as it is first written.
// Only whole large pages inside the block are affected; a hint that never fails.
void preferLargePages(void* data, std::size_t size);
