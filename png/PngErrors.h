#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace pix {

// One class per kind of failure, each straight from std::runtime_error: they
// share no base of their own, the class tells the kind and the message is
// shown to the user as it stands.
class EPNGInvalidFileHeader : public std::runtime_error { using runtime_error::runtime_error; };
class EPngUnexpectedEnd : public std::runtime_error { using runtime_error::runtime_error; };
class EPNGIHDRNotFirst : public std::runtime_error { using runtime_error::runtime_error; };
class EPNGUnknownCriticalChunk : public std::runtime_error { using runtime_error::runtime_error; };
class EPngInvalidCRC : public std::runtime_error { using runtime_error::runtime_error; };
class EPngInvalidIHDR : public std::runtime_error { using runtime_error::runtime_error; };
class EPNGSizeExceeds : public std::runtime_error { using runtime_error::runtime_error; };
class EPNGUnknownCompression : public std::runtime_error { using runtime_error::runtime_error; };
class EPNGUnknownInterlace : public std::runtime_error { using runtime_error::runtime_error; };
class EPNGUnknownColorType : public std::runtime_error { using runtime_error::runtime_error; };
class EPNGInvalidBitDepth : public std::runtime_error { using runtime_error::runtime_error; };
class EPNGInvalidPalette : public std::runtime_error { using runtime_error::runtime_error; };
class EPNGNoImageData : public std::runtime_error { using runtime_error::runtime_error; };
class EPNGHeaderNotPresent : public std::runtime_error { using runtime_error::runtime_error; };
class EPNGMissingMultipleIDAT : public std::runtime_error { using runtime_error::runtime_error; };
class EPNGZLIBError : public std::runtime_error { using runtime_error::runtime_error; };
class EPngError : public std::runtime_error { using runtime_error::runtime_error; };
class EPNGOutOfMemory : public std::runtime_error { using runtime_error::runtime_error; };

namespace PngText {
inline constexpr char InvalidFileHeader[] =
    "The file being read is not a valid \"Portable Network Graphics\" image because it contains an invalid "
    "header. This file may be corrupted, try obtaining it again";
inline constexpr char UnexpectedEnd[] =
    "This \"Portable Network Graphics\" image is invalid because the decoder found an unexpected end of the file.";
inline constexpr char IHDRNotFirst[] =
    "This \"Portable Network Graphics\" image is not supported or it might be invalid.\r\n"
    "(IHDR chunk is not the first)";
inline constexpr char UnknownCriticalChunk[] =
    "This \"Portable Network Graphics\" image contains an unknown critical part which could not be decoded.";
inline constexpr char InvalidCRC[] =
    "This \"Portable Network Graphics\" image is not valid because it contains invalid pieces of data (crc error)";
inline constexpr char InvalidIHDR[] =
    "The \"Portable Network Graphics\" image could not be loaded because one of its main piece of data (ihdr) "
    "might be corrupted";
inline constexpr char SizeExceeds[] =
    "This \"Portable Network Graphics\" image is not supported because either its width or height exceeds the "
    "maximum size of 65535 pixels.";
inline constexpr char UnknownCompression[] =
    "This \"Portable Network Graphics\" image is encoded with an unknown compression scheme which could not be "
    "decoded.";
inline constexpr char UnknownInterlace[] =
    "This \"Portable Network Graphics\" image uses an unknown interlace scheme which could not be decoded.";
inline constexpr char UnknownColorType[] =
    "This \"Portable Network Graphics\" image uses an unknown color type which could not be decoded.";
inline constexpr char InvalidBitDepth[] =
    "The \"Portable Network Graphics\" image could not be loaded because it uses an invalid image bit depth.";
inline constexpr char InvalidPalette[] = "The \"Portable Network Graphics\" image contains an invalid palette.";
inline constexpr char NoImageData[] = "This \"Portable Network Graphics\" image contains no data.";
inline constexpr char HeaderNotPresent[] =
    "This operation is not valid because the current image contains no valid header.";
inline constexpr char MissingMultipleIDAT[] =
    "This \"Portable Network Graphics\" image is invalid because it has missing image parts.";
inline constexpr char UnknownPaletteEntry[] = "There is no such palette entry.";
} // namespace PngText

// Every failure of the reader leaves through here.
template <class E>
[[noreturn]] void RaiseError(const std::string& text)
{
    throw E(text);
}

// "Could not decompress ..." followed by the text for a zlib result code.
std::string ZLibErrorText(int resultCode);

// Names the size, so that the user sees why a valid file cannot be shown.
std::string OutOfMemoryText(uint32_t width, uint32_t height);

} // namespace pix
