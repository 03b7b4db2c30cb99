#include "platform/Console.h"

#include <iostream>
#include <unistd.h>

namespace pix {

namespace {

volatile std::sig_atomic_t* gInterrupted = nullptr;

extern "C" void Interrupt(int)
{
    *gInterrupted = 1;
}

} // namespace

std::ostream& StandardError()
{
    return std::cerr;
}

bool StandardErrorIsTerminal()
{
    return isatty(STDERR_FILENO) == 1;
}

void CatchInterrupts(volatile std::sig_atomic_t& interrupted)
{
    gInterrupted = &interrupted;
    std::signal(SIGINT, Interrupt);
    std::signal(SIGTERM, Interrupt);
}

} // namespace pix
