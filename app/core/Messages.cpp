#include "app/core/Messages.h"

#include "platform/FileNames.h"
#include "platform/LowerCase.h"

#include <new>
#include <string_view>

namespace pix {

namespace {

// The platform's own text for exhausted drawing resources and memory.
constexpr const char* kOutOfSystemResources = "Out of system resources";

// A UTF-8 sequence is one character: its lead byte and the bytes after it
// that continue it.
std::size_t FirstCharacterLength(const std::string& text)
{
    std::size_t length = text.empty() ? 0 : 1;
    while (length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
        ++length;
    return length;
}

} // namespace

std::string ApplicationTitle(const std::string& programFilePath)
{
    const std::string fileName = FilePart(programFilePath);
    const std::string stem = fileName.substr(0, fileName.find('.'));
    const std::size_t first = FirstCharacterLength(stem);
    return stem.substr(0, first) + LowerCase(std::string_view(stem).substr(first));
}

std::string WithFullStop(std::string message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        message += '.';
    return message;
}

std::string FailureMessage(const std::exception& failure)
{
    if (dynamic_cast<const std::bad_alloc*>(&failure))
        return kOutOfSystemResources;
    return failure.what();
}

} // namespace pix
