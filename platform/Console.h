#pragma once

#include <csignal>
#include <ostream>

namespace pix {

// The process's standard error as a stream of UTF-8 text; a console shows
// every character of it, whatever its own code page. A file or a pipe gets
// the same bytes on every platform, line ends as written.
std::ostream& StandardError();
bool StandardErrorIsTerminal();

// While it lives, what a library prints on the process's standard error
// goes nowhere: the user is told of a failure once, in the program's own
// words. Only for short stretches without the program's own output.
class TStandardErrorSilenced {
public:
    TStandardErrorSilenced();
    ~TStandardErrorSilenced();
    TStandardErrorSilenced(const TStandardErrorSilenced&) = delete;
    TStandardErrorSilenced& operator=(const TStandardErrorSilenced&) = delete;

private:
    int fSaved = -1;
};

// An interrupt (Ctrl+C, a request to terminate, the console closing) sets
// interrupted instead of ending the process, so that the work in hand can
// stop at its next check and clean up after itself.
void CatchInterrupts(volatile std::sig_atomic_t& interrupted);

} // namespace pix
