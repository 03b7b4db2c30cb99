#pragma once

#include "platform/OutputFile.h"

#include <cstddef>
#include <string>

namespace pix::testing {

// Keeps everything written to it, for comparing exported text whole.
class TStringSink : public TByteSink {
public:
    void Write(const char* data, std::size_t size) override { Bytes.append(data, size); }
    std::string Bytes;
};

} // namespace pix::testing
