#pragma once

#include <csignal>
#include <ostream>

namespace pix {

// The process's standard error as a stream of UTF-8 text; a console shows
// every character of it, whatever its own code page. A file or a pipe gets
// the same bytes on every platform, line ends as written.
std::ostream& StandardError();
bool StandardErrorIsTerminal();

// An interrupt (Ctrl+C, a request to terminate, the console closing) sets
// interrupted instead of ending the process, so that the work in hand can
// stop at its next check and clean up after itself.
void CatchInterrupts(volatile std::sig_atomic_t& interrupted);

} // namespace pix
