#pragma once

#include "tests/support/PngWriter.h"

namespace pix::testing {

// White, black, white over black, black, red: the 16-byte table.
inline TBytes ExamplePng()
{
    return EncodePng(TSampleImage{3, 2, 8, 2, {255, 255, 255, 0, 0, 0, 255, 255, 255, 0, 0, 0, 0, 0, 0, 255, 0, 0}},
                     false);
}
inline constexpr const char* kExampleCsv = "3;1;3;\r\n1;1;2;\r\n";

} // namespace pix::testing
