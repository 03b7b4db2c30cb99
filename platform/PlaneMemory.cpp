#include "platform/PlaneMemory.h"

#include <cstdlib>

namespace pix {

TPlane AllocatePlane(uint64_t requested)
{
    if (requested > SIZE_MAX)
        return TPlane(nullptr, TPlaneDeleter{0});
    const auto bytes = static_cast<size_t>(requested);
    if (bytes < kSystemPlaneBytes)
        return TPlane(static_cast<uint8_t*>(std::calloc(bytes, 1)), TPlaneDeleter{bytes});
    return TPlane(AllocateSystemPlane(bytes), TPlaneDeleter{bytes});
}

void TPlaneDeleter::operator()(uint8_t* plane) const
{
    if (bytes < kSystemPlaneBytes)
        std::free(plane);
    else if (plane)
        ReleaseSystemPlane(plane, bytes);
}

} // namespace pix
