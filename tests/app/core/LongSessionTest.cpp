// A long session in one window: 1,000 loads and exports of mixed pictures,
// with failed loads, cancelled saves and repeated exports among them. Every
// table must be the one the picture alone gives, whatever came before it,
// and resident memory must settle instead of growing with the cycles.

#include "tests/app/core/FlowFixture.h"

#include "png/PngErrors.h"
#include "tests/support/ProcessStatus.h"

#include <algorithm>
#include <string>

namespace pix::testing {
namespace {

constexpr int kCycles = 1000;
constexpr int kWarmUpCycles = 100;

// The colour value of every pixel, worked out here from the samples rather
// than through the reader, for the kinds of picture the session uses.
std::vector<int32_t> ColourValues(const TSampleImage& s)
{
    std::vector<int32_t> values;
    const auto over = [](int c, int a) { return (c * a + 127) / 255; };
    for (uint32_t y = 0; y < s.height; ++y)
        for (uint32_t x = 0; x < s.width; ++x) {
            const auto at = [&](int c) { return static_cast<int>(s.Sample(x, y, c)); };
            switch (s.colorType) {
            case 0: values.push_back(at(0) * 255 / ((1 << s.bitDepth) - 1) * 65793); break;
            case 2: values.push_back(at(0) + 256 * at(1) + 65536 * at(2)); break;
            case 3: values.push_back(at(0) + 256 * (255 - at(0)) + 65536 * (at(0) * 7 & 255)); break;
            case 6:
                values.push_back(over(at(0), at(3)) + 256 * over(at(1), at(3)) + 65536 * over(at(2), at(3)));
                break;
            default: ADD_FAILURE() << "no reference for colour type " << int{s.colorType};
            }
        }
    return values;
}

// The table: values numbered by ascending order, one line per row.
std::string ExpectedTable(const TSampleImage& s)
{
    const std::vector<int32_t> values = ColourValues(s);
    std::vector<int32_t> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    std::string table;
    for (size_t i = 0; i < values.size(); ++i) {
        table += std::to_string(std::lower_bound(sorted.begin(), sorted.end(), values[i]) - sorted.begin() + 1) + ";";
        if ((i + 1) % s.width == 0)
            table += "\r\n";
    }
    return table;
}

struct TPicture {
    std::string name;
    std::string table; // empty for a file that does not load
};

TEST_F(FlowTest, ThousandCyclesNumberEachPictureAloneWithoutGrowingMemory)
{
    const TSampleImage kinds[] = {
        TSampleImage::Random(300, 200, 8, 2, 1), TSampleImage::Random(17, 250, 8, 6, 2),
        TSampleImage::Random(64, 64, 8, 3, 3),   TSampleImage::Random(129, 31, 1, 0, 4),
        TSampleImage::Random(200, 100, 8, 0, 5), TSampleImage::Random(1, 1, 8, 2, 6),
        TSampleImage::Random(40, 40, 2, 0, 7),   TSampleImage::Random(255, 3, 8, 6, 8),
    };
    std::vector<TPicture> pictures;
    for (const TSampleImage& samples : kinds) {
        const std::string name = "picture" + std::to_string(pictures.size()) + ".png";
        WriteFile(fFolder / name, EncodePng(samples, pictures.size() % 2 == 1));
        pictures.push_back({name, ExpectedTable(samples)});
    }
    TBytes cut = EncodePng(kinds[0], false);
    cut.resize(cut.size() / 2);
    WriteFile(fFolder / "cut.png", cut);
    pictures.push_back({"cut.png", ""});

    uint64_t settled = 0;
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        if (cycle == kWarmUpCycles)
            settled = StatusKibibytes("VmRSS:");
        Front.Seen.clear(); // the fixture's own record of the dialogs, which would grow
        const TPicture& picture = pictures[static_cast<size_t>(cycle * 7 % static_cast<int>(pictures.size()))];
        const std::string target = "table" + std::to_string(cycle % 3) + ".csv";
        if (picture.table.empty()) {
            EXPECT_THROW(Load(picture.name), EPngInvalidCRC);
            // Nothing is loaded, so the save button does nothing at all.
            fs::remove(fFolder / target);
            Export(target);
            ASSERT_FALSE(fs::exists(fFolder / target)) << "cycle " << cycle;
            Front.Answers.clear();
            continue;
        }
        Load(picture.name);
        if (cycle % 5 == 0)
            Export(std::nullopt); // fills and sorts the table, writes nothing
        Export(target);
        ASSERT_EQ(ReadFile(fFolder / target), picture.table) << "cycle " << cycle << ", " << picture.name;
        if (cycle % 11 == 0) {
            Export(target);
            ASSERT_EQ(ReadFile(fFolder / target), picture.table) << "second export, cycle " << cycle;
        }
    }

    if (kAddressSanitizer)
        return; // its quarantine holds freed memory on purpose; LeakSanitizer checks at exit instead
#ifdef PIXELIZER_UNDER_EMULATION
    return; // the process is the emulator, whose own translations grow with every new thread
#endif
    const uint64_t resident = StatusKibibytes("VmRSS:");
    const uint64_t grown = resident - std::min(settled, resident);
    EXPECT_LT(grown, 1024u) << "resident memory grew by " << grown << " KiB over " << kCycles - kWarmUpCycles
                            << " cycles";
}

} // namespace
} // namespace pix::testing
