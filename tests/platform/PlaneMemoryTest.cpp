#include "platform/AvailableMemory.h"
#include "platform/PlaneMemory.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace pix {
namespace {

// A size read from a file may exceed what a 32-bit size_t counts; cut to
// size_t it would ask for a small plane and let the rows run past its end.
TEST(PlaneMemory, SizeBeyondTheAddressSpaceIsRefused)
{
    if constexpr (sizeof(std::size_t) >= sizeof(uint64_t)) {
        GTEST_SKIP() << "a 64-bit address space counts every size";
    } else {
        const uint64_t beyond = uint64_t{SIZE_MAX} + 2;
        EXPECT_FALSE(MemoryCanHold(beyond));
        EXPECT_EQ(AllocatePlane(beyond), nullptr);
    }
}

TEST(PlaneMemory, PlanesStartZeroed)
{
    for (const uint64_t bytes : {uint64_t{1}, uint64_t{3} << 20}) {
        const TPlane plane = AllocatePlane(bytes);
        ASSERT_NE(plane, nullptr);
        EXPECT_EQ(plane[0], 0);
        EXPECT_EQ(plane[bytes - 1], 0);
    }
}

} // namespace
} // namespace pix
