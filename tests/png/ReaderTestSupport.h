#pragma once

#include "png/PngImage.h"
#include "tests/support/PngWriter.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <typeindex>

namespace pix::testing {

inline constexpr char kZlibPrefix[] =
    "Could not decompress the image because it contains invalid compressed data.\r\n Description: ";

// The message of each failure kind whose text is fixed, spelled out apart
// from the reader's own copy so that a changed word fails the tests.
const std::string& ExpectedMessage(std::type_index kind);

// Loads a whole file from memory.
void LoadBytes(TPngImage& image, const TBytes& file);

// What a load ends with: "" on success, else the exception's class and
// message, for comparing with one EXPECT_EQ.
struct TLoadOutcome {
    std::optional<std::type_index> kind;
    std::string message;
};
TLoadOutcome LoadOutcome(TPngImage& image, const TBytes& file);
TLoadOutcome LoadOutcome(const TBytes& file);

// A file that must fail to load, as the parameter of a test: its name in the
// test list, how it is made, and the exception class and message it must
// end with; without a message, the kind's fixed one.
struct TFailure {
    const char* name;
    std::function<TBytes()> file;
    std::type_index kind;
    std::string message = {};
};
void ExpectFailure(const TFailure& c);
// The case's name as the name of its test.
std::string FailureName(const ::testing::TestParamInfo<TFailure>& info);
void PrintTo(const TFailure& c, std::ostream* os);

// Random samples, their image data compressed (rows in file order, no
// interlace), and the start of a file: signature and header.
struct TSampleFile {
    TSampleFile(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colorType, uint32_t seed);
    TPngWriter Start() const;

    TSampleImage samples;
    TBytes stream;
};

// The file with one byte replaced.
TBytes WithByte(TBytes file, size_t offset, uint8_t value);

// Checks every pixel of a decoded image against what the row converters
// must store for these file samples, and that all alpha and extra bytes
// are where they belong. Returns "" or the first difference.
std::string CompareWithSamples(const TPngImage& image, const TSampleImage& samples);

// The raw samples as Debian's libpng decodes them (no transformations but
// unpacking and de-interlacing); nullopt when libpng rejects the file.
std::optional<TSampleImage> DecodeWithLibpng(const TBytes& file);

TBytes ReadFileBytes(const std::string& path);

} // namespace pix::testing
