#pragma once

#include <cstdint>
#include <vector>

namespace pix {

class TBitmap32;

// The Mitchell-Netravali cubic with B = C = 1/3.
double MitchellKernel(double x);

// One source sample's share in a target sample, in 16.16 fixed point.
struct TContributor {
    int Source = 0;
    int32_t Weight = 0;

    bool operator==(const TContributor&) const = default;
};

// The contributors of every target sample of a pass from sourceCount to
// targetCount samples (both at least 1).
std::vector<std::vector<TContributor>> MitchellContributors(int sourceCount, int targetCount);

// Resamples source to target's size, every byte (alpha too) alike: rows
// first, then columns. A source narrower or lower than 2 pixels, or an empty
// target, leaves target as it was.
void ResampleMitchell(const TBitmap32& source, TBitmap32& target);

} // namespace pix
