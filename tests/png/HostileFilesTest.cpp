// Files made to hurt the reader: huge declared sizes, decompression bombs,
// impossible chunk lengths, truncation anywhere, floods of tiny chunks and
// image data that never ends. Each must end in one of the reader's own
// messages, within bounded memory and time, with the process still running.
// Each case runs in a child process, so that a crash, a kill by the kernel
// or a hang is reported as such instead of taking the test run down.

#include "png/Chunks.h"
#include "png/PngErrors.h"
#include "png/PngImage.h"
#include "tests/png/ReaderTestSupport.h"
#include "tests/support/ProcessStatus.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <functional>
#include <iterator>
#include <map>
#include <sstream>
#include <typeindex>

namespace pix {
namespace {

using namespace testing;

constexpr uint64_t kMiB = uint64_t{1} << 20;
// AddressSanitizer keeps up to 256 MiB of freed blocks resident in its
// quarantine and adds an eighth for its shadow; bounds on memory growth
// make room for that in such builds.
constexpr uint64_t kAllocatorSlack = kAddressSanitizer ? 384 * kMiB : 0;

// What a load in a child process came to.
struct TChildOutcome {
    bool finished = false;   // exited by itself within the deadline
    std::string kind;        // the exception's class, "" when the load succeeded
    std::string message;
    uint64_t growthBytes = 0; // peak resident memory above the child's start
    double seconds = 0;
};

std::string KindName(const std::type_index& kind)
{
    static const std::pair<std::type_index, const char*> kNames[] = {
        {typeid(EPNGInvalidFileHeader), "EPNGInvalidFileHeader"},
        {typeid(EPngUnexpectedEnd), "EPngUnexpectedEnd"},
        {typeid(EPNGIHDRNotFirst), "EPNGIHDRNotFirst"},
        {typeid(EPNGUnknownCriticalChunk), "EPNGUnknownCriticalChunk"},
        {typeid(EPngInvalidCRC), "EPngInvalidCRC"},
        {typeid(EPngInvalidIHDR), "EPngInvalidIHDR"},
        {typeid(EPNGSizeExceeds), "EPNGSizeExceeds"},
        {typeid(EPNGUnknownCompression), "EPNGUnknownCompression"},
        {typeid(EPNGUnknownInterlace), "EPNGUnknownInterlace"},
        {typeid(EPNGUnknownColorType), "EPNGUnknownColorType"},
        {typeid(EPNGInvalidBitDepth), "EPNGInvalidBitDepth"},
        {typeid(EPNGInvalidPalette), "EPNGInvalidPalette"},
        {typeid(EPNGNoImageData), "EPNGNoImageData"},
        {typeid(EPNGMissingMultipleIDAT), "EPNGMissingMultipleIDAT"},
        {typeid(EPNGZLIBError), "EPNGZLIBError"},
        {typeid(EPNGOutOfMemory), "EPNGOutOfMemory"},
    };
    for (const auto& [type, name] : kNames)
        if (type == kind)
            return name;
    return std::string("foreign ") + kind.name();
}

// Runs load in a child process, with its address space limited when asked
// (not under AddressSanitizer, which reserves terabytes of it), and kills
// it after deadlineSeconds.
TChildOutcome RunInChild(const std::function<void()>& load, uint64_t addressSpaceLimit = 0, int deadlineSeconds = 60)
{
    int channel[2];
    if (pipe(channel) != 0)
        return {};
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        if (addressSpaceLimit != 0) {
            const rlimit limit{addressSpaceLimit, addressSpaceLimit};
            setrlimit(RLIMIT_AS, &limit);
        }
        const uint64_t startKiB = StatusKibibytes("VmRSS:");
        const auto start = std::chrono::steady_clock::now();
        std::string kind, message;
        try {
            load();
        } catch (const std::exception& e) {
            kind = KindName(typeid(e));
            message = e.what();
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const uint64_t peakKiB = StatusKibibytes("VmHWM:");
        std::ostringstream report;
        report << (peakKiB > startKiB ? peakKiB - startKiB : 0) * 1024 << ' ' << seconds << ' ' << kind << '\n'
               << message;
        const std::string text = report.str();
        if (write(channel[1], text.data(), text.size()) < 0)
            _exit(3);
        _exit(0);
    }
    close(channel[1]);
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(deadlineSeconds);
    bool hung = false;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd wait{channel[0], POLLIN, 0};
        if (left.count() <= 0 || poll(&wait, 1, static_cast<int>(left.count())) == 0) {
            hung = true;
            kill(child, SIGKILL);
            break;
        }
        char block[4096];
        const ssize_t got = read(channel[0], block, sizeof block);
        if (got <= 0)
            break;
        text.append(block, static_cast<size_t>(got));
    }
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);

