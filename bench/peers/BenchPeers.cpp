// The yardsticks of the conversion benchmark, one process per measurement
// so that every figure is a whole process like pixcsv's own:
//   bench_peers make DIR       writes the benchmark pictures into DIR
//   bench_peers libpng FILE    decodes FILE with libpng
//   bench_peers inflate FILE   inflates FILE's image data with zlib alone

#include "bench/peers/LibpngPeer.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

using pix::bench::TBytes;
using pix::bench::TPictureFormat;

// Smooth light and colour fields with sensor-like grain, value 0 .. 1 per
// channel: compresses about as well as a camera picture and has millions of
// distinct colours.
double PhotoField(uint32_t x, uint32_t y, uint32_t side, int channel)
{
    const double u = static_cast<double>(x) / side;
    const double v = static_cast<double>(y) / side;
    return 0.5 + 0.25 * std::sin(6.0 * u + 2.1 * channel) * std::cos(4.0 * v - 2.1 * channel)
        + 0.2 * std::sin(17.0 * (u + v) + 2.1 * channel) * std::sin(11.0 * u * v);
}

uint8_t ToByte(double value)
{
    return static_cast<uint8_t>(std::clamp(value, 0.0, 255.0));
}

// Rows of side x side pixels, each sample written in file order by
// writeSample(x, y, channel, out), which returns where the next one goes.
template <class TWriteSample>
TBytes FieldRows(uint32_t side, int channels, size_t bytesPerSample, TWriteSample writeSample)
{
    TBytes rows(size_t{side} * side * static_cast<size_t>(channels) * bytesPerSample);
    uint8_t* p = rows.data();
    for (uint32_t y = 0; y < side; ++y)
        for (uint32_t x = 0; x < side; ++x)
            for (int c = 0; c < channels; ++c)
                p = writeSample(x, y, c, p);
    return rows;
}

TBytes PhotoRows(uint32_t side)
{
    std::mt19937 random(1);
    std::normal_distribution<double> grain(0.0, 6.0);
    return FieldRows(side, 3, 1, [&](uint32_t x, uint32_t y, int c, uint8_t* p) {
        *p = ToByte(255.0 * PhotoField(x, y, side, c) + grain(random));
        return p + 1;
    });
}

// A poster of 64 flat colours: overlapping bands and discs, long runs.
TBytes PosterRows(uint32_t side)
{
    TBytes rows(size_t{side} * side * 3);
    uint8_t* p = rows.data();
    for (uint32_t y = 0; y < side; ++y)
        for (uint32_t x = 0; x < side; ++x) {
            const int dx = static_cast<int>(x % 1024) - 512;
            const int dy = static_cast<int>(y % 1024) - 512;
            const bool disc = dx * dx + dy * dy < 300 * 300;
            const uint32_t index = ((x / 700 + 3 * (y / 900)) % 32) + (disc ? 32 : 0);
            *p++ = static_cast<uint8_t>(index * 37);
            *p++ = static_cast<uint8_t>(index * 101 + 13);
            *p++ = static_cast<uint8_t>(index * 59 + 200);
        }
    return rows;
}

// Indexes of a 256-colour palette following a smooth field with dithering.
TBytes PaletteRows(uint32_t side)
{
    TBytes rows(size_t{side} * side);
    std::mt19937 random(2);
    std::uniform_int_distribution<int> dither(-3, 3);
    uint8_t* p = rows.data();
    for (uint32_t y = 0; y < side; ++y)
        for (uint32_t x = 0; x < side; ++x)
            *p++ = static_cast<uint8_t>(std::clamp(static_cast<int>(255.0 * PhotoField(x, y, side, 0)) + dither(random), 0, 255));
    return rows;
}

TBytes PaletteColours()
{
    TBytes palette;
    std::mt19937 random(3);
    for (int i = 0; i < 256; ++i)
        for (int c = 0; c < 3; ++c)
            palette.push_back(static_cast<uint8_t>(random()));
    return palette;
}

// 16-bit RGB with grain in every sample and an alpha field from fully
// transparent to opaque.
TBytes Rgba16Rows(uint32_t side)
{
    std::mt19937 random(4);
    std::normal_distribution<double> grain(0.0, 1500.0);
    return FieldRows(side, 4, 2, [&](uint32_t x, uint32_t y, int c, uint8_t* p) {
        const double field = c < 3 ? 65535.0 * PhotoField(x, y, side, c) + grain(random)
                                   : 65535.0 * (1.6 * PhotoField(y, x, side, 1) - 0.3);
        const auto sample = static_cast<uint16_t>(std::clamp(field, 0.0, 65535.0));
        p[0] = static_cast<uint8_t>(sample >> 8);
        p[1] = static_cast<uint8_t>(sample);
        return p + 2;
    });
}

void WriteFile(const std::string& name, const TBytes& bytes)
{
    std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

TBytes ReadFile(const std::string& name)
{
    std::ifstream in(name, std::ios::binary | std::ios::ate);
    TBytes bytes(static_cast<size_t>(in.tellg()));
    in.seekg(0).read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

void MakePictures(const std::string& folder)
{
    const TBytes photo = PhotoRows(4096);
    WriteFile(folder + "/photo.png", pix::bench::EncodeWithLibpng({4096, 4096, PNG_COLOR_TYPE_RGB, 8, false, {}}, photo));
    WriteFile(folder + "/photo-adam7.png",
              pix::bench::EncodeWithLibpng({4096, 4096, PNG_COLOR_TYPE_RGB, 8, true, {}}, photo));
    WriteFile(folder + "/poster64.png",
              pix::bench::EncodeWithLibpng({8192, 8192, PNG_COLOR_TYPE_RGB, 8, false, {}}, PosterRows(8192)));
    WriteFile(folder + "/palette256.png", pix::bench::EncodeWithLibpng(
                                              {4096, 4096, PNG_COLOR_TYPE_PALETTE, 8, false, PaletteColours()},
                                              PaletteRows(4096)));
    WriteFile(folder + "/rgba16.png",
              pix::bench::EncodeWithLibpng({2048, 2048, PNG_COLOR_TYPE_RGB_ALPHA, 16, false, {}}, Rgba16Rows(2048)));
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() == 2 && arguments[0] == "make") {
        MakePictures(arguments[1]);
        return 0;
    }
    if (arguments.size() == 2 && arguments[0] == "libpng") {
        std::printf("%zu\n", pix::bench::DecodeWithLibpng(ReadFile(arguments[1])));
        return 0;
    }
    if (arguments.size() == 2 && arguments[0] == "inflate") {
        std::printf("%zu\n", pix::bench::InflateWithZlib(pix::bench::IdatData(ReadFile(arguments[1]))));
        return 0;
    }
    std::fprintf(stderr, "usage: bench_peers make DIR | libpng FILE | inflate FILE\n");
    return 2;
}
