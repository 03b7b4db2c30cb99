#include "platform/Console.h"

#include <cstdio>
#include <fcntl.h>
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

TStandardErrorSilenced::TStandardErrorSilenced()
{
    std::fflush(stderr);
    const int nothing = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (nothing < 0)
        return;
    fSaved = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    if (fSaved >= 0)
        dup2(nothing, STDERR_FILENO);
    close(nothing);
}

TStandardErrorSilenced::~TStandardErrorSilenced()
{
    if (fSaved < 0)
        return;
    std::fflush(stderr);
    dup2(fSaved, STDERR_FILENO);
    close(fSaved);
}

void CatchInterrupts(volatile std::sig_atomic_t& interrupted)
{
    gInterrupted = &interrupted;
    std::signal(SIGINT, Interrupt);
    std::signal(SIGTERM, Interrupt);
}

} // namespace pix
