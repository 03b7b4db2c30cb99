#include "bench/peers/LibpngPeer.h"

#include "png/BigEndian.h"

#include <png.h>
#include <zlib.h>

#include <cstring>
#include <memory>
#include <stdexcept>

namespace pix::bench {

TBytes EncodeWithLibpng(const TPictureFormat& format, const TBytes& rows)
{
    TBytes file;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)))
        throw std::runtime_error("libpng could not write the benchmark picture");
    png_set_write_fn(
        png, &file,
        [](png_structp p, png_bytep data, size_t size) {
            auto* out = static_cast<TBytes*>(png_get_io_ptr(p));
            out->insert(out->end(), data, data + size);
        },
        nullptr);
    png_set_IHDR(png, info, format.width, format.height, format.bitDepth, format.colorType,
                 format.adam7 ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (size_t i = 0; i + 2 < format.palette.size(); i += 3)
        palette.push_back({format.palette[i], format.palette[i + 1], format.palette[i + 2]});
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    png_write_info(png, info);
    const size_t rowBytes = rows.size() / format.height;
    std::vector<png_bytep> rowPointers(format.height);
    for (uint32_t y = 0; y < format.height; ++y)
        rowPointers[y] = const_cast<png_bytep>(rows.data() + size_t{y} * rowBytes);
    png_write_image(png, rowPointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return file;
}

TBytes IdatData(const TBytes& file)
{
    TBytes data;
    for (size_t at = 8; at + 12 <= file.size();) {
        const uint32_t length = BigEndian32(file.data() + at);
        if (std::memcmp(file.data() + at + 4, "IDAT", 4) == 0)
            data.insert(data.end(), file.begin() + at + 8, file.begin() + at + 8 + length);
        at += 12 + size_t{length};
    }
    return data;
}

size_t DecodeWithLibpng(const TBytes& file)
{
    struct TReader {
        const TBytes* file;
        size_t position;
    } reader{&file, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)))
        throw std::runtime_error("libpng could not read the benchmark picture");
    png_set_read_fn(png, &reader, [](png_structp p, png_bytep out, size_t count) {
        auto* r = static_cast<TReader*>(png_get_io_ptr(p));
        if (count > r->file->size() - r->position)
            png_error(p, "file ended");
        std::memcpy(out, r->file->data() + r->position, count);
        r->position += count;
    });
    png_read_info(png, info);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const uint32_t height = png_get_image_height(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    const std::unique_ptr<uint8_t[]> pixels(new uint8_t[rowBytes * height]);
    std::vector<png_bytep> rows(height);
    for (uint32_t y = 0; y < height; ++y)
        rows[y] = pixels.get() + rowBytes * y;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return rowBytes * height;
}

size_t InflateWithZlib(const TBytes& stream)
{
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        throw std::runtime_error("zlib could not start");
    z.next_in = const_cast<Bytef*>(stream.data());
    z.avail_in = static_cast<uInt>(stream.size());
    // Inflated into one reused block, as a streaming decoder would.
    TBytes out(size_t{1} << 20);
    size_t total = 0;
    int result = Z_OK;
    while (result == Z_OK) {
        z.next_out = out.data();
        z.avail_out = static_cast<uInt>(out.size());
        result = inflate(&z, Z_NO_FLUSH);
        total += out.size() - z.avail_out;
    }
    inflateEnd(&z);
    if (result != Z_STREAM_END)
        throw std::runtime_error("zlib could not inflate the picture's image data");
    return total;
}

} // namespace pix::bench
