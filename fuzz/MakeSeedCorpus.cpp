// Writes the fuzzer's seed corpus into the folder given: small valid files of
// every format and row order, and files that reach each chunk class and each
// way the IDAT stream can be laid out. Made with the test PNG writer, so no
// file is copied from anywhere.

#include "tests/support/PngWriter.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

using namespace pix::testing;

namespace {

void Write(const std::filesystem::path& folder, const std::string& name, const TBytes& bytes)
{
    std::ofstream(folder / (name + ".png"), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);

    const std::pair<uint8_t, uint8_t> formats[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8},  {2, 16}, {3, 1},
                                                   {3, 2}, {3, 4}, {3, 8}, {3, 16}, {4, 8},  {4, 16}, {6, 8},  {6, 16}};
    uint32_t seed = 1;
    for (const auto& [colorType, depth] : formats)
        for (bool adam7 : {false, true})
            Write(folder, "type" + std::to_string(colorType) + "_depth" + std::to_string(depth) + (adam7 ? "_adam7" : ""),
                  EncodePng(TSampleImage::Random(9, 7, depth, colorType, seed++), adam7));

    const TSampleImage grey = TSampleImage::Random(5, 4, 8, 0, 99);
    const TBytes stream = ZlibCompress(FilteredScanlines(grey, false));
    const auto start = [] { return TPngWriter().Signature().IHDR(5, 4, 8, 0); };
    Write(folder, "ancillary", start()
                                   .Chunk("gAMA", BigEndianBytes(45455))
                                   .Chunk("cHRM", TBytes(32, 1))
                                   .Chunk("PLTE", PaletteData(4))
                                   .Chunk("tRNS", {0, 9})
                                   .Chunk("pHYs", {0, 0, 11, 19, 0, 0, 11, 19, 1})
                                   .Chunk("tIME", {7, 227, 1, 2, 3, 4, 5})
                                   .Chunk("tEXt", {'k', 0, 'v'})
                                   .Chunk("zTXt", [] { TBytes d = {'k', 0, 0}; TBytes z = ZlibCompress({'t', 'x', 't'}); d.insert(d.end(), z.begin(), z.end()); return d; }())
                                   .IDAT(stream)
                                   .IEND()
                                   .Bytes());
    Write(folder, "split_idat", start().IDAT(stream, {0, 1, 1, 5, stream.size() - 4}).IEND().Bytes());
    Write(folder, "two_idat_runs", start().IDAT(stream).Chunk("tEXt", {'a', 0}).IDAT(stream).IEND().Bytes());
    Write(folder, "palette_transparency", TPngWriter()
                                              .Signature()
                                              .IHDR(4, 4, 2, 3)
                                              .Chunk("PLTE", PaletteData(4))
                                              .Chunk("tRNS", {255, 0, 128})
                                              .IDAT(ZlibCompress(FilteredScanlines(TSampleImage::Random(4, 4, 2, 3, 5), false)))
                                              .IEND()
                                              .Bytes());
    Write(folder, "rgb_transparency", TPngWriter()
                                          .Signature()
                                          .IHDR(3, 3, 16, 2)
                                          .Chunk("tRNS", {0, 1, 0, 2, 0, 3})
                                          .Chunk("gAMA", BigEndianBytes(100000))
                                          .IDAT(ZlibCompress(FilteredScanlines(TSampleImage::Random(3, 3, 16, 2, 6), true)))
                                          .IEND()
                                          .Bytes());
    return 0;
}
