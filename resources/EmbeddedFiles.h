#pragma once

#include <cstdint>
#include <span>

namespace pix {

// A file of resources/ carried inside the program, by its file name.
struct TEmbeddedFile {
    const char* Name;
    std::span<const uint8_t> Bytes;
};

// Every embedded file; generated from resources/ when the program is built.
std::span<const TEmbeddedFile> EmbeddedFiles();

} // namespace pix
