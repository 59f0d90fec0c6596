#include "platform/memory/LargeBlocks.h"

#include <cstdint>
#include <sys/mman.h>

namespace {

// The size of a transparent huge page on x86-64 and most other Linux machines.
constexpr std::uintptr_t largePage = 2 * 1024 * 1024;

} // namespace

void preferLargePages(void* data, std::size_t size) {
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + largePage - 1) & ~(largePage - 1);
    const std::uintptr_t last = (begin + size) & ~(largePage - 1);
    if (data == nullptr || last <= first) {
        return;
    }
    madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}
