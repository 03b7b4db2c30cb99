#include "resources/Pictures.h"

#include "png/ByteSource.h"
#include "png/PngImage.h"
#include "resources/EmbeddedFiles.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace pix {

namespace {

constexpr int kIconSizes[] = {16, 20, 24, 32, 40, 48, 64, 256};

std::span<const uint8_t> EmbeddedFile(const std::string& name)
{
    for (const TEmbeddedFile& file : EmbeddedFiles())
        if (name == file.Name)
            return file.Bytes;
    throw std::runtime_error("The program's picture \"" + name + "\" is missing.");
}

} // namespace

std::vector<TEmbeddedPicture> ButtonPictures()
{
    std::vector<TEmbeddedPicture> pictures;
    for (const char* name : {"Load2", "Load1", "Save2", "Save1"})
        pictures.push_back({name, EmbeddedFile(std::string(name) + ".png")});
    return pictures;
}

std::span<const uint8_t> PlaceholderPng()
{
    return EmbeddedFile("Placeholder.png");
}

std::vector<std::span<const uint8_t>> ProgramIconPngs()
{
    std::vector<std::span<const uint8_t>> icons;
    for (const int size : kIconSizes)
        icons.push_back(EmbeddedFile("ProgramIcon" + std::to_string(size) + ".png"));
    return icons;
}

TBitmap32 DecodePicture32(std::span<const uint8_t> png)
{
    TMemorySource source(png);
    TPngImage image;
    image.LoadFromStream(source);
    const TChunkIHDR& header = image.Header();
    const int bitCount = header.BitmapInfo.bmiHeader.biBitCount;
    TBitmap32 picture(static_cast<int>(image.Width()), static_cast<int>(image.Height()));
    for (uint32_t y = 0; y < image.Height(); ++y) {
        const uint8_t* colours = image.Scanline(y);
        const uint8_t* alphas = image.AlphaScanline(y);
        uint8_t* pixel = picture.Row(static_cast<int>(y));
        for (uint32_t x = 0; x < image.Width(); ++x, pixel += 4) {
            if (bitCount == 24) {
                pixel[kBlue] = colours[3 * x];
                pixel[kGreen] = colours[3 * x + 1];
                pixel[kRed] = colours[3 * x + 2];
            } else {
                const TRGBQuad& entry = header.BitmapInfo.bmiColors[IndexAt(colours, x, bitCount)];
                pixel[kBlue] = entry.rgbBlue;
                pixel[kGreen] = entry.rgbGreen;
                pixel[kRed] = entry.rgbRed;
            }
            pixel[kAlpha] = alphas ? alphas[x] : 255;
        }
    }
    return picture;
}

TBitmap32 PlaceholderPicture()
{
    return DecodePicture32(PlaceholderPng());
}

} // namespace pix
