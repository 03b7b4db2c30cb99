#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pix {

// The reader's kinds of failure. Each is named by one exception class below
// and has one text in the table of PngErrors.cpp.
enum class TPngFailure {
    InvalidFileHeader,
    UnexpectedEnd,
    IHDRNotFirst,
    UnknownCriticalChunk,
    InvalidCRC,
    InvalidIHDR,
    SizeExceeds,
    UnknownCompression,
    UnknownInterlace,
    UnknownColorType,
    InvalidBitDepth,
    InvalidPalette,
    NoImageData,
    HeaderNotPresent,
    MissingMultipleIDAT,
    UnknownPaletteEntry,
    ZLIBError,
    OutOfMemory,
};

// One class per kind of failure, each straight from std::runtime_error: they
// share no base of their own, the class tells the kind and the message is
// shown to the user as it stands.
struct EPNGInvalidFileHeader : std::runtime_error {
    static constexpr auto kKind = TPngFailure::InvalidFileHeader;
    using runtime_error::runtime_error;
};
struct EPngUnexpectedEnd : std::runtime_error {
    static constexpr auto kKind = TPngFailure::UnexpectedEnd;
    using runtime_error::runtime_error;
};
struct EPNGIHDRNotFirst : std::runtime_error {
    static constexpr auto kKind = TPngFailure::IHDRNotFirst;
    using runtime_error::runtime_error;
};
struct EPNGUnknownCriticalChunk : std::runtime_error {
    static constexpr auto kKind = TPngFailure::UnknownCriticalChunk;
    using runtime_error::runtime_error;
};
struct EPngInvalidCRC : std::runtime_error {
    static constexpr auto kKind = TPngFailure::InvalidCRC;
    using runtime_error::runtime_error;
};
struct EPngInvalidIHDR : std::runtime_error {
    static constexpr auto kKind = TPngFailure::InvalidIHDR;
    using runtime_error::runtime_error;
};
struct EPNGSizeExceeds : std::runtime_error {
    static constexpr auto kKind = TPngFailure::SizeExceeds;
    using runtime_error::runtime_error;
};
struct EPNGUnknownCompression : std::runtime_error {
    static constexpr auto kKind = TPngFailure::UnknownCompression;
    using runtime_error::runtime_error;
};
struct EPNGUnknownInterlace : std::runtime_error {
    static constexpr auto kKind = TPngFailure::UnknownInterlace;
    using runtime_error::runtime_error;
};
struct EPNGUnknownColorType : std::runtime_error {
    static constexpr auto kKind = TPngFailure::UnknownColorType;
    using runtime_error::runtime_error;
};
struct EPNGInvalidBitDepth : std::runtime_error {
    static constexpr auto kKind = TPngFailure::InvalidBitDepth;
    using runtime_error::runtime_error;
};
struct EPNGInvalidPalette : std::runtime_error {
    static constexpr auto kKind = TPngFailure::InvalidPalette;
    using runtime_error::runtime_error;
};
struct EPNGNoImageData : std::runtime_error {
    static constexpr auto kKind = TPngFailure::NoImageData;
    using runtime_error::runtime_error;
};
struct EPNGHeaderNotPresent : std::runtime_error {
    static constexpr auto kKind = TPngFailure::HeaderNotPresent;
    using runtime_error::runtime_error;
};
struct EPNGMissingMultipleIDAT : std::runtime_error {
    static constexpr auto kKind = TPngFailure::MissingMultipleIDAT;
    using runtime_error::runtime_error;
};
struct EPngError : std::runtime_error {
    static constexpr auto kKind = TPngFailure::UnknownPaletteEntry;
    using runtime_error::runtime_error;
};
struct EPNGZLIBError : std::runtime_error {
    static constexpr auto kKind = TPngFailure::ZLIBError;
    using runtime_error::runtime_error;
};
struct EPNGOutOfMemory : std::runtime_error {
    static constexpr auto kKind = TPngFailure::OutOfMemory;
    using runtime_error::runtime_error;
};

// The text of a kind of failure. Those of ZLIBError and OutOfMemory are the
// start that ZLibErrorText and OutOfMemoryText complete.
std::string_view PngFailureText(TPngFailure kind);

// Every failure of the reader leaves through here: with the text of its kind...
template <class E>
[[noreturn]] void RaiseError()
{
    throw E(std::string(PngFailureText(E::kKind)));
}

// ... or with the text completed for this one failure.
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
