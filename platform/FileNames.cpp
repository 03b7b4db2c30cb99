#include "platform/FileNames.h"

namespace pix {

namespace {

std::size_t LastSeparator(const std::string& name)
{
    return name.find_last_of(kFolderSeparators);
}

} // namespace

std::string FolderPart(const std::string& name)
{
    const std::size_t last = LastSeparator(name);
    return last == std::string::npos ? std::string() : name.substr(0, last + 1);
}

std::string FilePart(const std::string& name)
{
    const std::size_t last = LastSeparator(name);
    return last == std::string::npos ? name : name.substr(last + 1);
}

std::string DialogFolder(const std::string& folderPart)
{
    const std::size_t size = folderPart.size();
    if (size > 1 && folderPart.back() != ':' && kFolderSeparators.find(folderPart.back()) != std::string_view::npos
        && folderPart[size - 2] != ':')
        return folderPart.substr(0, size - 1);
    return folderPart;
}

} // namespace pix
