// The gamma tables are built through double precision with extended
// precision only near rounding boundaries; they must equal, byte for byte,
// the tables computed in extended precision throughout.

#include "png/Gamma.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace pix {
namespace {

TGammaTable ExtendedTable(uint32_t gamma)
{
    const long double exponent = 1.0L / (static_cast<long double>(gamma) / 100000.0L * 2.2L);
    TGammaTable table{};
    for (int i = 1; i < 256; ++i)
        table[i] = static_cast<uint8_t>(std::nearbyint(std::pow(i / 255.0L, exponent) * 255.0L));
    return table;
}

TEST(GammaSweep, EqualsTheExtendedComputationForEveryValueTried)
{
    std::vector<uint32_t> values;
    for (uint32_t gamma = 1; gamma <= 2000; ++gamma)
        values.push_back(gamma);
    for (uint32_t gamma = 44000; gamma <= 47000; gamma += 3)
        values.push_back(gamma); // around the identity
    std::mt19937 random(7);
    for (int i = 0; i < 3000; ++i)
        values.push_back(static_cast<uint32_t>(random() % 1000000) + 1);
    values.push_back(0xFFFFFFFF);
    // Entry 1 lies 1.2e-11 from a rounding tie, the nearest of any gamma
    // value: the extended computation decides it.
    values.push_back(128330585);

    for (const uint32_t gamma : values) {
        TGammaTable table{}, inverse{};
        BuildGammaTables(gamma, table, inverse);
        ASSERT_EQ(table, ExtendedTable(gamma)) << "gamma " << gamma;
        for (int i = 0; i < 256; ++i)
            ASSERT_LE(table[inverse[table[i]]], table[i]) << "gamma " << gamma;
    }
}

} // namespace
} // namespace pix
