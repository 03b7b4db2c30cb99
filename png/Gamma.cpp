#include "png/Gamma.h"

#include <cmath>

namespace pix {

void SetIdentity(TGammaTable& table)
{
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<uint8_t>(i);
}

void BuildGammaTables(uint32_t gamma, TGammaTable& table, TGammaTable& inverse)
{
    if (gamma == 0)
        return;
    // long double is the 64-bit-mantissa extended type on x86; the stored
    // values are the ones this precision gives.
    const long double exponent = 1.0L / (static_cast<long double>(gamma) / 100000.0L * 2.2L);
    for (int i = 0; i < 256; ++i) {
        const long double base = static_cast<long double>(i) / 255.0L;
        const long double power = i == 0 ? 0.0L : std::pow(base, exponent);
        // nearbyint rounds in the current mode, which is to nearest, ties to even.
        table[i] = static_cast<uint8_t>(std::nearbyint(power * 255.0L));
        inverse[table[i]] = static_cast<uint8_t>(i);
    }
}

} // namespace pix
