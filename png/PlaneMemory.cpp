#include "png/PlaneMemory.h"

#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace pix {

#if defined(__linux__)

namespace {

constexpr size_t kHugePage = size_t{2} << 20; // smaller planes gain nothing from huge pages

} // namespace

TPlane AllocatePlane(size_t bytes)
{
    if (bytes < kHugePage)
        return TPlane(static_cast<uint8_t*>(std::calloc(bytes, 1)), TPlaneDeleter{bytes});
    void* plane = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (plane == MAP_FAILED)
        return TPlane(nullptr, TPlaneDeleter{bytes});
    madvise(plane, bytes, MADV_HUGEPAGE); // a hint; without it the plane works the same
    return TPlane(static_cast<uint8_t*>(plane), TPlaneDeleter{bytes});
}

void TPlaneDeleter::operator()(uint8_t* plane) const
{
    if (bytes < kHugePage)
        std::free(plane);
    else
        munmap(plane, bytes);
}

#else

TPlane AllocatePlane(size_t bytes)
{
    return TPlane(static_cast<uint8_t*>(std::calloc(bytes, 1)), TPlaneDeleter{bytes});
}

void TPlaneDeleter::operator()(uint8_t* plane) const
{
    std::free(plane);
}

#endif

} // namespace pix
