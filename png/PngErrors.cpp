#include "png/PngErrors.h"

namespace pix {

std::string ZLibErrorText(int resultCode)
{
    static constexpr const char* kResultTexts[] = {
        "incompatible version (-6)", "buffer error (-5)", "insufficient memory (-4)", "data error (-3)",
        "stream error (-2)",         "file error (-1)",   "(0)",                      "stream end (1)",
        "need dictionary (2)",
    };
    std::string text = "Could not decompress the image because it contains invalid compressed data.\r\n Description: ";
    if (resultCode >= -6 && resultCode <= 2)
        text += kResultTexts[resultCode + 6];
    else
        text.append("(").append(std::to_string(resultCode)).append(")");
    return text;
}

std::string OutOfMemoryText(uint32_t width, uint32_t height)
{
    return "Not enough memory to load this \"Portable Network Graphics\" image of " + std::to_string(width) + " x " +
           std::to_string(height) + " pixels.";
}

} // namespace pix