    TChildOutcome outcome;
    outcome.finished = !hung && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    std::istringstream report(text);
    report >> outcome.growthBytes >> outcome.seconds;
    report.get();
    std::getline(report, outcome.kind);
    outcome.message.assign(std::istreambuf_iterator<char>(report), {});
    return outcome;
}

TChildOutcome LoadInChild(const TBytes& file, uint64_t addressSpaceLimit = 0)
{
    return RunInChild(
        [&] {
            TPngImage image;
            LoadBytes(image, file);
        },
        addressSpaceLimit);
}

// A zlib stream that inflates to the given number of zero bytes (whole
// MiB), about a thousandth of that in size: one compressed MiB that starts
// with a literal and so may follow anything, repeated.
TBytes ZeroBomb(uint64_t mebibytes)
{
    static const TBytes segment = [] {
        z_stream stream{};
        deflateInit2(&stream, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
        TBytes zeros(kMiB, 0);
        TBytes out(deflateBound(&stream, kMiB) + 16);
        stream.next_in = zeros.data();
        stream.avail_in = static_cast<uInt>(zeros.size());
        stream.next_out = out.data();
        stream.avail_out = static_cast<uInt>(out.size());
        deflate(&stream, Z_SYNC_FLUSH);
        out.resize(out.size() - stream.avail_out);
        deflateEnd(&stream);
        return out;
    }();
    TBytes stream = {0x78, 0xDA};
    stream.reserve(2 + segment.size() * mebibytes + 6);
    for (uint64_t i = 0; i < mebibytes; ++i)
        stream.insert(stream.end(), segment.begin(), segment.end());
    // A final fixed-Huffman block holding only its end code; then the
    // Adler-32 of n zero bytes, which is (n mod 65521) << 16 | 1.
    stream.insert(stream.end(), {0x03, 0x00});
    const TBytes adler = BigEndianBytes(static_cast<uint32_t>((mebibytes * kMiB % 65521) << 16 | 1));
    stream.insert(stream.end(), adler.begin(), adler.end());
    return stream;
}

TPngWriter Start(uint32_t width, uint32_t height, uint8_t depth, uint8_t colorType, uint8_t interlace = 0)
{
    return TPngWriter().Signature().IHDR(width, height, depth, colorType, interlace);
}

const TBytes& SmallStream()
{
    static const TBytes stream = ZlibCompress(FilteredScanlines(TSampleImage::Random(3, 2, 8, 0, 1), false));
    return stream;
}

// --- Declared sizes up to 65535 x 65535 with next to no image data ---------

struct THugeHeader {
    const char* name;
    uint32_t width, height;
    uint8_t depth, colorType, interlace;
};

void PrintTo(const THugeHeader& c, std::ostream* os)
{
    *os << c.name;
}

class HugeDeclaredSize : public ::testing::TestWithParam<THugeHeader> {
protected:
    TBytes File() const
    {
        const THugeHeader& c = GetParam();
        return Start(c.width, c.height, c.depth, c.colorType, c.interlace).IDAT(ZlibCompress(TBytes(64, 0))).IEND().Bytes();
    }
    uint64_t PlaneBytes() const
    {
        const THugeHeader& c = GetParam();
        const uint64_t bits = c.colorType == 2 || c.colorType == 6 ? 24 : c.depth == 1 ? 1 : c.depth <= 4 ? 4 : 8;
        const uint64_t data = (bits * c.width + 31) / 32 * 4 * c.height;
        const uint64_t alpha = c.colorType == 4 || c.colorType == 6 ? uint64_t{c.width} * c.height : 0;
        return data + alpha + (c.depth == 16 ? data : 0);
    }
};

std::string OutOfMemoryMessage(uint32_t width, uint32_t height)
{
    return "Not enough memory to load this \"Portable Network Graphics\" image of " + std::to_string(width) + " x " +
           std::to_string(height) + " pixels.";
}

// The planes are either refused up front or granted and left untouched
// beyond the few rows the data fills; the data then runs out.
TEST_P(HugeDeclaredSize, EndsInAMessageWithoutTouchingThePlanes)
{
    const THugeHeader& c = GetParam();
    const TChildOutcome outcome = LoadInChild(File());
    ASSERT_TRUE(outcome.finished);
    if (outcome.kind == "EPNGOutOfMemory")
        EXPECT_EQ(outcome.message, OutOfMemoryMessage(c.width, c.height));
    else
        EXPECT_EQ(outcome.kind, "EPNGMissingMultipleIDAT") << outcome.message;
    EXPECT_LT(outcome.growthBytes, 64 * kMiB + kAllocatorSlack);
}

// Where the memory is not there (an address-space limit stands in for a
// small machine) the load is refused before the allocation, not killed.
TEST_P(HugeDeclaredSize, IsRefusedWhenTheMemoryIsNotThere)
{
    if (kAddressSanitizer)
        GTEST_SKIP() << "AddressSanitizer needs an unlimited address space";
    constexpr uint64_t kLimit = 2048 * kMiB;
    const THugeHeader& c = GetParam();
    const TChildOutcome outcome = LoadInChild(File(), kLimit);
    ASSERT_TRUE(outcome.finished);
    if (PlaneBytes() > kLimit) {
        EXPECT_EQ(outcome.kind, "EPNGOutOfMemory");
        EXPECT_EQ(outcome.message, OutOfMemoryMessage(c.width, c.height));
    } else {
        EXPECT_EQ(outcome.kind, "EPNGMissingMultipleIDAT") << outcome.message;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Headers, HugeDeclaredSize,
    ::testing::Values(THugeHeader{"RGBAlpha16", 65535, 65535, 16, 6, 0}, THugeHeader{"RGBAlpha16Adam7", 65535, 65535, 16, 6, 1},
                      THugeHeader{"RGB8", 65535, 65535, 8, 2, 0}, THugeHeader{"GreyAlpha16", 65535, 65535, 16, 4, 0},
                      THugeHeader{"Palette8", 65535, 65535, 8, 3, 0}, THugeHeader{"Grey1Adam7", 65535, 65535, 1, 0, 1},
                      THugeHeader{"WideRow", 65535, 1, 16, 6, 0}, THugeHeader{"TallColumnAdam7", 1, 65535, 16, 6, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Decompression bombs -----------------------------------------------------

// A gigabyte of image data behind a 16 x 16 header: decoding stops at the
// last declared row, and the rest is only read for the chunk's CRC.
TEST(DecompressionBomb, StopsAtTheDeclaredSize)
{
    const TBytes file = Start(16, 16, 8, 2).IDAT(ZeroBomb(1024)).IEND().Bytes();
    const TChildOutcome outcome = LoadInChild(file);
    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.kind, "") << outcome.message;
    EXPECT_LT(outcome.growthBytes, 64 * kMiB + kAllocatorSlack);
    EXPECT_LT(outcome.seconds, 10.0);
}

// 65535 x 65535 one-bit grey from a file of half a megabyte: decoded in
// full, within the half gigabyte it declared.
TEST(DecompressionBomb, AsLargeAsDeclaredDecodesWithinIt)
{
    constexpr uint64_t kRowBytes = 8192;
    constexpr uint64_t kPlane = kRowBytes * 65535;
    const uint64_t mebibytes = (65535 * (kRowBytes + 1) + kMiB - 1) / kMiB;
    const TBytes file = Start(65535, 65535, 1, 0).IDAT(ZeroBomb(mebibytes)).IEND().Bytes();
    ASSERT_LT(file.size(), kMiB);
    const TChildOutcome outcome = RunInChild([&] {
        TPngImage image;
        LoadBytes(image, file);
        // Every row is there, all black.
        for (uint32_t y = 0; y < image.Height(); y += 4099)
            if (image.Scanline(y)[kRowBytes - 1] != 0)
                throw std::runtime_error("row " + std::to_string(y) + " is not zero");
    });
    ASSERT_TRUE(outcome.finished);
    if (outcome.kind == "EPNGOutOfMemory")
        GTEST_SKIP() << "the machine has no half gigabyte to spare";
    EXPECT_EQ(outcome.kind, "") << outcome.message;
    EXPECT_LT(outcome.growthBytes, kPlane + 64 * kMiB + kAllocatorSlack);
}

// --- Chunk lengths no file can hold -----------------------------------------

// Where a chunk with the given length field stands: the file is cut right
// after its type, so a reader that believed the length would have to
// allocate or seek far beyond the end.
struct TChunkPlace {
    const char* name;
    std::function<TBytes(uint32_t length)> file;
    bool skipped = false; // passed over by seeking, unread
};

void PrintTo(const TChunkPlace& c, std::ostream* os)
{
    *os << c.name;
}

// Some data follows, far less than announced: for IDAT chunks the stream
// that completes the image, so that only the length is wrong.
TBytes WithLengthField(TPngWriter writer, const char* type, uint32_t length, const TBytes& data = TBytes(64, 'x'))
{
    TBytes tail = BigEndianBytes(length);
    tail.insert(tail.end(), type, type + 4);
    tail.insert(tail.end(), data.begin(), data.end());
    return writer.Raw(tail).Bytes();
}

TBytes StreamFrom(size_t offset)
{
    return TBytes(SmallStream().begin() + static_cast<ptrdiff_t>(offset), SmallStream().end());
}

const TChunkPlace kChunkPlaces[] = {
    {"IHDR", [](uint32_t n) { return WithLengthField(TPngWriter().Signature(), "IHDR", n); }},
    {"tEXt", [](uint32_t n) { return WithLengthField(Start(3, 2, 8, 0), "tEXt", n); }},
    {"zTXt", [](uint32_t n) { return WithLengthField(Start(3, 2, 8, 0), "zTXt", n); }},
    {"PLTE", [](uint32_t n) { return WithLengthField(Start(3, 2, 8, 3), "PLTE", n); }},
    {"UnknownAncillary", [](uint32_t n) { return WithLengthField(Start(3, 2, 8, 0), "abCd", n); }},
    {"SkippedcHRM", [](uint32_t n) { return WithLengthField(Start(3, 2, 8, 0), "cHRM", n); }, true},
    {"FirstIDAT", [](uint32_t n) { return WithLengthField(Start(3, 2, 8, 0), "IDAT", n, StreamFrom(0)); }},
    {"IDATInARun",
     [](uint32_t n) {
         return WithLengthField(Start(3, 2, 8, 0).IDAT(TBytes(SmallStream().begin(), SmallStream().begin() + 3)), "IDAT",
                                n, StreamFrom(3));
     }},
    {"SkippedSecondRun",
     [](uint32_t n) { return WithLengthField(Start(3, 2, 8, 0).IDAT(SmallStream()).Chunk("tEXt", {'a', 0}), "IDAT", n); },
     true},
    {"IEND", [](uint32_t n) { return WithLengthField(Start(3, 2, 8, 0).IDAT(SmallStream()), "IEND", n); }},
};

class ImpossibleChunkLength : public ::testing::TestWithParam<std::tuple<TChunkPlace, uint32_t>> {};

// A chunk that is read fails its CRC check, as its CRC is cut off; one that
// is passed over leaves the reader at the end of the file, unless its
// length is one the standard forbids.
TEST_P(ImpossibleChunkLength, FailsWithNothingAllocated)
{
    const auto& [place, length] = GetParam();
    const TChildOutcome outcome = LoadInChild(place.file(length));
    ASSERT_TRUE(outcome.finished);
    if (place.skipped && length <= kMaxChunkLength) {
        EXPECT_EQ(outcome.kind, "EPngUnexpectedEnd") << outcome.message;
        EXPECT_EQ(outcome.message, ExpectedMessage(typeid(EPngUnexpectedEnd)));
    } else {
        EXPECT_EQ(outcome.kind, "EPngInvalidCRC") << outcome.message;
        EXPECT_EQ(outcome.message, ExpectedMessage(typeid(EPngInvalidCRC)));
    }
    EXPECT_LT(outcome.growthBytes, 16 * kMiB + kAllocatorSlack);
}

INSTANTIATE_TEST_SUITE_P(
    // 2^31 .. 2^32 - 1, which the standard forbids, and lengths that merely
    // run past the end of the file.
    Lengths, ImpossibleChunkLength,
    ::testing::Combine(::testing::ValuesIn(kChunkPlaces),
                       ::testing::Values(0x80000000u, 0x80000001u, 0xC0000000u, 0xFFFFFFFEu, 0xFFFFFFFFu, 65u,
                                         1000000u, 0x7FFFFFFFu)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + "_" + std::to_string(std::get<1>(info.param));
    });

// --- Truncation ---------------------------------------------------------------

// Every chunk class, an Adam7 image and a split IDAT run in 500 bytes: cut
// after any byte, the file fails with the message of the place it ends in.
TEST(Truncation, EveryPrefixOfAValidFileFailsWithItsMessage)
{
    const TSampleImage samples = TSampleImage::Random(6, 5, 16, 2, 3);
    const TBytes stream = ZlibCompress(FilteredScanlines(samples, true));
    const TBytes file = Start(6, 5, 16, 2, 1)
                            .Chunk("gAMA", BigEndianBytes(45455))
                            .Chunk("tRNS", {0, 1, 0, 2, 0, 3})
                            .Chunk("tEXt", {'k', 0, 'v'})
                            .Chunk("zTXt", [] { TBytes d = {'k', 0, 0}; const TBytes z = ZlibCompress({'t'}); d.insert(d.end(), z.begin(), z.end()); return d; }())
                            .Chunk("cHRM", TBytes(32, 0))
                            .IDAT(stream, {0, 1, 2, stream.size() / 2, stream.size() / 2})
                            .IEND()
                            .Bytes();
    {
        TPngImage whole;
        LoadBytes(whole, file);
        ASSERT_EQ(CompareWithSamples(whole, samples), "");
    }
    const std::map<std::string, std::string> messages = {
        {"EPNGInvalidFileHeader", ExpectedMessage(typeid(EPNGInvalidFileHeader))},
        {"EPngUnexpectedEnd", ExpectedMessage(typeid(EPngUnexpectedEnd))},
        {"EPngInvalidCRC", ExpectedMessage(typeid(EPngInvalidCRC))},
        {"EPNGMissingMultipleIDAT", ExpectedMessage(typeid(EPNGMissingMultipleIDAT))}};
    for (size_t size = 0; size < file.size(); ++size) {
        TPngImage image;
        const TLoadOutcome outcome = LoadOutcome(image, TBytes(file.begin(), file.begin() + static_cast<ptrdiff_t>(size)));
        ASSERT_TRUE(outcome.kind.has_value()) << "loaded when cut to " << size << " bytes";
        const std::string kind = KindName(*outcome.kind);
        ASSERT_TRUE(messages.contains(kind)) << kind << " when cut to " << size << " bytes";
        EXPECT_EQ(outcome.message, messages.at(kind));
    }
}

// --- Floods of tiny chunks ---------------------------------------------------

struct TTinyChunk {
    const char* type;
    TBytes data;
};

void PrintTo(const TTinyChunk& c, std::ostream* os)
{
    *os << c.type;
}

class TinyChunkFlood : public ::testing::TestWithParam<TTinyChunk> {};

// 100,000 chunks of one kind in front of the image data: every chunk costs
// the same, whatever stands before it.
TEST_P(TinyChunkFlood, LoadsInLinearTime)
{
    const TTinyChunk& c = GetParam();
    TPngWriter writer = Start(3, 2, 8, 3).Chunk("PLTE", PaletteData(4));
    for (int i = 0; i < 100000; ++i)
        writer.Chunk(c.type, c.data);
    const TBytes file = writer.IDAT(SmallStream()).IEND().Bytes();
    const TChildOutcome outcome = RunInChild([&] {
        TPngImage image;
        LoadBytes(image, file);
        image.TransparencyMode();
    });
    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.kind, "") << outcome.message;
    EXPECT_LT(outcome.seconds, 10.0);
    EXPECT_LT(outcome.growthBytes, 256 * kMiB + kAllocatorSlack);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, TinyChunkFlood,
    ::testing::Values(TTinyChunk{"tEXt", {'k', 0, 'v'}}, TTinyChunk{"zTXt", {'k', 0, 0, 0x78, 0x9C, 0x03, 0x00, 0, 0, 0, 1}},
                      TTinyChunk{"abCd", {}}, TTinyChunk{"pHYs", {0, 0, 0, 1, 0, 0, 0, 1, 1}},
                      TTinyChunk{"tIME", {7, 227, 1, 2, 3, 4, 5}}, TTinyChunk{"gAMA", BigEndianBytes(45455)},
                      TTinyChunk{"tRNS", {0}}, TTinyChunk{"PLTE", {1, 2, 3}}, TTinyChunk{"cHRM", {}}),
    [](const auto& info) { return std::string(info.param.type); });

// --- Compressed text ----------------------------------------------------------

TBytes CompressedTextData(const TBytes& zlibStream)
{
    TBytes data = {'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 0};
    data.insert(data.end(), zlibStream.begin(), zlibStream.end());
    return data;
}

// One megabyte that would inflate to a gigabyte: inflation stops at the
// cap, the text is dropped like any failed one, and the image loads.
TEST(CompressedText, GigabyteBombIsDroppedQuickly)
{
    const TBytes file = Start(3, 2, 8, 0).Chunk("zTXt", CompressedTextData(ZeroBomb(1024))).IDAT(SmallStream()).IEND().Bytes();
    const TChildOutcome outcome = RunInChild([&] {
        TPngImage image;
        LoadBytes(image, file);
        if (!image.ChunkList().FindChunk<TChunkzTXt>()->fText.empty())
            throw std::runtime_error("the text was kept");
    });
    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.kind, "") << outcome.message;
    EXPECT_LT(outcome.seconds, 10.0);
    EXPECT_LT(outcome.growthBytes, 64 * kMiB + kAllocatorSlack);
}

// Many texts just under the cap each must not add up to gigabytes: the cap
// holds for all text chunks of a file together.
TEST(CompressedText, CapHoldsForAllTextsTogether)
{
    TPngWriter writer = Start(3, 2, 8, 0);
    const TBytes text = CompressedTextData(ZeroBomb(15));
    for (int i = 0; i < 64; ++i)
        writer.Chunk("zTXt", text);
    const TBytes file = writer.IDAT(SmallStream()).IEND().Bytes();
    const TChildOutcome outcome = RunInChild([&] {
        TPngImage image;
        LoadBytes(image, file);
        size_t kept = 0, texts = 0;
        for (int i = 0; i < image.ChunkList().Count(); ++i)
            if (const auto* chunk = dynamic_cast<const TChunkzTXt*>(image.ChunkList().GetItem(i)); chunk && !chunk->fText.empty()) {
                kept += chunk->fText.size();
                ++texts;
            }
        if (texts != 1 || kept != 15 * kMiB)
            throw std::runtime_error(std::to_string(texts) + " texts kept");
    });
    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.kind, "") << outcome.message;
    EXPECT_LT(outcome.growthBytes, 128 * kMiB + kAllocatorSlack);
}

// --- Image data that never ends -----------------------------------------------

// A million zero-length IDAT chunks after the first part of the stream: each
// is passed over at once, and the end of the file ends the run.
TEST(EndlessImageData, ZeroLengthIdatChunksEndWithTheFile)
{
    TPngWriter writer = Start(64, 64, 8, 2).IDAT(TBytes(SmallStream().begin(), SmallStream().begin() + 4));
    for (int i = 0; i < 1000000; ++i)
        writer.Chunk("IDAT", {});
    const TBytes withoutEnd = writer.Bytes();
    const TBytes withEnd = writer.IEND().Bytes();
    for (const TBytes* file : {&withoutEnd, &withEnd}) {
        const TChildOutcome outcome = LoadInChild(*file);
        ASSERT_TRUE(outcome.finished);
        EXPECT_EQ(outcome.kind, "EPNGMissingMultipleIDAT") << outcome.message;
        EXPECT_LT(outcome.seconds, 10.0);
    }
}

// Empty stored blocks, never the final one: inflate yields nothing for ever,
// until the data runs out.
TEST(EndlessImageData, EmptyStoredBlocksEndWithTheData)
{
    TBytes stream = {0x78, 0x01};
    for (int i = 0; i < 2000000; ++i)
        stream.insert(stream.end(), {0x00, 0x00, 0x00, 0xFF, 0xFF});
    const TBytes file = Start(64, 64, 8, 2).IDAT(stream, {stream.size() / 3}).IEND().Bytes();
    const TChildOutcome outcome = LoadInChild(file);
    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.kind, "EPNGMissingMultipleIDAT") << outcome.message;
    EXPECT_LT(outcome.seconds, 10.0);
}

// Stored blocks of zeros far beyond the image: decoding stops at the last
// row, and the image is there.
TEST(EndlessImageData, StoredBlocksBeyondTheImageAreNotInflated)
{
    TBytes stream = {0x78, 0x01};
    const TBytes block = [] {
        TBytes b = {0x00, 0xFF, 0xFF, 0x00, 0x00};
        b.resize(5 + 65535, 0);
        return b;
    }();
    for (int i = 0; i < 256; ++i)
        stream.insert(stream.end(), block.begin(), block.end());
    const TBytes file = Start(64, 64, 8, 2).IDAT(stream).IEND().Bytes();
    const TChildOutcome outcome = LoadInChild(file);
    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.kind, "") << outcome.message;
    EXPECT_LT(outcome.seconds, 10.0);
}

} // namespace
} // namespace pix
