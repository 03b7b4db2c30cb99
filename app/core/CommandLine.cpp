#include "app/core/CommandLine.h"

#include <algorithm>

namespace pix {

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

std::vector<std::string> CommandLineParameters(std::string_view commandLine)
{
    const auto isSpace = [](char c) { return c != '\0' && static_cast<unsigned char>(c) <= ' '; };
    std::vector<std::string> parameters;
    std::size_t at = 0;
    const std::size_t end = commandLine.find('\0') == std::string_view::npos ? commandLine.size() : commandLine.find('\0');
    while (true) {
        while (at < end && (isSpace(commandLine[at]) || commandLine.substr(at, 2) == "\"\""))
            at += isSpace(commandLine[at]) ? 1 : 2;
        if (at >= end)
            break;
        std::string parameter;
        bool quoted = false;
        for (; at < end && (quoted || !isSpace(commandLine[at])); ++at) {
            if (commandLine[at] == '"')
                quoted = !quoted;
            else
                parameter += commandLine[at];
        }
        parameters.push_back(std::move(parameter));
    }
    // The first parameter is the program's own path.
    if (!parameters.empty())
        parameters.erase(parameters.begin());
    return parameters;
}

} // namespace pix
