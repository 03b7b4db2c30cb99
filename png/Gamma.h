#pragma once

#include "png/PngImage.h"

#include <cstdint>

namespace pix {

void SetIdentity(TGammaTable& table);

// Rebuilds both tables from a gAMA value (100000 times the file gamma):
// entry i = round(((i / 255) ^ (1 / (gamma / 100000 * 2.2))) * 255) in
// extended precision, ties to even; inverse[table[i]] = i for i = 0 .. 255.
// A value of 0 leaves both tables as they are.
void BuildGammaTables(uint32_t gamma, TGammaTable& table, TGammaTable& inverse);

} // namespace pix
