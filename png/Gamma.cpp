#include "png/Gamma.h"

#include <cmath>

namespace pix {

namespace {

// The double result is taken only this far from a rounding boundary: its
// error against the extended computation is below 1e-12 on the 0 .. 255
// scale, so the two can differ only inside the margin.
constexpr double kRoundingMargin = 1e-7;

// 255 * (i / 255) ^ exponent, rounded to nearest with ties to even, exactly
// as extended precision gives it. A file may hold any number of gAMA chunks,
// each rebuilding the tables, and the extended pow costs some 700 ns: the
// double pow, twenty times faster, decides all but the near-ties.
uint8_t GammaEntry(int i, double exponent, long double extendedExponent)
{
    const double power = std::pow(i / 255.0, exponent) * 255.0;
    const double fraction = power - std::floor(power);
    if (std::fabs(fraction - 0.5) > kRoundingMargin)
        return static_cast<uint8_t>(std::floor(power) + (fraction > 0.5 ? 1 : 0));
    // nearbyint rounds in the current mode, which is to nearest, ties to even.
    const long double base = static_cast<long double>(i) / 255.0L;
    return static_cast<uint8_t>(std::nearbyint(std::pow(base, extendedExponent) * 255.0L));
}

} // namespace

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
    table[0] = 0;
    inverse[0] = 0;
    for (int i = 1; i < 256; ++i) {
        table[i] = GammaEntry(i, static_cast<double>(exponent), exponent);
        inverse[table[i]] = static_cast<uint8_t>(i);
    }
}

} // namespace pix
