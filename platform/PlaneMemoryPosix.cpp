#include "platform/PlaneMemory.h"

#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>

namespace pix {

namespace {

constexpr size_t kHugePage = size_t{2} << 20; // smaller planes gain nothing from huge pages

} // namespace

// Large planes are mapped with transparent huge pages where the system has
// them: one fault per 2 MiB instead of per 4 KiB.
TPlane AllocatePlane(uint64_t requested)
{
    if (requested > SIZE_MAX)
        return TPlane(nullptr, TPlaneDeleter{0});
    const auto bytes = static_cast<size_t>(requested);
    if (bytes < kHugePage)
        return TPlane(static_cast<uint8_t*>(std::calloc(bytes, 1)), TPlaneDeleter{bytes});
    void* plane = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (plane == MAP_FAILED)
        return TPlane(nullptr, TPlaneDeleter{bytes});
#ifdef MADV_HUGEPAGE
    madvise(plane, bytes, MADV_HUGEPAGE); // a hint; without it the plane works the same
#endif
    return TPlane(static_cast<uint8_t*>(plane), TPlaneDeleter{bytes});
}

void TPlaneDeleter::operator()(uint8_t* plane) const
{
    if (bytes < kHugePage)
        std::free(plane);
    else
        munmap(plane, bytes);
}

} // namespace pix
