// The mutator of the load-path fuzzer. Random changes to a PNG file almost
// always break a chunk's CRC, and the reader then stops at that chunk: the
// header checks, the decoding and the drawing behind it would hardly ever be
// reached. So after libFuzzer's own mutation the CRCs of all complete chunks
// are set right again (except now and then, so that bad CRCs stay covered),
// and some mutations work on the inflated image data instead of the
// compressed bytes, which a byte flip turns into a zlib error.

#include "png/BigEndian.h"

#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

namespace {

using TBytes = std::vector<uint8_t>;

constexpr size_t kSignatureBytes = 8;
// Inflated image data beyond this is not remixed: the fuzzer's inputs are
// small, and a bomb would make every mutation slow.
constexpr size_t kMaxRemixBytes = 1 << 20;

struct TChunkAt {
    size_t start; // of the length field
    uint32_t length;
    bool IsIdat(const uint8_t* data) const { return std::memcmp(data + start + 4, "IDAT", 4) == 0; }
    size_t End() const { return start + 12 + length; }
};

// The complete chunks after the signature, up to the first that does not fit.
std::vector<TChunkAt> CompleteChunks(const uint8_t* data, size_t size)
{
    std::vector<TChunkAt> chunks;
    for (size_t at = kSignatureBytes; at + 12 <= size;) {
        const uint32_t length = pix::BigEndian32(data + at);
        if (length > size - at - 12)
            break;
        chunks.push_back({at, length});
        at += 12 + size_t{length};
    }
    return chunks;
}

void StoreBigEndian(uint8_t* p, uint32_t value)
{
    p[0] = static_cast<uint8_t>(value >> 24);
    p[1] = static_cast<uint8_t>(value >> 16);
    p[2] = static_cast<uint8_t>(value >> 8);
    p[3] = static_cast<uint8_t>(value);
}

void FixCrcs(uint8_t* data, size_t size)
{
    for (const TChunkAt& chunk : CompleteChunks(data, size)) {
        const uLong crc = crc32(0, data + chunk.start + 4, 4 + chunk.length);
        StoreBigEndian(data + chunk.start + 8 + chunk.length, static_cast<uint32_t>(crc));
    }
}

TBytes Inflate(const uint8_t* compressed, size_t size)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return {};
    TBytes raw(std::min<size_t>(kMaxRemixBytes, 64 + size * 4));
    stream.next_in = const_cast<Bytef*>(compressed);
    stream.avail_in = static_cast<uInt>(size);
    int result = Z_OK;
    while (result == Z_OK) {
        if (stream.total_out == raw.size()) {
            if (raw.size() == kMaxRemixBytes)
                break;
            raw.resize(std::min(kMaxRemixBytes, raw.size() * 2));
        }
        stream.next_out = raw.data() + stream.total_out;
        stream.avail_out = static_cast<uInt>(raw.size() - stream.total_out);
        result = inflate(&stream, Z_NO_FLUSH);
    }
    // Whatever came out before an error is still image data worth mutating.
    raw.resize(stream.total_out);
    inflateEnd(&stream);
    return raw;
}

// Replaces the first run of IDAT chunks by one chunk holding the mutated
// image data, compressed anew; false when there is no run or no room.
bool RemixImageData(uint8_t* data, size_t& size, size_t maxSize, std::minstd_rand& random)
{
    const std::vector<TChunkAt> chunks = CompleteChunks(data, size);
    const auto first = std::find_if(chunks.begin(), chunks.end(), [&](const TChunkAt& c) { return c.IsIdat(data); });
    if (first == chunks.end())
        return false;
    const auto last = std::find_if(first, chunks.end(), [&](const TChunkAt& c) { return !c.IsIdat(data); });

    TBytes compressed;
    for (auto chunk = first; chunk != last; ++chunk)
        compressed.insert(compressed.end(), data + chunk->start + 8, data + chunk->start + 8 + chunk->length);
    TBytes raw = Inflate(compressed.data(), compressed.size());
    const size_t rawSize = raw.size();
    raw.resize(rawSize + 64 + rawSize / 4);
    raw.resize(LLVMFuzzerMutate(raw.data(), rawSize, raw.size()));

    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    TBytes packed(packedSize);
    const int level = static_cast<int>(random() % 10); // 0: stored blocks
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), level) != Z_OK)
        return false;

    const size_t runStart = first->start;
    const size_t runEnd = std::prev(last)->End();
    const size_t newSize = size - (runEnd - runStart) + 12 + packedSize;
    if (newSize > maxSize)
        return false;
    TBytes result(data, data + runStart);
    result.resize(runStart + 8);
    StoreBigEndian(result.data() + runStart, static_cast<uint32_t>(packedSize));
    std::memcpy(result.data() + runStart + 4, "IDAT", 4);
    result.insert(result.end(), packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(packedSize));
    result.resize(result.size() + 4); // CRC, set by FixCrcs
    result.insert(result.end(), data + runEnd, data + size);
    std::memcpy(data, result.data(), result.size());
    size = result.size();
    return true;
}

} // namespace

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned int seed)
{
    std::minstd_rand random(seed);
    const unsigned choice = random() % 16;
    if (choice >= 4 || !RemixImageData(data, size, maxSize, random))
        size = LLVMFuzzerMutate(data, size, maxSize);
    if (choice != 0)
        FixCrcs(data, size);
    return size;
}
