#include "platform/PlaneMemory.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>

namespace pix {

namespace {

constexpr size_t kSystemPlane = size_t{1} << 20; // below this the heap's own blocks are as good

} // namespace

TPlane AllocatePlane(uint64_t requested)
{
    if (requested > SIZE_MAX)
        return TPlane(nullptr, TPlaneDeleter{0});
    const auto bytes = static_cast<size_t>(requested);
    if (bytes < kSystemPlane)
        return TPlane(static_cast<uint8_t*>(std::calloc(bytes, 1)), TPlaneDeleter{bytes});
    // Committed pages read zero and are backed only once touched.
    void* plane = VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    return TPlane(static_cast<uint8_t*>(plane), TPlaneDeleter{bytes});
}

void TPlaneDeleter::operator()(uint8_t* plane) const
{
    if (bytes < kSystemPlane)
        std::free(plane);
    else if (plane)
        VirtualFree(plane, 0, MEM_RELEASE);
}

} // namespace pix
