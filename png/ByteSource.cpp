#include "png/ByteSource.h"

#include <algorithm>
#include <cstring>

namespace pix {

size_t TMemorySource::Read(void* buffer, size_t count)
{
    if (fPosition >= fBytes.size())
        return 0;
    const size_t n = static_cast<size_t>(std::min<uint64_t>(count, fBytes.size() - fPosition));
    std::memcpy(buffer, fBytes.data() + fPosition, n);
    fPosition += n;
    return n;
}

size_t TFileSource::Read(void* buffer, size_t count)
{
    if (fPosition >= Size())
        return 0;
    const size_t n = fFile.Read(buffer, count);
    fPosition += n;
    return n;
}

void TFileSource::Seek(uint64_t position)
{
    // Beyond the end nothing can be read, so the file need not move there.
    if (fFile.Seek(std::min(position, Size())))
        fPosition = position;
}

} // namespace pix
