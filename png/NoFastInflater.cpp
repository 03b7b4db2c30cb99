#include "png/Inflater.h"

namespace pix {

// Builds without a faster engine stream every image through zlib.
std::unique_ptr<TInflater> MakeFastInflater()
{
    return nullptr;
}

} // namespace pix
