#include "tests/png/ReaderTestSupport.h"

#include "png/ByteSource.h"
#include "png/PngErrors.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace pix::testing {

void LoadBytes(TPngImage& image, const TBytes& file)
{
    TMemorySource source(file);
    image.LoadFromStream(source);
}

TLoadOutcome LoadOutcome(TPngImage& image, const TBytes& file)
{
    try {
        LoadBytes(image, file);
        return {};
    } catch (const std::runtime_error& e) {
        return {std::type_index(typeid(e)), e.what()};
    }
}

TLoadOutcome LoadOutcome(const TBytes& file)
{
    TPngImage image;
    return LoadOutcome(image, file);
}

const std::string& ExpectedMessage(std::type_index kind)
{
    static const std::map<std::type_index, std::string> messages = {
        {typeid(EPNGInvalidFileHeader),
         "The file being read is not a valid \"Portable Network Graphics\" image because it contains an invalid "
         "header. This file may be corrupted, try obtaining it again"},
        {typeid(EPngUnexpectedEnd),
         "This \"Portable Network Graphics\" image is invalid because the decoder found an unexpected end of the file."},
        {typeid(EPNGIHDRNotFirst),
         "This \"Portable Network Graphics\" image is not supported or it might be invalid.\r\n"
         "(IHDR chunk is not the first)"},
        {typeid(EPNGUnknownCriticalChunk),
         "This \"Portable Network Graphics\" image contains an unknown critical part which could not be decoded."},
        {typeid(EPngInvalidCRC),
         "This \"Portable Network Graphics\" image is not valid because it contains invalid pieces of data (crc error)"},
        {typeid(EPngInvalidIHDR),
         "The \"Portable Network Graphics\" image could not be loaded because one of its main piece of data "
         "(ihdr) might be corrupted"},
        {typeid(EPNGSizeExceeds),
         "This \"Portable Network Graphics\" image is not supported because either its width or height exceeds "
         "the maximum size of 65535 pixels."},
        {typeid(EPNGUnknownCompression),
         "This \"Portable Network Graphics\" image is encoded with an unknown compression scheme which could not "
         "be decoded."},
        {typeid(EPNGUnknownInterlace),
         "This \"Portable Network Graphics\" image uses an unknown interlace scheme which could not be decoded."},
        {typeid(EPNGUnknownColorType),
         "This \"Portable Network Graphics\" image uses an unknown color type which could not be decoded."},
        {typeid(EPNGInvalidBitDepth),
         "The \"Portable Network Graphics\" image could not be loaded because it uses an invalid image bit depth."},
        {typeid(EPNGInvalidPalette), "The \"Portable Network Graphics\" image contains an invalid palette."},
        {typeid(EPNGNoImageData), "This \"Portable Network Graphics\" image contains no data."},
        {typeid(EPNGMissingMultipleIDAT),
         "This \"Portable Network Graphics\" image is invalid because it has missing image parts."},
    };
    return messages.at(kind);
}

void ExpectFailure(const TFailure& c)
{
    const TLoadOutcome outcome = LoadOutcome(c.file());
    ASSERT_TRUE(outcome.kind.has_value()) << "the file loaded";
    EXPECT_EQ(*outcome.kind, c.kind) << outcome.message;
    EXPECT_EQ(outcome.message, c.message.empty() ? ExpectedMessage(c.kind) : c.message);
}

std::string FailureName(const ::testing::TestParamInfo<TFailure>& info)
{
    return info.param.name;
}

void PrintTo(const TFailure& c, std::ostream* os)
{
    *os << c.name;
}

TSampleFile::TSampleFile(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colorType, uint32_t seed)
    : samples(TSampleImage::Random(width, height, bitDepth, colorType, seed)),
      stream(ZlibCompress(FilteredScanlines(samples, false)))
{
}

TPngWriter TSampleFile::Start() const
{
    return TPngWriter().Signature().IHDR(samples.width, samples.height, samples.bitDepth, samples.colorType);
}

TBytes WithByte(TBytes file, size_t offset, uint8_t value)
{
    file.at(offset) = value;
    return file;
}

namespace {

// The stored value of pixel (x, y) of an indexed buffer.
int StoredIndex(const TPngImage& image, uint32_t x, uint32_t y)
{
    const int bits = image.Header().BitmapInfo.bmiHeader.biBitCount;
    const uint8_t byte = image.Scanline(y)[x * bits / 8];
    return byte >> (8 - bits - static_cast<int>(x * bits % 8)) & ((1 << bits) - 1);
}

// What the buffer holds for one file sample: the high byte of 16-bit
// samples, 2-bit grey levels spread over 16 entries.
int ExpectedIndex(const TSampleImage& s, uint16_t sample)
{
    if (s.bitDepth == 16)
        return sample >> 8;
    if (s.bitDepth == 2 && s.colorType == 0)
        return sample * 5;
    return sample;
}

std::string Where(const char* plane, uint32_t x, uint32_t y, int expected, int actual)
{
    std::ostringstream text;
    text << plane << " differs at (" << x << ", " << y << "): expected " << expected << ", stored " << actual;
    return text.str();
}

} // namespace

