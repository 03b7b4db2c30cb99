#include "app/pixcsv/PixCsv.h"

#include "platform/Console.h"
#include "platform/OutputFile.h"

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include "platform/Utf16.h"
#endif

namespace {

volatile std::sig_atomic_t interrupted = 0;

int Main(const std::vector<std::string>& arguments)
{
    // An interrupt ends the conversion at its next progress report, so the
    // temporary output file is removed rather than left behind.
    pix::CatchInterrupts(interrupted);
    pix::TStandardOutput standardOutput;
    pix::TPixCsvStreams streams{standardOutput, std::cout, pix::StandardError(), pix::StandardErrorIsTerminal(),
                                &interrupted};
    return pix::RunPixCsv(arguments, streams);
}

} // namespace

#ifdef _WIN32
// The wide entry point: names in any script arrive as they were typed.
int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(pix::Utf8FromWide(argv[i]));
    return Main(arguments);
}
#else
int main(int argc, char** argv)
{
    return Main(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
