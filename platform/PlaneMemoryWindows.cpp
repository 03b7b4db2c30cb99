#include "platform/PlaneMemory.h"

#include <windows.h>

namespace pix {

uint8_t* AllocateSystemPlane(size_t bytes)
{
    // Committed pages read zero and are backed only once touched.
    return static_cast<uint8_t*>(VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
}

void ReleaseSystemPlane(uint8_t* plane, size_t)
{
    VirtualFree(plane, 0, MEM_RELEASE);
}

} // namespace pix
