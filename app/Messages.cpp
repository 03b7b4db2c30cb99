#include "app/Messages.h"

#include <algorithm>

namespace pix {

std::string WithFullStop(std::string message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        message += '.';
    return message;
}

namespace {

// Deliberately not std::tolower: the switch is matched on ASCII letters only,
// whatever the user's locale says about other characters.
char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsVersionSwitch(const std::string& argument)
{
    static constexpr std::string_view kSwitch = "/acver";
    return argument.size() == kSwitch.size()
        && std::equal(argument.begin(), argument.end(), kSwitch.begin(),
                      [](char a, char b) { return LowerAscii(a) == b; });
}

} // namespace

bool HasVersionSwitch(const std::vector<std::string>& argumentsAfterProgram)
{
    return std::any_of(argumentsAfterProgram.begin(), argumentsAfterProgram.end(), IsVersionSwitch);
}

} // namespace pix
