// libFuzzer target: any bytes through TPngImage::LoadFromStream. A load
// either succeeds, and then every row of every plane can be read, or fails
// with one of the reader's exceptions; anything else is a finding.

#include "png/ByteSource.h"
#include "png/PngErrors.h"
#include "png/PngImage.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace {

// libFuzzer reports any allocation above its memory limit as a crash, while
// the reader rightly allocates up to what the machine can give. Inputs whose
// headers declare more than 2^22 pixels are therefore passed over; the
// memory guard itself is covered by the unit tests.
bool DeclaresHugeImage(const uint8_t* data, size_t size)
{
    for (size_t at = 0; at + 12 <= size; ++at) {
        if (std::memcmp(data + at, "IHDR", 4) != 0)
            continue;
        const uint8_t* p = data + at + 4;
        const uint64_t width = uint32_t{p[0]} << 24 | p[1] << 16 | p[2] << 8 | p[3];
        const uint64_t height = uint32_t{p[4]} << 24 | p[5] << 16 | p[6] << 8 | p[7];
        if (width * height > (uint64_t{1} << 22))
            return true;
    }
    return false;
}

uint32_t TouchRows(const pix::TPngImage& image)
{
    const pix::TChunkIHDR& header = image.Header();
    uint32_t sum = 0;
    for (uint32_t y = 0; y < image.Height(); ++y) {
        const uint8_t* row = image.Scanline(y);
        for (uint32_t i = 0; i < header.BytesPerRow; ++i)
            sum += row[i];
        if (const uint8_t* alpha = image.AlphaScanline(y))
            for (uint32_t x = 0; x < image.Width(); ++x)
                sum += alpha[x];
        if (header.ExtraImageData())
            sum += image.ExtraScanline(y)[header.BytesPerRow - 1];
    }
    return sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (DeclaresHugeImage(data, size))
        return 0;
    pix::TMemorySource source({data, size});
    pix::TPngImage image;
    try {
        image.LoadFromStream(source);
    } catch (const std::runtime_error&) {
        return 0;
    }
    volatile uint32_t sink = TouchRows(image) + static_cast<uint32_t>(image.TransparencyMode());
    try {
        sink = sink + static_cast<uint32_t>(image.TransparentColor());
    } catch (const pix::EPngError&) {
        // A transparent entry beyond the palette: a defined failure.
    }
    return 0;
}
