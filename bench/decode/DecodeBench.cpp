// Full decode of a 4096 x 4096 photo-like RGB PNG, plain and Adam7: our
// reader, libpng, and zlib inflating the same IDAT data (the floor no
// decoder can go below). Files are made in memory at start-up by libpng
// with its default filter choice, so nothing large is stored.

#include "png/BigEndian.h"
#include "png/ByteSource.h"
#include "png/PngImage.h"

#include <benchmark/benchmark.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <stdexcept>
#include <vector>

namespace {

using TBytes = std::vector<uint8_t>;

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

TBytes EncodeWithLibpng(const TBytes& pixels, bool adam7)
{
    TBytes file;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)))
        throw std::runtime_error("libpng could not write the benchmark image");
    png_set_write_fn(
        png, &file,
        [](png_structp p, png_bytep data, size_t size) {
            auto* out = static_cast<TBytes*>(png_get_io_ptr(p));
            out->insert(out->end(), data, data + size);
        },
        nullptr);
    png_set_IHDR(png, info, kSide, kSide, 8, PNG_COLOR_TYPE_RGB, adam7 ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_bytep> rows(kSide);
    for (uint32_t y = 0; y < kSide; ++y)
        rows[y] = const_cast<png_bytep>(pixels.data() + size_t{y} * kSide * 3);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return file;
}

// The concatenated data of all IDAT chunks.
TBytes IdatData(const TBytes& file)
{
    TBytes data;
    for (size_t at = 8; at + 12 <= file.size();) {
        const uint32_t length = pix::BigEndian32(file.data() + at);
        if (std::memcmp(file.data() + at + 4, "IDAT", 4) == 0)
            data.insert(data.end(), file.begin() + at + 8, file.begin() + at + 8 + length);
        at += 12 + size_t{length};
    }
    return data;
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
        TInput input{EncodeWithLibpng(pixels, interlaced), {}, 0};
        input.idat = IdatData(input.file);
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

void DecodeWithLibpng(const TBytes& file, png_bytepp rows)
{
    struct TReader {
        const TBytes* file;
        size_t position;
    } reader{&file, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)))
        throw std::runtime_error("libpng could not read the benchmark image");
    png_set_read_fn(png, &reader, [](png_structp p, png_bytep out, size_t count) {
        auto* r = static_cast<TReader*>(png_get_io_ptr(p));
        std::memcpy(out, r->file->data() + r->position, count);
        r->position += count;
    });
    png_read_info(png, info);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
}

// Argument 1: 0 decodes into new memory each time, as a load must; 1 into
// one buffer touched before, libpng's best case.
void BM_Libpng(benchmark::State& state)
{
    const TInput& input = Input(state.range(0) != 0);
    const size_t imageBytes = size_t{kSide} * kSide * 3;
    std::unique_ptr<uint8_t[]> pixels;
    if (state.range(1) != 0) {
        pixels.reset(new uint8_t[imageBytes]);
        std::memset(pixels.get(), 0, imageBytes);
    }
    std::vector<png_bytep> rows(kSide);
    for (auto _ : state) {
        if (state.range(1) == 0)
            pixels.reset(new uint8_t[imageBytes]);
        for (uint32_t y = 0; y < kSide; ++y)
            rows[y] = pixels.get() + size_t{y} * kSide * 3;
        DecodeWithLibpng(input.file, rows.data());
        benchmark::DoNotOptimize(pixels.get());
    }
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
BENCHMARK(BM_Libpng)->Args({0, 0})->Args({1, 0})->Args({0, 1})->Args({1, 1})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ZlibInflateOnly)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
