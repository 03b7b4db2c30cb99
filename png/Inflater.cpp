#include "png/Inflater.h"

#include "png/PngErrors.h"

#include <zlib.h>

namespace pix {

namespace {

class TZlibInflater final : public TInflater {
public:
    TZlibInflater()
    {
        const int result = inflateInit(&fStream);
        if (result != Z_OK)
            RaiseError<EPNGZLIBError>(ZLibErrorText(result));
    }
    ~TZlibInflater() override { inflateEnd(&fStream); }
    TZlibInflater(const TZlibInflater&) = delete;
    TZlibInflater& operator=(const TZlibInflater&) = delete;

    bool Inflate(const uint8_t*& in, size_t& inSize, uint8_t*& out, size_t& outSize) override
    {
        fStream.next_in = const_cast<Bytef*>(in);
        fStream.avail_in = static_cast<uInt>(inSize);
        fStream.next_out = out;
        fStream.avail_out = static_cast<uInt>(outSize);
        const int result = inflate(&fStream, Z_NO_FLUSH);
        in = fStream.next_in;
        inSize = fStream.avail_in;
        out = fStream.next_out;
        outSize = fStream.avail_out;
        if (result < 0 || result == Z_NEED_DICT)
            RaiseError<EPNGZLIBError>(ZLibErrorText(result));
        return result == Z_STREAM_END;
    }

private:
    z_stream fStream{};
};

} // namespace

std::unique_ptr<TInflater> MakeZlibInflater()
{
    return std::make_unique<TZlibInflater>();
}

} // namespace pix
