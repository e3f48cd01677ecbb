#include "framework/core/qDecodeMemory.h"

#include <SDL2/SDL.h>

#include <cstdlib>
#include <mutex>

namespace zol {

namespace {

void* LimitedMalloc(size_t size) { return size > kDecodeAllocationLimit ? nullptr : std::malloc(size); }

void* LimitedCalloc(size_t count, size_t size) {
    if (size != 0 && count > kDecodeAllocationLimit / size) return nullptr;
    return std::calloc(count, size);
}

void* LimitedRealloc(void* block, size_t size) {
    return size > kDecodeAllocationLimit ? nullptr : std::realloc(block, size);
}

void PlainFree(void* block) { std::free(block); }

}  // namespace

void LimitDecodeAllocations() {
    static std::once_flag once;
    std::call_once(once, [] {
        SDL_SetMemoryFunctions(LimitedMalloc, LimitedCalloc, LimitedRealloc, PlainFree);
    });
}

}  // namespace zol