std::string CompareWithSamples(const TPngImage& image, const TSampleImage& s)
{
    const TChunkIHDR& header = image.Header();
    if (image.Width() != s.width || image.Height() != s.height)
        return "size differs";
    const TGammaTable& gamma = image.GammaTable;
    const bool colour = s.colorType == 2 || s.colorType == 6;
    const bool alpha = s.colorType == 4 || s.colorType == 6;
    for (uint32_t y = 0; y < s.height; ++y) {
        for (uint32_t x = 0; x < s.width; ++x) {
            if (colour) {
                const uint8_t* bgr = image.Scanline(y) + 3 * x;
                for (int c = 0; c < 3; ++c) {
                    const uint16_t sample = s.Sample(x, y, 2 - c);
                    const int high = gamma[s.bitDepth == 16 ? sample >> 8 : sample];
                    if (bgr[c] != high)
                        return Where("ImageData", x, y, high, bgr[c]);
                    if (s.bitDepth == 16 && image.ExtraScanline(y)[3 * x + c] != gamma[sample & 0xFF])
                        return Where("ExtraImageData", x, y, gamma[sample & 0xFF], image.ExtraScanline(y)[3 * x + c]);
                }
            } else {
                const uint16_t sample = s.Sample(x, y, 0);
                if (StoredIndex(image, x, y) != ExpectedIndex(s, sample))
                    return Where("ImageData", x, y, ExpectedIndex(s, sample), StoredIndex(image, x, y));
                if (s.bitDepth == 16 && image.ExtraScanline(y)[x] != (sample & 0xFF))
                    return Where("ExtraImageData", x, y, sample & 0xFF, image.ExtraScanline(y)[x]);
            }
            if (alpha) {
                const uint16_t a = s.Sample(x, y, s.Channels() - 1);
                const int expected = s.bitDepth == 16 ? a >> 8 : a;
                if (image.AlphaScanline(y)[x] != expected)
                    return Where("ImageAlpha", x, y, expected, image.AlphaScanline(y)[x]);
            }
        }
    }
    if ((header.ImageAlpha() != nullptr) != alpha || (header.ExtraImageData() != nullptr) != (s.bitDepth == 16))
        return "planes present differ";
    return "";
}

std::optional<TSampleImage> DecodeWithLibpng(const TBytes& file)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    struct TReader {
        const TBytes* file;
        size_t position;
    } reader{&file, 0};
    // Everything that owns memory lives outside the part libpng may jump out of.
    std::optional<TSampleImage> result;
    std::vector<png_bytep> rows;
    TBytes pixels;
    TSampleImage s;
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_set_read_fn(png, &reader, [](png_structp p, png_bytep out, size_t count) {
            auto* r = static_cast<TReader*>(png_get_io_ptr(p));
            if (r->position + count > r->file->size())
                png_error(p, "read past end");
            std::copy_n(r->file->begin() + static_cast<std::ptrdiff_t>(r->position), count, out);
            r->position += count;
        });
        png_set_crc_action(png, PNG_CRC_ERROR_QUIT, PNG_CRC_ERROR_QUIT);
        png_read_info(png, info);
        s.bitDepth = png_get_bit_depth(png, info); // before unpacking widens it
        png_set_packing(png);
        png_set_interlace_handling(png);
        png_read_update_info(png, info);
        s.width = png_get_image_width(png, info);
        s.height = png_get_image_height(png, info);
        s.colorType = png_get_color_type(png, info);
        const size_t rowBytes = png_get_rowbytes(png, info);
        pixels.resize(rowBytes * s.height);
        for (uint32_t y = 0; y < s.height; ++y)
            rows.push_back(pixels.data() + y * rowBytes);
        png_read_image(png, rows.data());
        const size_t count = size_t{s.width} * s.height * s.Channels();
        s.samples.resize(count);
        for (size_t i = 0; i < count; ++i)
            s.samples[i] = s.bitDepth == 16 ? static_cast<uint16_t>(pixels[2 * i] << 8 | pixels[2 * i + 1]) : pixels[i];
        result = std::move(s);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return result;
}

TBytes ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return TBytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace pix::testing
