// Full decode of a 4096 x 4096 photo-like RGB PNG, plain and Adam7: our
// reader, libpng, and zlib inflating the same IDAT data (the floor no
// decoder can go below). Files are made in memory at start-up by libpng
// with its default filter choice, so nothing large is stored.

#include "bench/peers/LibpngPeer.h"
#include "png/ByteSource.h"
#include "png/PngImage.h"

#include <benchmark/benchmark.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <stdexcept>
#include <vector>

namespace {

using pix::bench::TBytes;

constexpr uint32_t kSide = 4096;

// Smooth shapes with sensor-like noise: compresses about as well as a photo.
TBytes PhotoLikePixels()
{
    TBytes pixels(size_t{kSide} * kSide * 3);
    std::mt19937 random(1);
    std::normal_distribution<double> noise(0.0, 3.0);
    for (uint32_t y = 0; y < kSide; ++y)
        for (uint32_t x = 0; x < kSide; ++x)
            for (int c = 0; c < 3; ++c) {
                const double value = 128 + 60 * std::sin(x * 0.004 + c) * std::cos(y * 0.005 - c) +
                                     40 * std::sin((x + 2.0 * y) * 0.0015 * (c + 1)) + noise(random);
                pixels[(size_t{y} * kSide + x) * 3 + c] = static_cast<uint8_t>(std::clamp(value, 0.0, 255.0));
            }
    return pixels;
}

struct TInput {
    TBytes file;
    TBytes idat;
    size_t rawSize; // filtered scanlines, filter bytes included
};

const TInput& Input(bool adam7)
{
    static const TBytes pixels = PhotoLikePixels();
    static const auto make = [](bool interlaced) {
        TInput input{pix::bench::EncodeWithLibpng(
                         {kSide, kSide, PNG_COLOR_TYPE_RGB, 8, interlaced, {}}, pixels),
                     {}, 0};
        input.idat = pix::bench::IdatData(input.file);
        // Adam7 rows carry more filter bytes; inflate once to learn the size.
        TBytes raw(size_t{kSide} * (kSide * 3 + 1) * 2);
        uLongf size = static_cast<uLongf>(raw.size());
        uncompress(raw.data(), &size, input.idat.data(), static_cast<uLong>(input.idat.size()));
        input.rawSize = size;
        return input;
    };
    static const TInput plain = make(false);
    static const TInput interlaced = make(true);
    return adam7 ? interlaced : plain;
}

void SetCounters(benchmark::State& state, const TInput& input)
{
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kSide * kSide * 3);
    state.counters["file_MB"] = static_cast<double>(input.file.size()) / 1e6;
}

void BM_Pixelizer(benchmark::State& state)
{
    const TInput& input = Input(state.range(0) != 0);
    for (auto _ : state) {
        pix::TMemorySource source(input.file);
        pix::TPngImage image;
        image.LoadFromStream(source);
        benchmark::DoNotOptimize(image.Scanline(kSide - 1));
    }
    SetCounters(state, input);
}

// Into memory allocated for each decode, as a load must.
void BM_Libpng(benchmark::State& state)
{
    const TInput& input = Input(state.range(0) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(pix::bench::DecodeWithLibpng(input.file));
    SetCounters(state, input);
}

void BM_ZlibInflateOnly(benchmark::State& state)
{
    const TInput& input = Input(state.range(0) != 0);
    TBytes raw(input.rawSize);
    for (auto _ : state) {
        uLongf size = static_cast<uLongf>(raw.size());
        if (uncompress(raw.data(), &size, input.idat.data(), static_cast<uLong>(input.idat.size())) != Z_OK)
            throw std::runtime_error("zlib could not inflate the benchmark image");
        benchmark::DoNotOptimize(raw.data());
    }
    SetCounters(state, input);
}

// Argument 0: plain rows, 1: Adam7.
BENCHMARK(BM_Pixelizer)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Libpng)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ZlibInflateOnly)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
