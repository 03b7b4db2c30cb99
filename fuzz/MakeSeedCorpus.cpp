// Writes the fuzzer's seed corpus into the folder given: small valid files of
// every colour type, bit depth and row order, and files that reach each chunk
// class, each transparency mode, each failure of the drawing and each way
// the IDAT stream can be laid out. Made with the test PNG writer, so no file
// is copied from anywhere.

#include "tests/support/PngWriter.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

using namespace pix::testing;

namespace {

void Write(const std::filesystem::path& folder, const std::string& name, const TBytes& bytes)
{
    std::ofstream(folder / (name + ".png"), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TBytes Concat(TBytes head, const TBytes& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

TBytes CompressedText(const std::string& keyword, const TBytes& text)
{
    TBytes data(keyword.begin(), keyword.end());
    data.insert(data.end(), {0, 0});
    return Concat(data, ZlibCompress(text, 9));
}

TBytes Scanlines(const TSampleImage& image, bool adam7, int level = 6)
{
    return ZlibCompress(FilteredScanlines(image, adam7), level);
}

// A file with the header of image, the chunks that before() adds, its image
// data and IEND.
TBytes WithChunks(const TSampleImage& image, const std::function<void(TPngWriter&)>& before, bool adam7 = false)
{
    TPngWriter writer;
    writer.Signature().IHDR(image.width, image.height, image.bitDepth, image.colorType, adam7 ? 1 : 0);
    before(writer);
    return writer.IDAT(Scanlines(image, adam7)).IEND().Bytes();
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

    // Every format in both row orders, at a size that ends rows mid-byte and
    // leaves Adam7 passes partly empty, and at 1 x 1.
    const std::pair<uint8_t, uint8_t> formats[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8},  {2, 16}, {3, 1},
                                                   {3, 2}, {3, 4}, {3, 8}, {3, 16}, {4, 8},  {4, 16}, {6, 8},  {6, 16}};
    uint32_t seed = 1;
    for (const auto& [colorType, depth] : formats) {
        const std::string format = "type" + std::to_string(colorType) + "_depth" + std::to_string(depth);
        for (const bool adam7 : {false, true}) {
            Write(folder, format + (adam7 ? "_adam7" : ""),
                  EncodePng(TSampleImage::Random(9, 7, depth, colorType, seed++), adam7));
            Write(folder, format + "_1x1" + (adam7 ? "_adam7" : ""),
                  EncodePng(TSampleImage::Random(1, 1, depth, colorType, seed++), adam7));
        }
    }
    // Many colours, so that numbering and sorting have work to do.
    Write(folder, "rgb_many_colours", EncodePng(TSampleImage::Random(48, 40, 8, 2, 7), false));
    Write(folder, "rgba_many_colours_adam7", EncodePng(TSampleImage::Random(33, 17, 8, 6, 8), true));

    const TSampleImage grey = TSampleImage::Random(5, 4, 8, 0, 99);
    const TBytes stream = Scanlines(grey, false);
    const auto start = [] { return TPngWriter().Signature().IHDR(5, 4, 8, 0); };
    Write(folder, "ancillary", start()
                                   .Chunk("gAMA", BigEndianBytes(45455))
                                   .Chunk("cHRM", TBytes(32, 1))
                                   .Chunk("PLTE", PaletteData(4))
                                   .Chunk("tRNS", {0, 9})
                                   .Chunk("pHYs", {0, 0, 11, 19, 0, 0, 11, 19, 1})
                                   .Chunk("tIME", {7, 227, 1, 2, 3, 4, 5})
                                   .Chunk("tEXt", {'k', 0, 'v'})
                                   .Chunk("zTXt", CompressedText("k", {'t', 'x', 't'}))
                                   .Chunk("iTXt", {'k', 0, 0, 0, 0, 0, 'v'})
                                   .Chunk("bKGD", {0, 1})
                                   .IDAT(stream)
                                   .IEND()
                                   .Bytes());
    Write(folder, "ztxt_long", start().Chunk("zTXt", CompressedText("Comment", TBytes(60000, 'x'))).IDAT(stream).IEND().Bytes());
    Write(folder, "second_header", start().IHDR(5, 4, 8, 0, 1).IDAT(stream).IEND().Bytes());

    // Layouts of the IDAT stream.
    Write(folder, "split_idat", start().IDAT(stream, {0, 1, 1, 5, stream.size() - 4}).IEND().Bytes());
    Write(folder, "split_every_byte", start().IDAT(stream, [&] {
        std::vector<size_t> at;
        for (size_t i = 1; i < stream.size(); ++i)
            at.push_back(i);
        return at;
    }()).IEND().Bytes());
    Write(folder, "zero_length_idats", start().IDAT(stream, {0, 0, 0, 2, 2, stream.size(), stream.size()}).IEND().Bytes());
    Write(folder, "stored_blocks", start().IDAT(Scanlines(grey, false, 0)).IEND().Bytes());
    Write(folder, "data_after_stream", start().IDAT(Concat(stream, {1, 2, 3, 4})).IEND().Bytes());
    Write(folder, "two_idat_runs", start().IDAT(stream).Chunk("tEXt", {'a', 0}).IDAT(stream).IEND().Bytes());
    Write(folder, "stored_blocks_adam7", TPngWriter()
                                             .Signature()
                                             .IHDR(11, 6, 16, 6, 1)
                                             .IDAT(Scanlines(TSampleImage::Random(11, 6, 16, 6, 12), true, 0))
                                             .IEND()
                                             .Bytes());

    // Transparency: every mode, and both ways a drawing can fail.
    const TSampleImage palette2 = TSampleImage::Random(4, 4, 2, 3, 5);
    Write(folder, "palette_partial", WithChunks(palette2, [](TPngWriter& w) {
        w.Chunk("PLTE", PaletteData(4)).Chunk("tRNS", {255, 0, 128});
    }));
    Write(folder, "palette_bit", WithChunks(palette2, [](TPngWriter& w) {
        w.Chunk("PLTE", PaletteData(4)).Chunk("tRNS", {255, 0});
    }));
    Write(folder, "palette_partial_index_beyond_palette", WithChunks(palette2, [](TPngWriter& w) {
        w.Chunk("PLTE", PaletteData(2)).Chunk("tRNS", {10, 20});
    }));
    Write(folder, "palette_bit_entry_beyond_palette", WithChunks(palette2, [](TPngWriter& w) {
        w.Chunk("PLTE", PaletteData(2)).Chunk("tRNS", {255, 255, 0});
    }));
    Write(folder, "palette_without_plte", WithChunks(TSampleImage::Random(6, 3, 8, 3, 13), [](TPngWriter&) {}));
    Write(folder, "palette_all_opaque_adam7", WithChunks(TSampleImage::Random(9, 9, 4, 3, 14), [](TPngWriter& w) {
        w.Chunk("PLTE", PaletteData(16)).Chunk("tRNS", {255, 255});
    }, true));
    Write(folder, "grey_transparency_gamma", WithChunks(TSampleImage::Random(7, 3, 4, 0, 15), [](TPngWriter& w) {
        w.Chunk("gAMA", BigEndianBytes(100000)).Chunk("tRNS", {0, 3});
    }));
    Write(folder, "grey_alpha_gamma", WithChunks(TSampleImage::Random(7, 3, 16, 4, 16), [](TPngWriter& w) {
        w.Chunk("gAMA", BigEndianBytes(50000));
    }));
    Write(folder, "rgb_transparency", WithChunks(TSampleImage::Random(3, 3, 16, 2, 6), [](TPngWriter& w) {
        w.Chunk("tRNS", {0, 1, 0, 2, 0, 3}).Chunk("gAMA", BigEndianBytes(100000));
    }, true));
    return 0;
}
