#include "app/PixCsv.h"

#include "colours/OutputFile.h"

#include <csignal>
#include <iostream>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void Interrupt(int)
{
    interrupted = 1;
}

} // namespace

int main(int argc, char** argv)
{
    // An interrupt ends the conversion at its next progress report, so the
    // temporary output file is removed rather than left behind.
    std::signal(SIGINT, Interrupt);
    std::signal(SIGTERM, Interrupt);

    pix::TStandardOutput standardOutput;
    pix::TPixCsvStreams streams{standardOutput, std::cout, std::cerr, isatty(STDERR_FILENO) == 1, &interrupted};
    return pix::RunPixCsv(std::vector<std::string>(argv + 1, argv + argc), streams);
}
