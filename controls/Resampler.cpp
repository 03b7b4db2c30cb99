#include "controls/Resampler.h"

#include "graphics/Bitmap32.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace pix {

namespace {

constexpr double kSupport = 2.0;
constexpr double kOne = 65536.0; // 1.0 in 16.16 fixed point
// 255.0 in 16.16 plus one: any sum from here on is white at the least.
constexpr int64_t kSaturated = 16711681;

int MirroredIndex(int index, int count)
{
    if (index < 0)
        index = -index;
    else if (index >= count)
        index = 2 * count - 1 - index;
    // A reduction to one or two samples reaches further than one mirroring
    // brings back; the clamp keeps such a read inside the row.
    return std::clamp(index, 0, count - 1);
}

uint8_t FixedToByte(int64_t sum)
{
    if (sum < 0)
        return 0;
    if (sum >= kSaturated)
        return 255;
    return static_cast<uint8_t>(sum >> 16);
}

// One pass over `lines` lines of samples: sample s of line l of the source is
// at source[l * sourceLineStep + s * sourceStep] (four bytes per sample), and
// likewise for the target.
struct TPassLayout {
    std::ptrdiff_t LineStep;
    std::ptrdiff_t SampleStep;
};

void ResamplePass(const uint8_t* source, TPassLayout sourceLayout, uint8_t* target, TPassLayout targetLayout,
                  int lines, const std::vector<std::vector<TContributor>>& contributors)
{
    for (int line = 0; line < lines; ++line) {
        const uint8_t* sourceLine = source + line * sourceLayout.LineStep;
        uint8_t* targetSample = target + line * targetLayout.LineStep;
        for (const std::vector<TContributor>& sample : contributors) {
            int64_t sums[4] = {0, 0, 0, 0};
            for (const TContributor& contributor : sample) {
                const uint8_t* bytes = sourceLine + contributor.Source * sourceLayout.SampleStep;
                for (int channel = 0; channel < 4; ++channel)
                    sums[channel] += static_cast<int64_t>(contributor.Weight) * bytes[channel];
            }
            for (int channel = 0; channel < 4; ++channel)
                targetSample[channel] = FixedToByte(sums[channel]);
            targetSample += targetLayout.SampleStep;
        }
    }
}

} // namespace

double MitchellKernel(double x)
{
    const double ax = std::fabs(x);
    if (ax < 1.0)
        return (7.0 / 6.0 * ax - 2.0) * x * x + 8.0 / 9.0;
    if (ax < 2.0)
        return x * x * (2.0 - 7.0 / 18.0 * ax) - 10.0 / 3.0 * ax + 16.0 / 9.0;
    return 0.0;
}

std::vector<std::vector<TContributor>> MitchellContributors(int sourceCount, int targetCount)
{
    // A reduction widens the kernel by the reduction factor so that every
    // source sample takes part; an enlargement uses it as it is. Sample i
    // sits at i * n / m in the source, with no half-sample offset.
    const double factor = targetCount < sourceCount ? static_cast<double>(targetCount) / sourceCount : 1.0;
    const double reach = kSupport / factor;
    std::vector<std::vector<TContributor>> contributors(static_cast<std::size_t>(targetCount));
    for (int i = 0; i < targetCount; ++i) {
        const double centre = static_cast<double>(i) * sourceCount / targetCount;
        for (int j = static_cast<int>(std::ceil(centre + reach)); j >= static_cast<int>(std::floor(centre - reach)); --j) {
            const double x = std::fabs(centre - j) * factor;
            const double k = MitchellKernel(x);
            if (x >= kSupport || k == 0.0)
                continue;
            // nearbyint rounds half to even in the default rounding mode.
            const auto weight = static_cast<int32_t>(std::nearbyint(k * factor * kOne));
            contributors[static_cast<std::size_t>(i)].push_back({MirroredIndex(j, sourceCount), weight});
        }
    }
    return contributors;
}

void ResampleMitchell(const TBitmap32& source, TBitmap32& target)
{
    const int sw = source.Width();
    const int sh = source.Height();
    const int tw = target.Width();
    const int th = target.Height();
    if (sw < 2 || sh < 2 || tw <= 0 || th <= 0)
        return;

    TBitmap32 rowsDone(tw, sh);
    ResamplePass(source.Bits(), {static_cast<std::ptrdiff_t>(source.RowBytes()), 4}, rowsDone.Bits(),
                 {static_cast<std::ptrdiff_t>(rowsDone.RowBytes()), 4}, sh, MitchellContributors(sw, tw));
    ResamplePass(rowsDone.Bits(), {4, static_cast<std::ptrdiff_t>(rowsDone.RowBytes())}, target.Bits(),
                 {4, static_cast<std::ptrdiff_t>(target.RowBytes())}, tw, MitchellContributors(sh, th));
}

} // namespace pix
