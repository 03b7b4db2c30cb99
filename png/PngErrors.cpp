#include "png/PngErrors.h"

#include <cstddef>
#include <iterator>

namespace pix {

namespace {

struct TFailureText {
    TPngFailure kind;
    const char* text;
};

// Where a text holds a line break, it is CR LF, on every platform.
constexpr TFailureText kFailureTexts[] = {
    {TPngFailure::InvalidFileHeader,
     "The file being read is not a valid \"Portable Network Graphics\" image because it contains an invalid "
     "header. This file may be corrupted, try obtaining it again"},
    {TPngFailure::UnexpectedEnd,
     "This \"Portable Network Graphics\" image is invalid because the decoder found an unexpected end of the file."},
    {TPngFailure::IHDRNotFirst,
     "This \"Portable Network Graphics\" image is not supported or it might be invalid.\r\n"
     "(IHDR chunk is not the first)"},
    {TPngFailure::UnknownCriticalChunk,
     "This \"Portable Network Graphics\" image contains an unknown critical part which could not be decoded."},
    {TPngFailure::InvalidCRC,
     "This \"Portable Network Graphics\" image is not valid because it contains invalid pieces of data (crc error)"},
    {TPngFailure::InvalidIHDR,
     "The \"Portable Network Graphics\" image could not be loaded because one of its main piece of data (ihdr) "
     "might be corrupted"},
    {TPngFailure::SizeExceeds,
     "This \"Portable Network Graphics\" image is not supported because either its width or height exceeds the "
     "maximum size of 65535 pixels."},
    {TPngFailure::UnknownCompression,
     "This \"Portable Network Graphics\" image is encoded with an unknown compression scheme which could not be "
     "decoded."},
    {TPngFailure::UnknownInterlace,
     "This \"Portable Network Graphics\" image uses an unknown interlace scheme which could not be decoded."},
    {TPngFailure::UnknownColorType,
     "This \"Portable Network Graphics\" image uses an unknown color type which could not be decoded."},
    {TPngFailure::InvalidBitDepth,
     "The \"Portable Network Graphics\" image could not be loaded because it uses an invalid image bit depth."},
    {TPngFailure::InvalidPalette, "The \"Portable Network Graphics\" image contains an invalid palette."},
    {TPngFailure::NoImageData, "This \"Portable Network Graphics\" image contains no data."},
    {TPngFailure::HeaderNotPresent,
     "This operation is not valid because the current image contains no valid header."},
    {TPngFailure::MissingMultipleIDAT,
     "This \"Portable Network Graphics\" image is invalid because it has missing image parts."},
    {TPngFailure::UnknownPaletteEntry, "There is no such palette entry."},
    {TPngFailure::ZLIBError,
     "Could not decompress the image because it contains invalid compressed data.\r\n Description: "},
    {TPngFailure::OutOfMemory, "Not enough memory to load this \"Portable Network Graphics\" image of "},
};

constexpr bool EveryKindInItsPlace()
{
    for (std::size_t i = 0; i < std::size(kFailureTexts); ++i)
        if (static_cast<std::size_t>(kFailureTexts[i].kind) != i)
            return false;
    return std::size(kFailureTexts) == static_cast<std::size_t>(TPngFailure::OutOfMemory) + 1;
}
static_assert(EveryKindInItsPlace(), "one text for every kind, in the order of TPngFailure");

} // namespace

std::string_view PngFailureText(TPngFailure kind)
{
    return kFailureTexts[static_cast<std::size_t>(kind)].text;
}

std::string ZLibErrorText(int resultCode)
{
    static constexpr const char* kResultTexts[] = {
        "incompatible version (-6)", "buffer error (-5)", "insufficient memory (-4)", "data error (-3)",
        "stream error (-2)",         "file error (-1)",   "(0)",                      "stream end (1)",
        "need dictionary (2)",
    };
    std::string text(PngFailureText(TPngFailure::ZLIBError));
    if (resultCode >= -6 && resultCode <= 2)
        text += kResultTexts[resultCode + 6];
    else
        text.append("(").append(std::to_string(resultCode)).append(")");
    return text;
}

std::string OutOfMemoryText(uint32_t width, uint32_t height)
{
    return std::string(PngFailureText(TPngFailure::OutOfMemory)) + std::to_string(width) + " x "
        + std::to_string(height) + " pixels.";
}

} // namespace pix
