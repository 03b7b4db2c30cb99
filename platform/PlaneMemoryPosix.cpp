#include "platform/PlaneMemory.h"

#include <sys/mman.h>

namespace pix {

// Mapped with transparent huge pages where the system has them: one fault
// per 2 MiB instead of per 4 KiB.
uint8_t* AllocateSystemPlane(size_t bytes)
{
    void* plane = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (plane == MAP_FAILED)
        return nullptr;
#ifdef MADV_HUGEPAGE
    madvise(plane, bytes, MADV_HUGEPAGE); // a hint; without it the plane works the same
#endif
    return static_cast<uint8_t*>(plane);
}

void ReleaseSystemPlane(uint8_t* plane, size_t bytes)
{
    munmap(plane, bytes);
}

} // namespace pix
