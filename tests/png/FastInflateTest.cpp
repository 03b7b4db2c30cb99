// The faster inflate engine against zlib: every file decodes to the same
// buffer, or fails with the same exception and message, whichever engine
// the load starts with. Sound files, PngSuite, and streams damaged in every
// way a file can be: bytes changed inside the compressed data (CRCs made
// right so that the damage reaches inflate), bytes changed anywhere, files
// cut short, check values wrong, and streams split across IDAT chunks.

#include "png/BigEndian.h"
#include "png/ByteSource.h"
#include "png/IdatStream.h"
#include "png/Inflater.h"
#include "png/PngImage.h"
#include "tests/png/ReaderTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace pix {
namespace {

using namespace testing;

// What a load leaves: the outcome, and on success every byte of the buffer.
std::string Result(const TBytes& file, bool fast)
{
    TPngImage image;
    image.SetFastInflate(fast);
    const TLoadOutcome outcome = LoadOutcome(image, file);
    if (outcome.kind)
        return std::string(outcome.kind->name()) + ": " + outcome.message;
    const TChunkIHDR& header = image.Header();
    const size_t plane = size_t{header.BytesPerRow} * header.IHDRData.Height;
    std::string bytes(reinterpret_cast<const char*>(&header.BitmapInfo), sizeof header.BitmapInfo);
    bytes.append(reinterpret_cast<const char*>(header.ImageData()), plane);
    if (header.ImageAlpha())
        bytes.append(reinterpret_cast<const char*>(header.ImageAlpha()), size_t{header.IHDRData.Width} * header.IHDRData.Height);
    if (header.ExtraImageData())
        bytes.append(reinterpret_cast<const char*>(header.ExtraImageData()), plane);
    return "loaded " + bytes;
}

void ExpectSameResult(const TBytes& file, const std::string& what)
{
    const std::string zlib = Result(file, false);
    const std::string fast = Result(file, true);
    ASSERT_EQ(fast.substr(0, 200), zlib.substr(0, 200)) << what;
    ASSERT_TRUE(fast == zlib) << what << ": same outcome, other bytes";
}

// A file with the zlib stream in IDAT chunks cut at splitAt.
TBytes FileWithStream(const TSampleImage& image, bool adam7, const TBytes& stream, const std::vector<size_t>& splitAt)
{
    TPngWriter writer;
    writer.Signature().IHDR(image.width, image.height, image.bitDepth, image.colorType, adam7 ? 1 : 0);
    if (image.colorType == 3)
        writer.Chunk("PLTE", PaletteData(1 << std::min<int>(image.bitDepth, 8)));
    return writer.IDAT(stream, splitAt).IEND().Bytes();
}

struct TPicture {
    TSampleImage samples;
    bool adam7;
};

// Formats whose rows differ in size and pixel width, in both row orders.
std::vector<TPicture> Pictures()
{
    return {
        {TSampleImage::Random(61, 47, 8, 2, 1), false},
        {TSampleImage::Random(33, 29, 16, 6, 2), true},
        {TSampleImage::Random(70, 40, 4, 3, 3), true},
        {TSampleImage::Random(45, 31, 8, 4, 4), false},
        {TSampleImage::Random(17, 90, 2, 0, 5), false},
    };
}

TBytes Joined(TBytes head, const TBytes& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

// The engine itself takes sound streams to their end without a doubt, or
// every load above would only ever have tested zlib twice.
TEST(FastInflate, SoundStreamsNeedNoSecondDecode)
{
    if (!MakeFastInflater())
        GTEST_SKIP() << "built without a faster engine: every load takes zlib";
    std::vector<TPicture> pictures = Pictures();
    // Large and repetitive enough that the engine holds back input and
    // output of its own between the calls.
    TSampleImage smooth = TSampleImage::Random(400, 300, 8, 2, 6);
    for (size_t i = 0; i < smooth.samples.size(); ++i)
        smooth.samples[i] = static_cast<uint16_t>((i / 1200 + i % 3 * 40 + (i % 1711 == 0 ? smooth.samples[i] : 0)) & 255);
    pictures.push_back({smooth, false});
    for (const TPicture& picture : pictures) {
        const TBytes raw = FilteredScanlines(picture.samples, picture.adam7);
        const size_t rowBytes = raw.size() / picture.samples.height;
        for (const int level : {0, 6}) {
            const TBytes stream = ZlibCompress(raw, level);
            std::vector<size_t> chunksOf8K;
            for (size_t at = 8192; at < stream.size(); at += 8192)
                chunksOf8K.push_back(at);
            for (const std::vector<size_t>& split : {std::vector<size_t>{}, {7, 7, stream.size() - 1}, chunksOf8K}) {
                const TBytes chunks = TPngWriter().IDAT(stream, split).IEND().Bytes();
                TMemorySource source(chunks);
                source.Seek(8);
                TIdatStream idat(source, {'I', 'D', 'A', 'T'}, BigEndian32(chunks.data()), MakeFastInflater());
                TBytes rows(raw.size());
                for (size_t at = 0; at < rows.size();)
                    at += idat.Read(rows.data() + at, std::min(rows.size() - at, rowBytes));
                EXPECT_NO_THROW(idat.ReadToStreamEnd());
                EXPECT_NO_THROW(idat.FinishChunk());
                EXPECT_EQ(rows, raw);
            }
        }
    }
}

TEST(FastInflate, SoundFilesDecodeAlikeAtEveryLevelAndSplit)
{
    for (const TPicture& picture : Pictures()) {
        const TBytes raw = FilteredScanlines(picture.samples, picture.adam7);
        for (const int level : {0, 1, 6, 9}) {
            const TBytes stream = ZlibCompress(raw, level);
            SCOPED_TRACE("level " + std::to_string(level));
            ExpectSameResult(FileWithStream(picture.samples, picture.adam7, stream, {}), "one chunk");
            ExpectSameResult(FileWithStream(picture.samples, picture.adam7, stream, {1, 2, 2, 3, 100, stream.size() - 4}),
                             "split in the header, zero-length chunks, check value apart");
            std::vector<size_t> everySeventeen;
            for (size_t at = 17; at < stream.size(); at += 17)
                everySeventeen.push_back(at);
            ExpectSameResult(FileWithStream(picture.samples, picture.adam7, stream, everySeventeen), "small chunks");
        }
    }
}

TEST(FastInflate, DamagedStreamsFailAlike)
{
    for (const TPicture& picture : Pictures()) {
        const TBytes raw = FilteredScanlines(picture.samples, picture.adam7);
        const TBytes stream = ZlibCompress(raw, 6);
        const std::vector<size_t> split = {stream.size() / 3, stream.size() / 2};
        // Inside the compressed data, with right CRCs: header, block
        // headers, codes, the check value.
        for (size_t at = 0; at < stream.size(); at += (at < 64 || at + 8 > stream.size()) ? 1 : 5) {
            for (const uint8_t flip : {0x01, 0x80, 0xFF}) {
                TBytes damaged = stream;
                damaged[at] ^= flip;
                ExpectSameResult(FileWithStream(picture.samples, picture.adam7, damaged, split),
                                 "stream byte " + std::to_string(at));
            }
        }
        // More data than the image, and less.
        TBytes longer = ZlibCompress(Joined(raw, TBytes(5, 0)), 6);
        ExpectSameResult(FileWithStream(picture.samples, picture.adam7, longer, split), "longer stream");
        TBytes shorter = ZlibCompress(TBytes(raw.begin(), raw.end() - 3), 6);
        ExpectSameResult(FileWithStream(picture.samples, picture.adam7, shorter, split), "shorter stream");
        ExpectSameResult(FileWithStream(picture.samples, picture.adam7, Joined(stream, TBytes{1, 2, 3}), split),
                         "data after the stream");

        // Anywhere in the file, CRCs left as they are, and the file cut short.
        const TBytes file = FileWithStream(picture.samples, picture.adam7, stream, split);
        for (size_t at = 0; at < file.size(); at += 3) {
            ExpectSameResult(WithByte(file, at, static_cast<uint8_t>(file[at] ^ 0x10)), "file byte " + std::to_string(at));
            ExpectSameResult(TBytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(at)),
                             "cut at " + std::to_string(at));
        }
    }
}

TEST(FastInflate, PngSuiteDecodesAlike)
{
    const std::filesystem::path suite = PIXELIZER_PNGSUITE_DIR;
    if (!std::filesystem::is_directory(suite))
        GTEST_SKIP() << "PngSuite is not beside the project";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(suite)) {
        if (entry.path().extension() != ".png")
            continue;
        ExpectSameResult(ReadFileBytes(entry.path().string()), entry.path().filename().string());
        ++files;
    }
    EXPECT_GT(files, 150);
}

} // namespace
} // namespace pix
