#include "platform/AvailableMemory.h"

#include <emscripten/heap.h>
#include <malloc.h>

namespace pix {

// The heap's room to grow up to the module's largest memory, and what is
// free inside it. The browser may refuse to grow before that; the
// allocation itself then fails and says so.
std::optional<uint64_t> AvailableMemoryBytes()
{
    const uint64_t growth = emscripten_get_heap_max() - emscripten_get_heap_size();
    return growth + mallinfo().fordblks;
}

} // namespace pix
