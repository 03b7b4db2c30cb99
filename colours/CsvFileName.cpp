#include "colours/CsvFileName.h"

#include "platform/FileNames.h"

namespace pix {

std::string WithExtension(const std::string& name, const char* extension)
{
    std::string separatorsOrDot(kFolderSeparators);
    separatorsOrDot += '.';
    const std::size_t last = name.find_last_of(separatorsOrDot);
    if (last != std::string::npos && name[last] == '.')
        return name.substr(0, last) + extension;
    return name + extension;
}

std::string CsvFileName(const std::string& name)
{
    return WithExtension(name, ".csv");
}

} // namespace pix
